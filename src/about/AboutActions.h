#pragma once
// What the About box and the Help menu do beyond showing texts: the version text, the
// maker's page (a page about the program installed beside it, so it works offline),
// and the system information program.
#include <QString>
#include <QUrl>

class Prompts;
namespace platform {
class RegistryLookup;
class UrlOpener;
}  // namespace platform

namespace about {

inline constexpr const char* kNoSysInfoMessage = "現時点ではｼｽﾃﾑ情報を使用できません";

// "version " and the build's major.minor version, each in plain decimal.
QString versionText();

// share/deruzizazarurid/index.html beside the folder of the executable.
QUrl makerPageUrl();

// Hands the maker's page to the browser; a failure shows nothing.
void openMakerPage(platform::UrlOpener& urls);

// Starts the system information program the registry names; when there is none (always
// on Linux) or it does not start, says so in a message box titled `caption`.
void StartSysInfo(platform::RegistryLookup& registry, Prompts& prompts, const QString& caption);

}  // namespace about
