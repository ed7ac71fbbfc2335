#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <memory>

namespace platform {
namespace {

std::unique_ptr<QSettings> openSettings(const QString& iniFile) {
  auto settings = iniFile.isEmpty()
                      ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                    IniSettingsStore::kOrganisation,
                                                    IniSettingsStore::kApplication)
                      : std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
  // The store is per user: no system-wide values shine through.
  settings->setFallbacksEnabled(false);
  // Only a complete file replaces the old one (QSaveFile); otherwise sync fails.
  settings->setAtomicSyncRequired(true);
  return settings;
}

}  // namespace

IniSettingsStore::IniSettingsStore(QString iniFile) : m_iniFile(std::move(iniFile)) {}

QString IniSettingsStore::fileName() const { return openSettings(m_iniFile)->fileName(); }

std::optional<QString> IniSettingsStore::value(const QString& key) const {
  const auto settings = openSettings(m_iniFile);
  settings->beginGroup(kSection);
  if (!settings->contains(key)) return std::nullopt;
  const QVariant stored = settings->value(key);
  // An unquoted comma in a hand-edited file reads as a list; keep it as text.
  if (stored.typeId() == QMetaType::QStringList) return stored.toStringList().join(", ");
  return stored.toString();
}

Status IniSettingsStore::setValues(const Entries& entries) {
  const auto settings = openSettings(m_iniFile);
  settings->beginGroup(kSection);
  for (const auto& [key, text] : entries) settings->setValue(key, text);
  settings->endGroup();
  settings->sync();
  switch (settings->status()) {
    case QSettings::NoError:
      return Status::success();
    case QSettings::AccessError:
      return Status::failure(
          ("設定ファイルに書き込めません: " + settings->fileName()).toStdString());
    case QSettings::FormatError:
      break;
  }
  return Status::failure(("設定ファイルの形式が正しくありません: " + settings->fileName()).toStdString());
}

}  // namespace platform
