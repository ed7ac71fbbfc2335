#pragma once
// The result of an operation that can fail: ok, or a readable message.
// The window turns a failed Status into a message box or a status line.
#include <string>
#include <utility>

class Status {
 public:
  static Status success() { return Status(); }
  static Status failure(std::string message) { return Status(std::move(message)); }

  bool ok() const { return m_ok; }
  explicit operator bool() const { return m_ok; }
  const std::string& message() const { return m_message; }

 private:
  Status() = default;
  explicit Status(std::string message) : m_ok(false), m_message(std::move(message)) {}
  bool m_ok = true;
  std::string m_message;
};
