// Start-up and shut-down order, seen through the fakes: settings, strokes, tablet at
// start; Sync send, stroke file, settings, save question, tablet at shut-down.
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

// A termination signal closes through the same shut-down. The editor already held a
// font: only a font created at the window's own prompt is offered for saving.
TEST_F(Lifecycle, TerminationSignalClosesThroughTheShutDown) {
  fakes.editor.running = fake::runningEditor(fake::latinCodes(), 0x20);
  start();
  form->Form_Activate();
  EXPECT_EQ(document().current, 0x21) << "the editor is put on the window's character";
  document().saved_ = false;
  platform::closeOnTerminationSignals(form.get());
  form->show();
  drawStroke();
  std::raise(SIGTERM);
  for (int i = 0; i < 100 && form->isVisible(); ++i) QApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  EXPECT_GT(fs::file_size(dataFile("srfm_data0021.log")), 0u) << "the strokes were saved";
  EXPECT_EQ(settings.writes.size(), 1u);
  EXPECT_TRUE(prompts.asked.empty());
}

}  // namespace
