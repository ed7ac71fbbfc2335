#pragma once
// Reads of the system registry, used only to locate the system information program.
// Linux has no registry: the production lookup finds nothing.
#include <QString>
#include <optional>

namespace platform {

class RegistryLookup {
 public:
  enum class Root { LocalMachine };
  virtual ~RegistryLookup() = default;
  // The text of value `valueName` of key `keyName`, or nothing when the key or the
  // value does not exist.
  virtual std::optional<QString> GetKeyValue(Root root, const QString& keyName,
                                             const QString& valueName) = 0;
};

class NoRegistryLookup final : public RegistryLookup {
 public:
  std::optional<QString> GetKeyValue(Root, const QString&, const QString&) override {
    return std::nullopt;
  }
};

}  // namespace platform
