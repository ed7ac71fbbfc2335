// Work that survives runs: the settings loaded at start-up and saved at shut-down, the
// brush presets, and the stroke files written and read by the window.
#include <QSlider>
#include <array>
#include <filesystem>

#include "tests/app/AppHarness.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct Persistence : AppTest {
  FakeSettingsStore& settings = fakes.settings;

  fs::path root() const { return workingDirectory().toStdString(); }
  void addStroke(int x) {
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, x, 10, 3);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Line, x + 1, 20, 4);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
  QString saved(const QString& key) const { return settings.values.at(key); }
  QString status() const { return form->LabelStat->text(); }
};

TEST_F(Persistence, EveryKeyRoundTrips) {
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
  EXPECT_EQ(form->LabelChar->size(), QSize(30, 21));
  settings.values.clear();
  form->saveSettings();
  ASSERT_EQ(settings.writes.size(), 1u) << "one write holds every key";
  EXPECT_EQ(settings.values, stored);
}

TEST_F(Persistence, StoredValuesAreReadLenientlyAndUnusableOnesFallBackToDefaults) {
  const std::array<const char*, 3> cases[] = {
      // key, stored, written back
      {"Char", " 0065", "65"}, {"BMax", "+040", "40"}, {"RefCharWidth", "30.4", "30"},
      {"RefCharHeight", "20,6", "21"}, {"RefCharColor", "&hff", "&HFF"},
      {"Char", "abc", "33"}, {"Char", "65536", "33"}, {"RefChar", "7", "1"},
      {"PresetMin0", "0", "1"}, {"PresetMax1", "99999999999999999999", "50"},
      {"PresetMod2", "-1", "0"}, {"BMax", "251", "20"}, {"Sumiro", "", "1"},
      {"BMin", "25", "20"},  // above the default maximum: pulled down
      {"RefCharColor", "&H12345678", "&H8000000A"}, {"RefCharColor", "&H800000FF", "&H8000000A"},
      {"RefCharWidth", "nan", "37"}, {"RefCharWidth", "37.5", "37"}, {"RefCharHeight", "5", "37"}};
  for (const auto& [key, stored, written] : cases) {
    settings.values = {{key, stored}};
    build();
    form->saveSettings();
    EXPECT_EQ(saved(key), written) << key << "=" << stored;
  }
}

TEST_F(Persistence, FailedSettingsSaveIsReportedInABoxOnlyAtShutDown) {
  build();
  settings.failure = "disk full";
  form->saveSettings();
  EXPECT_TRUE(status().contains("disk full")) << status().toStdString();
  EXPECT_TRUE(prompts.asked.empty()) << "while running, the status line is enough";
  form->Form_Unload();
  EXPECT_EQ(prompts.asked.size(), 1u);
}

TEST_F(Persistence, PresetsStoreTheCurrentWidthsAndModeAndApplyThem) {
  build();
  form->SliderMin->setValue(5);
  form->SliderMax->setValue(40);
  form->CommandPreset[1]->click();
  EXPECT_EQ(form->CommandUsePreset[1]->text(), "5,40,M");
  form->CommandUsePreset[2]->click();
  EXPECT_EQ(Form1::checkValue(form->CheckSumiro), 0);
  form->CommandUsePreset[0]->click();
  EXPECT_EQ(peek(*form).BMin(), 1);
  EXPECT_EQ(Form1::checkValue(form->CheckSumiro), 1);
  form->saveSettings();
  EXPECT_EQ(saved("PresetMax1"), "40");
}

// Regression: Clear emptied the log even when its strokes could not be saved. UnDo reads
// them back from the file, or without a data folder from memory.
TEST_F(Persistence, UndoAfterClearRestoresTheClearedStrokes) {
  for (bool folder : {true, false}) {
    form.reset();
    fs::remove_all(root() / "data");
    if (!folder) writeBytes(root() / "data", "not a folder");
    build();
    addStroke(10);
    addStroke(20);
    form->CommandClear->click();
    form->mnuEditUnDo_Click();
    EXPECT_EQ(records(), 6) << folder;
    EXPECT_EQ(peek(*form).strokeLog().at(3), (StrokeRecord{1, 20, 10, 3}));
    form->mnuEditUnDo_Click();
    EXPECT_EQ(records(), 3) << "the restored strokes undo one by one";
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
  EXPECT_EQ(records(), 0);
  EXPECT_TRUE(status().contains("上書きしません")) << status().toStdString();
  addStroke(10);
  form->CommandClear->click();
  form->Form_Unload();
  EXPECT_EQ(readBytes(dataFile("srfm_data0021.log")), damaged);
}

// Regression: a save that failed at close lost the strokes after an OK-only box.
TEST_F(Persistence, WithoutADataFolderTheWindowOpensSaysWhyAndOffersTheCloseSaveAgain) {
  writeBytes(root() / "data", "not a folder");
  build();
  EXPECT_TRUE(status().contains("dataフォルダを作成できません")) << status().toStdString();
  addStroke(10);
  form->CommandSave->click();
  EXPECT_TRUE(status().contains("を保存できません")) << status().toStdString();
  EXPECT_EQ(records(), 3) << "a failed save keeps the log";
  prompts.answers = {Prompts::Answer::Retry, Prompts::Answer::Retry};
  prompts.onAsk = [&] {  // the user frees the way before the second retry
    if (prompts.asked.size() < 2) return;
    fs::remove(root() / "data");
    fs::create_directory(root() / "data");
  };
  form->Form_Unload();
  ASSERT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[0].buttons, Prompts::Buttons::RetryClose);
  EXPECT_EQ(fs::file_size(dataFile("srfm_data0021.log")), 31u);
  EXPECT_EQ(settings.writes.size(), 1u) << "the settings are still saved";
}

}  // namespace
