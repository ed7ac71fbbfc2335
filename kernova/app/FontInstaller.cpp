#include "kernova/app/FontInstaller.h"

#include <QDir>
#include <QProcess>

#include "common/AtomicFile.h"
#include "kernova/engine/TrueTypeLayout.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace kernova {
namespace {

Status refreshFontCache(const QString& folder) {
  QProcess cache;
  cache.setProcessChannelMode(QProcess::MergedChannels);
  cache.start(QStringLiteral("fc-cache"), {folder});
  if (!cache.waitForStarted(kCacheTimeoutMs))
    return Status::failure("fc-cache could not be started: " + cache.errorString().toStdString());
  if (!cache.waitForFinished(kCacheTimeoutMs)) {
    cache.kill();
    cache.waitForFinished(1000);
    return Status::failure("fc-cache did not finish within " + std::to_string(kCacheTimeoutMs / 1000) +
                           " s");
  }
  if (cache.exitStatus() != QProcess::NormalExit || cache.exitCode() != 0)
    return Status::failure("fc-cache failed: " + QString::fromLocal8Bit(cache.readAll()).trimmed().toStdString());
  return Status::success();
}

}  // namespace

QString userFontFolder() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (!QDir::isAbsolutePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
  return data + QStringLiteral("/fonts");
}

Status installFont(const FontDocument& document, QString& installedPath) {
  if (Status limits = sfnt::checkTrueTypeLimits(document); !limits)
    return Status::failure("Cannot install the font: " + limits.message());
  const QString folder = userFontFolder();
  if (!QDir().mkpath(folder)) return Status::failure("Cannot create the font folder " + folder.toStdString() + ".");
  const QString path = folder + '/' + QString::fromStdString(fontPostScriptName(document)) + QStringLiteral(".ttf");
  const common::WriteResult written = common::writeFileAtomically(path.toStdString(), compileTrueType(document));
  if (!written)
    return Status::failure("Cannot install the font as " + path.toStdString() + ": " + written.describe());
  if (Status cache = refreshFontCache(folder); !cache)
    return Status::failure("The font was written to " + path.toStdString() +
                           ", but fontconfig was not refreshed: " + cache.message());
  installedPath = path;
  return Status::success();
}

}  // namespace kernova
