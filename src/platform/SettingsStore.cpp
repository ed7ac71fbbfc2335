#include "platform/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "common/AtomicFile.h"

namespace platform {
namespace {

// Far more than the keys of this program ever take; a larger file is not ours.
constexpr qint64 kMaxBytes = 1 << 20;

enum class Read { Ok, Missing, Unsuitable };

// The file's bytes, read only from a regular file of at most kMaxBytes. Opening does
// not block, so a FIFO planted under the name cannot hang the start.
Read readSettingsFile(const QString& path, QByteArray& bytes, QString& why) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    return errno == ENOENT || errno == ENOTDIR ? Read::Missing : Read::Unsuitable;
  }
  struct stat info {};
  Read result = Read::Ok;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = QStringLiteral("通常のファイルではありません");
    result = Read::Unsuitable;
  } else if (info.st_size > kMaxBytes) {
    why = QStringLiteral("大きすぎます");
    result = Read::Unsuitable;
  } else {
    bytes.resize(qsizetype(info.st_size));
    qsizetype got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += n;
    }
    bytes.truncate(got);
  }
  ::close(fd);
  return result;
}

// Renames the file to "<name>.damaged" (or "...damaged2", ...), never over another.
QString moveAside(const QString& path) {
  for (int n = 1; n <= 100; ++n) {
    const QString candidate = path + ".damaged" + (n == 1 ? QString() : QString::number(n));
    if (::renameat2(AT_FDCWD, QFile::encodeName(path).constData(), AT_FDCWD,
                    QFile::encodeName(candidate).constData(), RENAME_NOREPLACE) == 0)
      return candidate;
    if (errno != EEXIST) return {};
  }
  return {};
}

std::unique_ptr<QSettings> openCopy(const QString& copy) {
  auto settings = std::make_unique<QSettings>(copy, QSettings::IniFormat);
  settings->setFallbacksEnabled(false);  // the store is per user
  return settings;
}

}  // namespace

IniSettingsStore::IniSettingsStore(QString iniFile) : m_iniFile(std::move(iniFile)) {
  if (m_iniFile.isEmpty())
    m_iniFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
                kOrganisation + "/" + kApplication + ".ini";
  load();
}

QString IniSettingsStore::fileName() const { return m_iniFile; }

// The file is parsed once, through a private copy, so that QSettings never opens the
// real path. A file that is not a regular one of sane size is moved aside and the
// defaults are used; loadProblem() tells why.
void IniSettingsStore::load() {
  QByteArray bytes;
  QString why;
  const Read read = readSettingsFile(m_iniFile, bytes, why);
  if (read == Read::Unsuitable) {
    const QString movedTo = moveAside(m_iniFile);
    m_loadProblem = "設定ファイル " + m_iniFile + " を読み込めません（" + why + "）。" +
                    (movedTo.isEmpty() ? QString() : QFileInfo(movedTo).fileName() + " に移し、") +
                    "既定値を使います";
    return;
  }
  if (read != Read::Ok || bytes.isEmpty()) return;
  QTemporaryDir scratch;
  QFile copy(scratch.filePath("copy.ini"));
  if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size()) return;
  copy.close();
  const auto settings = openCopy(copy.fileName());
  settings->beginGroup(kSection);
  for (const QString& key : settings->childKeys()) {
    const QVariant stored = settings->value(key);
    // An unquoted comma in a hand-edited file reads as a list; keep it as text.
    m_values[key] = stored.typeId() == QMetaType::QStringList ? stored.toStringList().join(", ")
                                                              : stored.toString();
  }
  m_fileBytes = bytes;
}

std::optional<QString> IniSettingsStore::value(const QString& key) const {
  const auto found = m_values.find(key);
  if (found == m_values.end()) return std::nullopt;
  return found->second;
}

// QSettings writes the new text into a private copy of the file as read (other
// sections and keys kept); the project's atomic writer puts it in place. Only a copy
// that could not be written or a file that could not be replaced is a failure: what
// QSettings thought of a hand-damaged original is not.
Status IniSettingsStore::setValues(const Entries& entries) {
  const auto failure = [this](const QString& why) {
    return Status::failure(("設定ファイルに書き込めません: " + m_iniFile + "（" + why + "）").toStdString());
  };
  QTemporaryDir scratch;
  QFile copy(scratch.filePath("copy.ini"));
  if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly) ||
      copy.write(m_fileBytes) != m_fileBytes.size() || !copy.flush())
    return failure(QStringLiteral("一時ファイルを作れません"));
  copy.close();
  {
    const auto settings = openCopy(copy.fileName());
    settings->beginGroup(kSection);
    for (const auto& [key, text] : entries) settings->setValue(key, text);
    settings->endGroup();
    settings->sync();
    if (settings->status() == QSettings::AccessError)
      return failure(QStringLiteral("一時ファイルを作れません"));
  }
  if (!copy.open(QIODevice::ReadOnly)) return failure(QStringLiteral("一時ファイルを読めません"));
  const QByteArray bytes = copy.readAll();
  QDir().mkpath(QFileInfo(m_iniFile).absolutePath());
  const common::WriteResult written =
      common::writeFileAtomically(QFile::encodeName(m_iniFile).toStdString(),
                                  std::string_view(bytes.constData(), size_t(bytes.size())));
  if (!written) return failure(QString::fromStdString(written.describeJapanese()));
  m_fileBytes = bytes;
  for (const auto& [key, text] : entries) m_values[key] = text;
  return Status::success();
}

}  // namespace platform
