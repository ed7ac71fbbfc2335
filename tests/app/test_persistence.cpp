// Work that survives runs: the settings loaded at start-up and saved at shut-down, the
// brush presets, and the stroke files written and read by the window.
#include <QSlider>
#include <array>
#include <filesystem>

#include "editor/SystemCodePage.h"
#include "tests/app/AppHarness.h"
#include "tests/app/FakeSettingsStore.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct PersistenceFixture : AppTest {
  FakeSettingsStore settings;

  fs::path root() const { return workingDirectory().toStdString(); }
  fs::path dataFile(const char* name) const { return root() / "data" / name; }
  void start() {
    services.settings = &settings;
    build();
  }
  void addStroke(int x) {
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, x, 10, 3);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Line, x + 1, 20, 4);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
  QString saved(const QString& key) const { return settings.values.at(key); }
  QString status() const { return form->LabelStat->text(); }
};


TEST_F(PersistenceFixture, FirstRunStoresNothingBeforeShutDownAndAMinimumAboveTheMaximumIsPulledDown) {
  settings.values["BMin"] = "25";
  start();
  EXPECT_TRUE(settings.writes.empty());
  EXPECT_EQ(peek(*form).BMin(), 20);
  form->Form_Unload();
  EXPECT_EQ(saved("Char"), "33");
}

TEST_F(PersistenceFixture, EveryKeyRoundTrips) {
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
  start();
  editor::setSystemCodePage(std::nullopt);
  EXPECT_EQ(form->LabelChar->size(), QSize(30, 21));
  settings.values.clear();
  form->saveSettings();
  ASSERT_EQ(settings.writes.size(), 1u) << "one write holds every key";
  EXPECT_EQ(settings.values, stored);
}

TEST_F(PersistenceFixture, StoredValuesAreReadLenientlyAndUnusableOnesFallBackToDefaults) {
  const std::array<const char*, 3> cases[] = {
      // key, stored, written back
      {"Char", " 0065", "65"}, {"BMax", "+040", "40"}, {"RefCharWidth", "30.4", "30"},
      {"RefCharHeight", "20,6", "21"}, {"RefCharColor", "&hff", "&HFF"},
      {"Char", "abc", "33"}, {"Char", "65536", "33"}, {"Auto", "yes", "0"}, {"RefChar", "7", "1"},
      {"PresetMin0", "0", "1"}, {"PresetMax1", "99999999999999999999", "50"},
      {"PresetMod2", "-1", "0"}, {"BMin", "1.5", "1"}, {"BMax", "251", "20"}, {"Sumiro", "", "1"},
      {"RefCharColor", "&H12345678", "&H8000000A"}, {"RefCharColor", "&H800000FF", "&H8000000A"},
      {"RefCharWidth", "nan", "37"}, {"RefCharWidth", "37.5", "37"}, {"RefCharHeight", "5", "37"}};
  for (const auto& [key, stored, written] : cases) {
    settings.values = {{key, stored}};
    start();
    form->saveSettings();
    EXPECT_EQ(saved(key), written) << key << "=" << stored;
  }
}

TEST_F(PersistenceFixture, FailedSettingsSaveIsReported) {
  start();
  settings.failure = "disk full";
  form->saveSettings();
  EXPECT_TRUE(status().contains("disk full")) << status().toStdString();
  EXPECT_TRUE(prompts.asked.empty()) << "while running, the status line is enough";
  form->Form_Unload();
  EXPECT_EQ(prompts.asked.size(), 1u) << "at shut-down the status line is no longer seen";
}


TEST_F(PersistenceFixture, PresetsStoreTheCurrentWidthsAndModeAndApplyThem) {
  start();
  form->SliderMin->setValue(5);
  form->SliderMin_Scroll();
  form->SliderMax->setValue(40);
  form->SliderMax_Scroll();
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


// Regression: Clear used to empty the log even when its strokes could not be saved, so
// UnDo could only reload an older file and the strokes were gone. With a data folder
// UnDo reads them back from the file; without one, from memory.
TEST_F(PersistenceFixture, UndoAfterClearRestoresTheClearedStrokes) {
  for (bool folder : {true, false}) {
    form.reset();
    fs::remove_all(root() / "data");
    if (!folder) writeBytes(root() / "data", "not a folder");
    start();
    addStroke(10);
    addStroke(20);
    form->CommandClear->click();
    form->mnuEditUnDo_Click();
    EXPECT_EQ(peek(*form).strokeLog().logEnd(), 6) << folder;
    EXPECT_EQ(peek(*form).strokeLog().at(3), (StrokeRecord{1, 20, 10, 3}));
    form->mnuEditUnDo_Click();
    EXPECT_EQ(peek(*form).strokeLog().logEnd(), 3) << "the restored strokes undo one by one";
  }
}

// A damaged file is moved aside; one that cannot be moved is never written over.
TEST_F(PersistenceFixture, DamagedFileIsKeptAndNeverOverwritten) {
  const std::string damaged = "1,3,120,345\r\n2,3,x,350\r\n";
  for (bool movable : {true, false}) {
    form.reset();
    fs::remove_all(root() / "data");
    fs::create_directory(root() / "data");
    writeBytes(dataFile("srfm_data0021.log"), damaged);
    for (int n = 1; !movable && n <= 1000; ++n)
      writeBytes(dataFile(("srfm_data0021.log.damaged" + (n > 1 ? std::to_string(n) : "")).c_str()), "");
    start();
    EXPECT_EQ(peek(*form).strokeLog().logEnd(), 0);
    EXPECT_TRUE(status().contains(movable ? "srfm_data0021.log.damaged" : "上書きしません")) << status().toStdString();
    addStroke(10);
    form->CommandClear->click();
    form->Form_Unload();
    EXPECT_EQ(readBytes(dataFile(movable ? "srfm_data0021.log.damaged" : "srfm_data0021.log")), damaged);
  }
}

TEST_F(PersistenceFixture, UncreatableDataFolderStillOpensAndSaysWhy) {
  writeBytes(root() / "data", "not a folder");
  start();
  EXPECT_TRUE(status().contains("dataフォルダを作成できません")) << status().toStdString();
  addStroke(10);
  form->CommandSave->click();
  EXPECT_TRUE(status().contains("を保存できません")) << status().toStdString();
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 3) << "a failed save keeps the log";
  form->Form_Unload();
  ASSERT_EQ(prompts.asked.size(), 1u) << "strokes lost at shut-down are not lost silently";
  EXPECT_EQ(settings.writes.size(), 1u) << "the settings are still saved";
}

// Regression: a save that failed at close lost the strokes after an OK-only box.
TEST_F(PersistenceFixture, AFailedSaveAtCloseIsOfferedAgainUntilItSucceeds) {
  writeBytes(root() / "data", "not a folder");
  start();
  addStroke(10);
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
}

}  // namespace
