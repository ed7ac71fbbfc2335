#pragma once
// The per-user settings store: string values by key under one application section.
// Reads go key by key; a save hands over every key at once, so the store is either
// updated as a whole or left as it was.
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "common/Status.h"

namespace platform {

class SettingsStore {
 public:
  using Entries = std::vector<std::pair<QString, QString>>;
  virtual ~SettingsStore() = default;

  // The stored text of `key`, or nothing when the key is absent.
  virtual std::optional<QString> value(const QString& key) const = 0;
  // Stores every entry, in order, and makes the result durable.
  virtual Status setValues(const Entries& entries) = 0;
};

// QSettings in INI format: organisation and application "tovane", section
// "DERUZIZAZARURID", so the user-scope file is ~/.config/tovane/tovane.ini. Every
// value is stored as a string.
class IniSettingsStore final : public SettingsStore {
 public:
  static constexpr const char* kOrganisation = "tovane";
  static constexpr const char* kApplication = "tovane";
  static constexpr const char* kSection = "DERUZIZAZARURID";

  // An empty `iniFile` means the user-scope file above.
  explicit IniSettingsStore(QString iniFile = {});

  std::optional<QString> value(const QString& key) const override;
  Status setValues(const Entries& entries) override;
  QString fileName() const;

 private:
  QString m_iniFile;
};

}  // namespace platform
