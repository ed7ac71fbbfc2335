// The order of start-up and shut-down, observed through the fakes the window talks to:
// settings before the character's strokes, the tablet last at start; at shut-down the
// Sync send, the stroke file, the settings, the save question, the tablet.
#include <QAction>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "platform/TerminationSignals.h"
#include "tests/app/AppHarness.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;

struct Lifecycle : AppTest {
  FakeSettingsStore& settings = fakes.settings;

  void start() {
    fakes.tablet.isPresent = true;
    build();
  }
};

TEST_F(Lifecycle, StartUpAndShutDownTakeTheirStepsInOrder) {
  fs::create_directory(dataFile(""));
  writeBytes(dataFile("srfm_data0042.log"), "1,3,10,10\r\n2,3,20,20\r\n3,0,0,0\r\n");
  settings.values["Char"] = "66";
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // new font, Latin
  fakes.editor.running = std::make_shared<fake::Application>();
  start();
  EXPECT_EQ(form->LabelStatus->text(), " 3") << "the stored character's file, read after the settings";
  EXPECT_EQ(fakes.tablet.opens, 1);
  form->Form_Activate();
  ASSERT_TRUE(peek(*form).editorLinked());
  form->setCheckValue(form->CheckSync, 1);
  drawStroke();
  const fs::path strokes = dataFile("srfm_data0042.log");

  std::vector<size_t> atSettings;  // imports, stroke bytes, tablet closes, questions
  settings.onWrite = [&] {
    atSettings = {document().imports.size(), fs::exists(strokes) ? fs::file_size(strokes) : 0,
                  size_t(fakes.tablet.closes), prompts.asked.size()};
  };
  prompts.answers = {Prompts::Answer::No};
  form->Form_Unload();

  ASSERT_EQ(atSettings.size(), 4u);
  EXPECT_EQ(atSettings[0], 1u) << "Sync sends the glyph first";
  EXPECT_GT(atSettings[1], 31u) << "the new stroke is in the file before the settings are written";
  EXPECT_EQ(atSettings[2], 0u) << "the tablet closes last";
  EXPECT_EQ(atSettings[3], 2u) << "the save question comes after the settings";
  ASSERT_EQ(prompts.asked.size(), 3u);
  EXPECT_FALSE(*document().saved()) << "No leaves the font unsaved";
  EXPECT_EQ(fakes.tablet.closes, 1) << "and the tablet still closes";
}

// File > Exit and a termination signal close the window through the same shut-down.
TEST_F(Lifecycle, ExitAndTerminationSignalCloseThroughTheShutDown) {
  const std::function<void()> closers[] = {[&] { form->mnuFileExit->trigger(); }, [] { std::raise(SIGTERM); }};
  for (const auto& close : closers) {
    fs::remove_all(dataFile(""));
    start();
    form->show();
    platform::closeOnTerminationSignals(form.get());
    form->PictureDOT_MouseDown(1, 0, 50, 50);
    form->PictureDOT_MouseUp(1, 0, 50, 50);
    settings.writes.clear();
    close();
    for (int i = 0; i < 100 && form->isVisible(); ++i) QApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(fs::file_size(dataFile("srfm_data0021.log")), 20u) << "the strokes were saved";
    EXPECT_EQ(settings.writes.size(), 1u);
  }
}

}  // namespace
