#pragma once
// Message boxes behind an interface, so tests can script the answers. Texts are shown
// exactly as given, with no icon, titled with the main window's caption.
#include <QString>

class QWidget;

class Prompts {
 public:
  // RetryClose: "再試行" answers Retry, "保存せずに閉じる" (close anyway) answers Cancel.
  enum class Buttons { Ok, YesNo, YesNoCancel, RetryClose };
  enum class Answer { Ok, Yes, No, Cancel, Retry };
  virtual ~Prompts() = default;
  virtual Answer ask(const QString& title, const QString& text, Buttons buttons) = 0;
};

// QMessageBox-backed prompts, application-modal, owned by `parent`.
class MessageBoxPrompts final : public Prompts {
 public:
  explicit MessageBoxPrompts(QWidget* parent) : m_parent(parent) {}
  Answer ask(const QString& title, const QString& text, Buttons buttons) override;

 private:
  QWidget* m_parent;
};
