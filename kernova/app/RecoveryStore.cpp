#include "kernova/app/RecoveryStore.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <cerrno>

#include "common/AtomicFile.h"
#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace kernova {
namespace {

// True while the process that wrote the copy `id` runs; in this process, only the
// store `serial` counts as running.
bool writerRuns(const QString& id, int serial) {
  bool isNumber = false;
  const qint64 pid = id.section('-', 0, 0).toLongLong(&isNumber);
  if (!isNumber || pid <= 0) return false;
  if (pid == ::getpid()) return id.section('-', 1, 1) == QString::number(serial);
  return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

Status writeFile(const QString& path, std::span<const uint8_t> bytes) {
  const common::WriteResult result = common::writeFileAtomically(path.toStdString(), bytes);
  if (result) return Status::success();
  return Status::failure(path.toStdString() + ": " + result.describe());
}

}  // namespace

QString RecoveryStore::defaultFolder() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
  return state + QStringLiteral("/kernova/recovery");
}

RecoveryStore::RecoveryStore(QString folder) : m_folder(std::move(folder)) {
  static std::atomic<int> stores{0};
  m_serial = stores++;
}

QString RecoveryStore::idFor(int number) const {
  return QStringLiteral("%1-%2-%3").arg(::getpid()).arg(m_serial).arg(number);
}

QString RecoveryStore::pathOf(const QString& id, const char* suffix) const {
  return m_folder + '/' + id + QLatin1String(suffix);
}

Status RecoveryStore::write(const RecoveryEntry& entry, const FontDocument& document) const {
  if (!enabled()) return Status::success();
  if (!QDir().mkpath(m_folder)) return Status::failure("cannot create the folder " + m_folder.toStdString());
  const std::vector<uint8_t> font = compileTrueType(document);
  if (Status status = writeFile(pathOf(entry.id, ".ttf"), font); !status) return status;
  const QJsonObject description{{"path", entry.filePath},
                                {"name", entry.name},
                                {"untitled", entry.untitled},
                                {"familySet", !document.fontInfo().family.empty()}};
  const QByteArray json = QJsonDocument(description).toJson();
  return writeFile(pathOf(entry.id, ".json"),
                   std::span(reinterpret_cast<const uint8_t*>(json.constData()), size_t(json.size())));
}

void RecoveryStore::remove(const QString& id) const {
  if (!enabled()) return;
  // The description goes first: a copy without one is never offered.
  QFile::remove(pathOf(id, ".json"));
  QFile::remove(pathOf(id, ".ttf"));
}

std::vector<RecoveryEntry> RecoveryStore::recoverable() const {
  std::vector<RecoveryEntry> entries;
  if (!enabled()) return entries;
  const QFileInfoList files = QDir(m_folder).entryInfoList({"*.json"}, QDir::Files, QDir::Time | QDir::Reversed);
  for (const QFileInfo& file : files) {
    const QString id = file.completeBaseName();
    if (writerRuns(id, m_serial) || !QFileInfo::exists(pathOf(id, ".ttf"))) continue;
    QFile json(file.filePath());
    if (!json.open(QIODevice::ReadOnly)) continue;
    const QJsonObject description = QJsonDocument::fromJson(json.readAll()).object();
    const QString path = description.value("path").toString();
    if (!QDir::isAbsolutePath(path)) continue;
    entries.push_back({id, path, description.value("name").toString(QFileInfo(path).completeBaseName()),
                       description.value("untitled").toBool(), description.value("familySet").toBool(true)});
  }
  return entries;
}

Status RecoveryStore::load(const RecoveryEntry& entry, std::unique_ptr<FontDocument>& document) const {
  if (Status status = loadTrueType(pathOf(entry.id, ".ttf").toStdString(), document); !status) return status;
  document->setFilePath(entry.filePath.toStdString());
  document->setName(entry.name.toStdString());
  if (!entry.familySet) {
    FontInfo info = document->fontInfo();
    info.family.clear();
    info.englishFamily.clear();
    document->setFontInfo(std::move(info));
  }
  document->setModified(true);
  return Status::success();
}

}  // namespace kernova
