// The About box and the maker link: opened from Help, the version from the build, the
// maker's page from both entries, and the system information fallback.
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include "about/frmAbout.h"
#include "tests/app/AppHarness.h"

namespace {

using About = AppTest;

// The version as the build states it: project(... VERSION major.minor) in CMakeLists.txt,
// without leading zeros.
TEST_F(About, HelpAboutOpensTheBoxModallyWithTheBuildsVersion) {
  QFile cmake(qEnvironmentVariable("DZ_SOURCE_DIR") + "/CMakeLists.txt");
  ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
  const auto version = QRegularExpression(R"(project\(\s*\S+\s+VERSION\s+(\d+)\.(\d+))")
                           .match(QString::fromUtf8(cmake.readAll()));
  ASSERT_TRUE(version.hasMatch()) << "no project version in CMakeLists.txt";
  build();
  QString seenTitle, seenVersion;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
    if (!shown) return;
    seenTitle = shown->windowTitle();
    seenVersion = shown->lblVersion->text();
    modal = shown->isModal() && shown->parentWidget() == form.get();
    shown->cmdOK->click();
  });
  form->mnuHelpAbout_Click();
  EXPECT_EQ(seenTitle, "DeruziZazaRurid");
  EXPECT_EQ(seenVersion, QString("version %1.%2").arg(version.captured(1).toInt()).arg(version.captured(2).toInt()));
  EXPECT_TRUE(modal);
}

// A failing browser shows nothing; System Info reports only a program that cannot start.
TEST_F(About, BothEntriesOpenTheInstalledMakerPageAndSystemInfoTheRegisteredProgram) {
  frmAbout dialog(&build(), {fakes.urls, fakes.registry, prompts});
  form->mnuTovaneAtelier_Click();
  dialog.Command1->click();
  ASSERT_EQ(fakes.urls.opened.size(), 2u);
  EXPECT_EQ(fakes.urls.opened[0], fakes.urls.opened[1]);
  QFile file(fakes.urls.opened[0].toLocalFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the page is installed with the program";
  EXPECT_TRUE(file.readAll().contains("DERUZI ZAZA RURID"));
  EXPECT_TRUE(prompts.asked.empty());

  const std::pair<QString, QString> cases[] = {
      {"", ""},  // no registry entries at all
      {"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO", "/nonexistent/folder"},
      {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", "/nonexistent/msinfo32"},
      {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", "/bin/true"}};
  for (const auto& [key, value] : cases) {
    fakes.registry.values = {{key, value}};
    prompts.asked.clear();
    dialog.cmdSysInfo_Click();
    EXPECT_EQ(prompts.asked.size(), value == "/bin/true" ? 0u : 1u) << value.toStdString();
  }
}

}  // namespace
