// Work that survives runs: the settings loaded at start-up and saved at shut-down, the
// brush presets, the stroke files written and read by the window, and the order of the
// steps at start-up and shut-down, seen through the fakes.
#include <QSlider>
#include <array>
#include <csignal>
#include <filesystem>

#include "platform/TerminationSignals.h"
#include "tests/app/AppHarness.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct Persistence : AppTest {
  FakeSettingsStore& settings = fakes.settings;

  fs::path root() const { return workingDirectory().toStdString(); }
  QString status() const { return form->LabelStat->text(); }
};

TEST_F(Persistence, EveryKeyRoundTripsAndThePresetsStoreAndApplyTheWidthsAndMode) {
  const std::map<QString, QString> stored = {
      {"Char", "33440"}, {"Auto", "0"}, {"Sync", "0"}, {"RefChar", "0"},
      {"RefFace", "IPAGothic"}, {"SetSB", "1"}, {"LSB", "12"}, {"RSB", "-4"},
      {"PresetMin0", "2"}, {"PresetMax0", "9"}, {"PresetMod0", "0"},
      {"PresetMin1", "40"}, {"PresetMax1", "60"}, {"PresetMod1", "1"},
      {"PresetMin2", "7"}, {"PresetMax2", "250"}, {"PresetMod2", "1"},
      {"BMin", "3"}, {"BMax", "44"}, {"Sumiro", "0"}, {"MouseMode", "1"},
      {"RefCharColor", "&H8000000C"}, {"RefCharWidth", "30"}, {"RefCharHeight", "21"}};
  settings.values = stored;
  editor::setSystemCodePage(codepage::CodePage::Cp932);  // a system where 0x82A0 is a character
  build();
  EXPECT_TRUE(settings.writes.empty()) << "nothing is stored before shut-down";
  settings.values.clear();
  form->saveSettings();
  ASSERT_EQ(settings.writes.size(), 1u) << "one write holds every key";
  EXPECT_EQ(settings.values, stored);

  EXPECT_EQ(form->CommandUsePreset[0]->text(), "2,9") << "a stored preset's caption";
  form->CommandUsePreset[2]->click();
  EXPECT_EQ(Form1::checkValue(form->CheckSumiro), 1);
  form->SliderMin->setValue(5);
  form->SliderMax->setValue(40);
  form->CommandPreset[1]->click();
  EXPECT_EQ(form->CommandUsePreset[1]->text(), "5,40,M");
  form->CommandUsePreset[0]->click();
  EXPECT_EQ(peek(*form).BMin(), 2);
  EXPECT_EQ(Form1::checkValue(form->CheckSumiro), 0);
  form->saveSettings();
  EXPECT_EQ(settings.values.at("PresetMax1"), "40");
}

TEST_F(Persistence, StoredValuesAreReadLenientlyAndUnusableOnesFallBackToDefaults) {
  const std::array<const char*, 3> cases[] = {
      // key, stored, written back
      {"Char", " 0065", "65"}, {"BMax", "+040", "40"}, {"RefCharWidth", "30.4", "30"},
      {"RefCharHeight", "20,6", "21"}, {"RefCharColor", "&hff", "&HFF"},
      {"Char", "abc", "33"}, {"Char", "65536", "33"}, {"RefChar", "7", "1"},
      {"PresetMin0", "0", "1"}, {"PresetMax1", "99999999999999999999", "50"},
      {"PresetMod2", "-1", "0"}, {"BMax", "251", "20"}, {"BMin", "25", "20"},  // BMin above BMax: pulled down
      {"RefCharColor", "&H12345678", "&H8000000A"}, {"RefCharColor", "&H800000FF", "&H8000000A"},
      {"RefCharWidth", "nan", "37"}, {"RefCharWidth", "37.5", "37"}, {"RefCharHeight", "5", "37"}};
  for (const auto& [key, stored, written] : cases) {
    settings.values = {{key, stored}};
    build();
    form->saveSettings();
    EXPECT_EQ(settings.values.at(key), written) << key << "=" << stored;
  }
}

// Regression: Clear emptied the log even when its strokes could not be saved. UnDo reads
// them back from the file, or without a data folder from memory.
TEST_F(Persistence, UndoAfterClearRestoresTheClearedStrokes) {
  for (bool folder : {true, false}) {
    fs::remove_all(root() / "data");
    if (!folder) writeBytes(root() / "data", "not a folder");
    build();
    drawStroke();
    const int32_t first = records();
    drawStroke();
    const int32_t both = records();
    form->CommandClear->click();
    form->mnuEditUnDo_Click();
    EXPECT_EQ(records(), both) << folder;
    form->mnuEditUnDo_Click();
    EXPECT_EQ(records(), first) << "the restored strokes undo one by one";
  }
}

// A damaged file that cannot be moved aside (moving is the stroke file's) is never
// written over.
TEST_F(Persistence, ADamagedFileThatCannotBeMovedIsNeverOverwritten) {
  const std::string damaged = "1,3,120,345\r\n2,3,x,350\r\n";
  fs::create_directory(root() / "data");
  writeBytes(dataFile("srfm_data0021.log"), damaged);
  for (int n = 1; n <= 1000; ++n)
    writeBytes(dataFile("srfm_data0021.log.damaged" + (n > 1 ? QString::number(n) : "")), "");
  build();
  drawStroke();
  form->CommandClear->click();
  form->Form_Unload();
  EXPECT_EQ(readBytes(dataFile("srfm_data0021.log")), damaged);
}

// Regression: a save that failed at close lost the strokes after an OK-only box. A failed
// settings save is reported in the status line while running, in a box at shut-down.
TEST_F(Persistence, WithoutADataFolderTheWindowOpensSaysWhyAndOffersTheCloseSaveAgain) {
  writeBytes(root() / "data", "not a folder");
  build();
  EXPECT_TRUE(status().contains("dataフォルダを作成できません")) << status().toStdString();
  drawStroke();
  form->CommandSave->click();
  EXPECT_TRUE(status().contains("を保存できません")) << status().toStdString();
  settings.failure = "disk full";
  form->saveSettings();
  EXPECT_TRUE(status().contains("disk full")) << status().toStdString();
  EXPECT_TRUE(prompts.asked.empty()) << "while running, the status line is enough";
  prompts.answers = {Prompts::Answer::Retry, Prompts::Answer::Retry};
  prompts.onAsk = [&] {  // the user frees the way before the second retry
    if (prompts.asked.size() != 2) return;
    fs::remove(root() / "data");
    fs::create_directory(root() / "data");
  };
  form->Form_Unload();
  ASSERT_EQ(prompts.asked.size(), 3u) << "two retries, then the settings' box";
  EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::RetryClose);
  EXPECT_GT(fs::file_size(dataFile("srfm_data0021.log")), 0u);
  EXPECT_EQ(settings.writes.size(), 2u) << "the settings are still saved";
}

TEST_F(Persistence, StartUpAndShutDownTakeTheirStepsInOrder) {
  fs::create_directory(dataFile(""));
  writeBytes(dataFile("srfm_data0042.log"), "1,3,10,10\r\n2,3,20,20\r\n3,0,0,0\r\n");
  settings.values["Char"] = "66";
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // new font, Latin
  fakes.editor.running = std::make_shared<fake::Application>();
  fakes.tablet.isPresent = true;
  build();
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
TEST_F(Persistence, TerminationSignalClosesThroughTheShutDown) {
  fakes.editor.running = fake::runningEditor(fake::latinCodes(), 0x20);
  build();
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
  EXPECT_TRUE(prompts.asked.empty());
}

}  // namespace
