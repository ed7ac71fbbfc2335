// The About box and the maker link: the dialog's texts fitting, the
// version from the build, closing it, the maker's page from both entries, and the
// system information fallback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "about/AboutActions.h"
#include "about/ProgramIcon.h"
#include "about/frmAbout.h"
#include "tests/app/FakeServices.h"

namespace {

struct FakeRegistry : platform::RegistryLookup {
  std::map<QString, QString> values;  // "key|value" -> text
  std::vector<QString> asked;
  std::optional<QString> GetKeyValue(Root, const QString& key, const QString& value) override {
    asked.push_back(key + "|" + value);
    const auto found = values.find(key + "|" + value);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

// The version as the build states it: project(... VERSION major.minor) in CMakeLists.txt.
QString buildVersion() {
  QFile cmake(qEnvironmentVariable("DZ_SOURCE_DIR") + "/CMakeLists.txt");
  if (!cmake.open(QIODevice::ReadOnly)) return {};
  const auto match = QRegularExpression(R"(project\(\s*\S+\s+VERSION\s+(\d+)\.(\d+))")
                         .match(QString::fromUtf8(cmake.readAll()));
  if (!match.hasMatch()) return {};
  return QString::number(match.captured(1).toInt()) + "." +
         QString::number(match.captured(2).toInt());
}

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    Form1Services services;
    services.prompts = &prompts;
    services.random = &random;
    services.urls = &urls;
    services.registry = &registry;
    services.workingDirectory = m_dir.path().toStdString();
    m_fakes.fillIn(services);
    window = std::make_unique<Form1>(services);
    dialog = std::make_unique<frmAbout>(window.get(),
                                        frmAbout::Services{urls, registry, prompts});
  }

  FakePrompts prompts;
  FixedRandom random;
  FakeUrlOpener urls;
  FakeRegistry registry;
  std::unique_ptr<Form1> window;
  std::unique_ptr<frmAbout> dialog;

 private:
  QTemporaryDir m_dir;
  FakeServices m_fakes;
};

TEST_F(AboutTest, VersionComesFromTheBuildAsMajorDotMinor) {
  const QString version = buildVersion();
  ASSERT_FALSE(version.isEmpty()) << "no project version in CMakeLists.txt";
  EXPECT_EQ(dialog->lblVersion->text(), "version " + version);
  EXPECT_EQ(about::versionText(), "version " + version);
}

TEST_F(AboutTest, TextsFitAndSystemInfoStaysOutOfView) {
  EXPECT_FALSE(dialog->picIcon->pixmap().isNull());
  EXPECT_GE(dialog->cmdSysInfo->y(), dialog->height()) << "System Info stays out of view";
  for (QLabel* label : {dialog->lblTitle, dialog->lblVersion, dialog->lblDescription})
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
        << label->text().toStdString() << " fits its label";
}

TEST_F(AboutTest, OkEnterAndEscapeClose) {
  const std::function<void()> closers[] = {
      [&] { dialog->cmdOK->click(); }, [&] { QTest::keyClick(dialog.get(), Qt::Key_Return); },
      [&] { QTest::keyClick(dialog.get(), Qt::Key_Escape); }};
  const QDialog::DialogCode results[] = {QDialog::Accepted, QDialog::Accepted, QDialog::Rejected};
  for (int i = 0; i < 3; ++i) {
    dialog->show();
    closers[i]();
    EXPECT_FALSE(dialog->isVisible()) << i;
    EXPECT_EQ(dialog->result(), results[i]) << i;
  }
}

TEST_F(AboutTest, BothEntriesOpenTheInstalledMakerPage) {
  window->mnuTovaneAtelier_Click();
  dialog->Command1->click();
  ASSERT_EQ(urls.opened.size(), 2u);
  EXPECT_EQ(urls.opened[0], urls.opened[1]);
  EXPECT_EQ(urls.opened[0], about::makerPageUrl());
  const QString page = urls.opened[0].toLocalFile();
  EXPECT_TRUE(page.endsWith("/share/deruzizazarurid/index.html")) << page.toStdString();
  QFile file(page);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the page is installed with the program";
  EXPECT_TRUE(file.readAll().contains("DERUZI ZAZA RURID"));
  EXPECT_TRUE(prompts.asked.empty()) << "a failing browser shows nothing";
}

TEST_F(AboutTest, HelpAboutOpensTheDialogModally) {
  QString seenTitle, seenVersion;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
    if (!shown) return;
    seenTitle = shown->windowTitle();
    seenVersion = shown->lblVersion->text();
    modal = shown->isModal() && shown->parentWidget() == window.get();
    shown->cmdOK->click();
  });
  window->mnuHelpAbout_Click();
  EXPECT_EQ(seenTitle, "DeruziZazaRurid");
  EXPECT_EQ(seenVersion, about::versionText());
  EXPECT_TRUE(modal);
}

TEST_F(AboutTest, SystemInfoReportsOnlyAProgramThatCannotStart) {
  dialog->cmdSysInfo->click();  // no registry entries at all
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].text, QString::fromUtf8("現時点ではｼｽﾃﾑ情報を使用できません"));
  EXPECT_EQ(registry.asked,
            (std::vector<QString>{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH",
                                  "SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"}));
  const std::pair<QString, QString> cases[] = {
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
