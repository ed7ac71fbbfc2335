// The About box and the maker link: the version from the build, closing it, the
// maker's page from both entries, and the system information fallback.
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>

#include "about/AboutActions.h"
#include "about/ProgramIcon.h"
#include "about/frmAbout.h"
#include "tests/app/AppHarness.h"

namespace {

struct FakeRegistry : platform::RegistryLookup {
  std::map<QString, QString> values;  // "key|value" -> text
  std::optional<QString> GetKeyValue(Root, const QString& key, const QString& value) override {
    const auto found = values.find(key + "|" + value);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

struct AboutTest : AppTest {
  FakeUrlOpener urls;
  FakeRegistry registry;
  std::unique_ptr<frmAbout> dialog;

  void SetUp() override {
    services.urls = &urls;
    services.registry = &registry;
    build();
    dialog = std::make_unique<frmAbout>(form.get(), frmAbout::Services{urls, registry, prompts});
  }
  void TearDown() override {
    dialog.reset();
    AppTest::TearDown();
  }
};

// The version as the build states it: project(... VERSION major.minor) in CMakeLists.txt,
// without leading zeros.
TEST_F(AboutTest, VersionComesFromTheBuildAsMajorDotMinor) {
  QFile cmake(qEnvironmentVariable("DZ_SOURCE_DIR") + "/CMakeLists.txt");
  ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
  const auto version = QRegularExpression(R"(project\(\s*\S+\s+VERSION\s+(\d+)\.(\d+))")
                           .match(QString::fromUtf8(cmake.readAll()));
  ASSERT_TRUE(version.hasMatch()) << "no project version in CMakeLists.txt";
  EXPECT_EQ(dialog->lblVersion->text(), QString("version %1.%2").arg(version.captured(1).toInt())
                                            .arg(version.captured(2).toInt()));
}

TEST_F(AboutTest, OkEnterAndEscapeClose) {
  const std::pair<std::function<void()>, int> closers[] = {
      {[&] { dialog->cmdOK->click(); }, QDialog::Accepted},
      {[&] { QTest::keyClick(dialog.get(), Qt::Key_Return); }, QDialog::Accepted},
      {[&] { QTest::keyClick(dialog.get(), Qt::Key_Escape); }, QDialog::Rejected}};
  for (const auto& [close, result] : closers) {
    dialog->show();
    close();
    EXPECT_EQ(dialog->result(), result);
  }
}

TEST_F(AboutTest, BothEntriesOpenTheInstalledMakerPage) {
  form->mnuTovaneAtelier_Click();
  dialog->Command1->click();
  ASSERT_EQ(urls.opened.size(), 2u);
  EXPECT_EQ(urls.opened[0], urls.opened[1]);
  QFile file(urls.opened[0].toLocalFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the page is installed with the program";
  EXPECT_TRUE(file.readAll().contains("DERUZI ZAZA RURID"));
  EXPECT_TRUE(prompts.asked.empty()) << "a failing browser shows nothing";
}

TEST_F(AboutTest, HelpAboutOpensTheDialogModally) {
  QString seenTitle;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
    if (!shown) return;
    seenTitle = shown->windowTitle();
    modal = shown->isModal() && shown->parentWidget() == form.get();
    shown->cmdOK->click();
  });
  form->mnuHelpAbout_Click();
  EXPECT_EQ(seenTitle, "DeruziZazaRurid");
  EXPECT_TRUE(modal);
}

TEST_F(AboutTest, SystemInfoReportsOnlyAProgramThatCannotStart) {
  const std::pair<QString, QString> cases[] = {
      {"", ""},  // no registry entries at all
      {"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO", "/nonexistent/folder"},
      {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", "/nonexistent/msinfo32"},
      {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", "/bin/true"}};
  for (const auto& [key, value] : cases) {
    registry.values = {{key, value}};
    prompts.asked.clear();
    dialog->cmdSysInfo_Click();
    EXPECT_EQ(prompts.asked.size(), value == "/bin/true" ? 0u : 1u) << value.toStdString();
  }
}

TEST(ProgramIcon, DrawnAtEverySizeWithInkAndTransparentCorners) {
  for (int size : {16, 32, 48}) {
    const QImage image = about::programIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    EXPECT_LT(qGray(image.pixel(size / 2, size / 2)), 80) << "a stroke crosses the centre";
  }
  EXPECT_FALSE(about::programIcon().isNull());
}

}  // namespace
