// The order of start-up and shut-down, observed through the fakes the window talks to:
// settings before the character's strokes, the tablet last at start; at shut-down the
// Sync send, the stroke file, the settings, the save question, the tablet.
#include <csignal>
#include <filesystem>

#include "editor/SystemCodePage.h"
#include "platform/TerminationSignals.h"
#include "tests/app/AppHarness.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;

// Takes a snapshot of the world when the settings are written.
struct JournalSettings : FakeSettingsStore {
  std::function<void()> onWrite;
  Status setValues(const Entries& entries) override {
    if (onWrite) onWrite();
    return FakeSettingsStore::setValues(entries);
  }
};

struct LifecycleFixture : AppTest {
  JournalSettings settings;
  FakeTabletLayer tablet;
  fake::Launcher launcher;

  fs::path root() const { return workingDirectory().toStdString(); }
  void SetUp() override { editor::setSystemCodePage(codepage::CodePage::Cp1252); }
  void TearDown() override {
    AppTest::TearDown();
    editor::setSystemCodePage(std::nullopt);
  }
  void start() {
    services.settings = &settings;
    services.tablet = &tablet;
    services.editor = &launcher;
    build();
  }
};

TEST_F(LifecycleFixture, StartUpLoadsTheStoredCharactersStrokesThenOpensTheTablet) {
  fs::create_directory(root() / "data");
  writeBytes(root() / "data" / "srfm_data0042.log", "1,3,10,10\r\n2,3,20,20\r\n3,0,0,0\r\n");
  settings.values["Char"] = "66";
  start();
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 3) << "the stored character's file, read after the settings";
  EXPECT_EQ(form->LabelStatus->text(), " 3");
  EXPECT_EQ(tablet.opens, 1);
}

TEST_F(LifecycleFixture, ShutDownSendsSavesAsksAndClosesTheTabletInThatOrder) {
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // new font, Latin
  launcher.running = std::make_shared<fake::Application>();
  start();
  form->Form_Activate();
  ASSERT_TRUE(peek(*form).editorLinked());
  form->setCheckValue(form->CheckSync, 1);
  form->PictureDOT_MouseDown(1, 0, 50, 50);
  form->PictureDOT_MouseMove(1, 0, 50, 90);
  form->PictureDOT_MouseUp(1, 0, 50, 90);
  const fs::path strokes = root() / form->strokeFileName(peek(*form).currentCharCode()).toStdString();

  std::vector<size_t> atSettings;  // imports, stroke bytes, tablet closes, questions
  settings.onWrite = [&] {
    atSettings = {launcher.running->document()->imports.size(), fs::exists(strokes) ? fs::file_size(strokes) : 0,
                  size_t(tablet.closes), prompts.asked.size()};
  };
  prompts.answers = {Prompts::Answer::No};
  form->Form_Unload();

  ASSERT_EQ(atSettings.size(), 4u);
  EXPECT_EQ(atSettings[0], 1u) << "Sync sends the glyph first";
  EXPECT_GT(atSettings[1], 0u) << "the stroke file is written before the settings";
  EXPECT_EQ(atSettings[2], 0u) << "the tablet closes last";
  EXPECT_EQ(atSettings[3], 2u) << "the save question comes after the settings";
  ASSERT_EQ(prompts.asked.size(), 3u);
  EXPECT_FALSE(*launcher.running->document()->saved()) << "No leaves the font unsaved";
  EXPECT_EQ(tablet.closes, 1) << "and the tablet still closes";
}

TEST_F(LifecycleFixture, TerminationSignalClosesThroughTheShutDown) {
  start();
  form->show();
  platform::closeOnTerminationSignals(form.get());
  form->PictureDOT_MouseDown(1, 0, 50, 50);
  form->PictureDOT_MouseUp(1, 0, 50, 50);
  std::raise(SIGTERM);
  for (int i = 0; i < 100 && form->isVisible(); ++i) QApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(fs::file_size(root() / "data" / "srfm_data0021.log"), 20u) << "the strokes were saved";
  EXPECT_EQ(settings.writes.size(), 1u);
}

}  // namespace
