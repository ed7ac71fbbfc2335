#include "about/AboutActions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "platform/RegistryLookup.h"
#include "platform/UrlOpener.h"
#include "prompts/Prompts.h"

namespace about {

QString versionText() {
  return "version " + QString::number(DZ_VERSION_MAJOR) + "." +
         QString::number(DZ_VERSION_MINOR);
}

QUrl makerPageUrl() {
  const QDir bin(QCoreApplication::applicationDirPath());
  return QUrl::fromLocalFile(
      QDir::cleanPath(bin.absoluteFilePath("../share/deruzizazarurid/index.html")));
}

void openMakerPage(platform::UrlOpener& urls) { urls.openUrl(makerPageUrl()); }

namespace {

// The program path from the registry: the tool's own key, else its folder's
// MSINFO32.EXE when that file exists.
QString sysInfoPath(platform::RegistryLookup& registry) {
  constexpr auto root = platform::RegistryLookup::Root::LocalMachine;
  if (auto path = registry.GetKeyValue(root, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"))
    return *path;
  const auto folder =
      registry.GetKeyValue(root, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
  if (!folder) return {};
  const QString program = *folder + "/MSINFO32.EXE";
  return QFileInfo::exists(program) ? program : QString();
}

}  // namespace

void StartSysInfo(platform::RegistryLookup& registry, Prompts& prompts, const QString& caption) {
  const QString program = sysInfoPath(registry);
  if (!program.isEmpty() && QProcess::startDetached(program, {})) return;
  prompts.ask(caption, QString::fromUtf8(kNoSysInfoMessage), Prompts::Buttons::Ok);
}

}  // namespace about
