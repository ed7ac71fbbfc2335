#pragma once
// The per-user settings store: string values by key under one application section.
// Reads go key by key; a save hands over every key at once, so the store is either
// updated as a whole or left as it was.
#include <QByteArray>
#include <QString>
#include <map>
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
  // Why the stored settings could not be read and the defaults are used; empty if none.
  virtual QString loadProblem() const { return {}; }
};

// An INI file: organisation and application "tovane", section "DERUZIZAZARURID", so
// the user-scope file is ~/.config/tovane/tovane.ini. Every value is stored as a
// string. The file is read once, at construction, and only when it is a regular file of
// sane size (anything else is moved aside and the defaults are used); saves go through
// the one atomic writer, so a failure at any step, flushing included, is reported and
// leaves the old file whole.
class IniSettingsStore final : public SettingsStore {
 public:
  static constexpr const char* kOrganisation = "tovane";
  static constexpr const char* kApplication = "tovane";
  static constexpr const char* kSection = "DERUZIZAZARURID";

  // An empty `iniFile` means the user-scope file above.
  explicit IniSettingsStore(QString iniFile = {});

  std::optional<QString> value(const QString& key) const override;
  Status setValues(const Entries& entries) override;
  QString loadProblem() const override { return m_loadProblem; }
  QString fileName() const;

 private:
  void load();

  QString m_iniFile;
  QByteArray m_fileBytes;  // the file as read or last written; other keys are kept
  std::map<QString, QString> m_values;
  QString m_loadProblem;
};

}  // namespace platform
