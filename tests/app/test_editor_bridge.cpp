// The main window's editor bridge against a scripted editor: first activation,
// character navigation, typed characters, Sync and Auto, shut-down question.
#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QTest>

#include "editor/SystemCodePage.h"
#include "tests/app/AppHarness.h"
#include "tests/editor/FakeEditor.h"
#include "tests/support/FileBytes.h"

namespace {

using codepage::CodePage;

struct EditorBridgeFixture : AppTest {
  fake::Launcher launcher;
  FakeSettingsStore settings;

  void SetUp() override { editor::setSystemCodePage(CodePage::Cp1252); }
  void TearDown() override {
    AppTest::TearDown();
    editor::setSystemCodePage(std::nullopt);
  }

  void openWith(std::shared_ptr<fake::Application> editor, int32_t code) {
    launcher.running = std::move(editor);
    services.settings = &settings;
    services.editor = &launcher;
    peek(build()).setCurrentCharCode(code);
    form->Form_Activate();
  }
  void openLatin(int32_t code = 0x41) { openWith(fake::runningEditor(fake::latinCodes(), code), code); }
  void openJapanese() {
    editor::setSystemCodePage(CodePage::Cp932);
    openWith(fake::runningEditor(fake::japaneseCodes(), 0x82A0), 0x82A0);
  }
  std::shared_ptr<fake::Document> document() { return launcher.running->document(); }
  size_t imports() { return document()->imports.size(); }
  // The character of the newest imported bitmap, read from its file name.
  QString lastImport() {
    return QString::fromStdString(document()->imports.back()).section("srfm_dots", 1);
  }
  void drawStroke() {
    form->PictureDOT_MouseDown(1, 0, 100, 100);
    form->PictureDOT_MouseMove(1, 0, 100, 140);
    form->PictureDOT_MouseUp(1, 0, 100, 140);
  }
  // Ticks Sync without its click handler, so a pending skip count survives.
  void tickSyncQuietly() {
    form->CheckSync->blockSignals(true);
    form->CheckSync->setChecked(true);
    form->CheckSync->blockSignals(false);
  }
  int32_t code() { return peek(*form).currentCharCode(); }
  int32_t records() { return peek(*form).strokeLog().logEnd(); }
};


// The face for a Latin font and the shut-down question itself are the link's; the
// window asks only about a font created at its own prompt.
TEST_F(EditorBridgeFixture, OnlyAFontCreatedAtThePromptIsOfferedForSaving) {
  for (const bool created : {false, true}) {
    prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes, Prompts::Answer::Yes};
    openWith(created ? std::make_shared<fake::Application>() : fake::runningEditor(fake::latinCodes(), 0x20), 0x41);
    EXPECT_EQ(document()->current, 0x41) << "the editor is put on the window's character";
    document()->saved_ = false;
    prompts.asked.clear();
    form->Form_Unload();
    EXPECT_EQ(document()->saved_, created);
  }
}

TEST_F(EditorBridgeFixture, AFailedFirstConnectionDisablesTheEditorControlsUntilTypingConnects) {
  openWith(nullptr, 0x41);
  for (QWidget* w : std::initializer_list<QWidget*>{form->CommandNext, form->CommandKernova, form->CheckSync})
    EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
  form->TextChar->setText("Z");
  form->CommandNext_Click();
  EXPECT_EQ(form->TextChar->text(), "A") << "Next without an editor restores the character";
  EXPECT_EQ(prompts.asked.size(), 1u);

  launcher.running = fake::runningEditor(fake::latinCodes(), 0x20);
  QTest::keyClicks(form->TextChar, "C");
  EXPECT_EQ(document()->current, 0x43);
}

TEST_F(EditorBridgeFixture, NextAndPrevFollowTheEditorsCodeOrderAndLoadTheCharacter) {
  openJapanese();
  drawStroke();
  form->CommandNext_Click();
  EXPECT_EQ(code(), 0x82A1);
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("ぃ"));
  EXPECT_EQ(records(), 0);
  form->CommandPrev2_Click();
  EXPECT_EQ(form->LabelChar->text(), QStringLiteral("あ"));
  EXPECT_GT(records(), 0);
}

TEST_F(EditorBridgeFixture, AutoAndSyncDisableEachOtherAndSideBearingsGoOnlyWithSetSB) {
  openLatin();
  form->CheckAuto->setChecked(true);
  EXPECT_FALSE(form->CheckSync->isEnabled());
  form->CheckAuto->setChecked(false);
  form->CheckSync->setChecked(true);
  EXPECT_FALSE(form->CheckAuto->isEnabled());
  form->CheckSync->setChecked(false);
  form->TextLSB->setText("12.5");
  for (int setSB : {2, 1}) {
    Form1::setCheckValue(form->CheckSB, setSB);
    form->CommandKernova_Click();
  }
  EXPECT_EQ(document()->bearings, (std::vector<std::pair<int16_t, int16_t>>{{12, 20}}));
}

TEST_F(EditorBridgeFixture, SyncSwallowsExactlyTheCountedRequests) {
  openLatin();
  form->CheckSync->setChecked(true);
  form->TextChar->setText("A");  // a Sync transfer of its own
  drawStroke();
  const size_t before = imports();
  QTest::keyClicks(form->TextChar, "B");
  EXPECT_EQ(imports(), before + 1) << "clearing the field and inserting B were swallowed";
  EXPECT_EQ(lastImport(), "0041.bmp");
  form->CommandKernova_Click();
  EXPECT_EQ(lastImport(), "0042.bmp");
}

TEST_F(EditorBridgeFixture, ACountLeftFromSyncOffSwallowsSendsUnlessSyncIsSwitchedOn) {
  openLatin();
  form->TextChar->setText("A");
  QTest::keyClicks(form->TextChar, "B");
  tickSyncQuietly();
  const size_t before = imports();
  for (int press = 0; press < 3; ++press) form->CommandKernova_Click();
  EXPECT_EQ(imports(), before + 1) << "the two changes counted while Sync was off";
  form->CheckSync->setChecked(false);
  QTest::keyClicks(form->TextChar, "C");
  form->CheckSync->setChecked(true);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), before + 2) << "the click handler starts Sync afresh";
}

// Regression: a count set for a change event that never comes (the field already
// held the character) swallowed the next Sync transfer, so a glyph was not sent.
TEST_F(EditorBridgeFixture, SyncSendsBeforeNextAndANextThatLeavesTheFieldLeavesNothingToSwallow) {
  openLatin(0xFE);
  form->CheckSync->setChecked(true);
  drawStroke();
  const size_t before = imports();
  form->CommandNext_Click();
  EXPECT_EQ(lastImport(), "00FE.bmp");
  drawStroke();
  form->CommandNext_Click();  // the last code: the editor stays on it
  EXPECT_EQ(code(), 0xFF);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), before + 3);
}

// Regression: with Sync on, leaving a character whose canvas had no ink (a fresh
// working folder, a cleared canvas) replaced the editor's glyph with nothing.
TEST_F(EditorBridgeFixture, SyncSkipsACanvasWithoutInkButAPressSendsIt) {
  openLatin();
  form->CheckSync->setChecked(true);
  form->CommandNext_Click();
  QTest::keyClicks(form->TextChar, "D");
  form->Form_Unload();
  EXPECT_EQ(imports(), 0u);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 1u) << "an explicit press sends what the canvas holds";
}

TEST_F(EditorBridgeFixture, AutoStepsAfterASendOnlyWithoutSync) {
  openLatin();
  form->CheckAuto->setChecked(true);
  form->CommandKernova_Click();
  EXPECT_EQ(lastImport(), "0041.bmp");
  EXPECT_EQ(form->LabelChar->text(), "B");
  tickSyncQuietly();
  form->CommandKernova_Click();
  EXPECT_EQ(code(), 0x42);
}

TEST_F(EditorBridgeFixture, ABitmapThatCannotBeWrittenAbandonsTheSendAndAFailedImportIsReported) {
  openLatin();
  ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_dots0041.bmp"));  // a folder in the way
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 0u) << "nothing reaches the editor, its glyph stays";
  ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_dots0041.bmp"));
  document()->failing = {"Delete"};
  form->CommandKernova_Click();
  EXPECT_TRUE(form->LabelStat->text().startsWith("Kernovaへ文字を読み込めませんでした（"));
}
// Regression: the fall-back of a Western reference face to "A" and the cap of a new
// Latin font at 255 changed the character without saving or loading, so the old
// character's strokes were later written over the new character's file.
TEST_F(EditorBridgeFixture, EveryChangeOfCharacterSavesTheOldStrokesAndLoadsTheNew) {
  const std::string oldStrokes = "1,3,10,10\r\n2,3,20,20\r\n3,0,0,0\r\n";
  const std::string newStrokes = "1,5,30,30\r\n3,0,0,0\r\n";
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"srfm_data0041.log", [&] { openJapanese(); form->TextFace->setText("Arial"); }},
      {"srfm_data00FF.log", [&] {
         prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // a new Latin font
         openWith(std::make_shared<fake::Application>(), 0x82A0);
       }}};
  const std::filesystem::path data = workingDirectory().toStdString() + "/data";
  for (const auto& [newFile, change] : cases) {
    std::filesystem::create_directories(data);
    writeBytes(data / "srfm_data82A0.log", oldStrokes);
    writeBytes(data / newFile, newStrokes);
    settings.values = {{"Char", "33440"}};
    change();
    EXPECT_EQ(records(), 2) << newFile;
    form->Form_Unload();
    EXPECT_EQ(readBytes(data / "srfm_data82A0.log"), oldStrokes) << newFile;
    EXPECT_EQ(readBytes(data / newFile), newStrokes) << newFile;
  }
}

// Regression: a switch went ahead when the old strokes could not be saved, and loading
// the new character emptied the log.
TEST_F(EditorBridgeFixture, ASwitchThatCannotSaveTheOldStrokesIsRefused) {
  const std::function<void()> moves[] = {[&] { QTest::keyClicks(form->TextChar, "B"); },
                                         [&] { form->CommandNext_Click(); }};
  for (const auto& move : moves) {
    openLatin();
    form->TextChar->setText("A");
    drawStroke();
    const int32_t drawn = records();
    ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_data0041.log"));  // the save fails
    move();
    EXPECT_EQ(form->TextChar->text(), "A");
    EXPECT_EQ(records(), drawn);
    EXPECT_EQ(document()->current, 0x41) << "the editor is put back";
    EXPECT_TRUE(form->LabelStat->text().contains("を保存できません")) << form->LabelStat->text().toStdString();
    ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_data0041.log"));
  }
}


// Typing switches like Next; Backspace tells the editor code 8 and shows the space.
TEST_F(EditorBridgeFixture, TypingOnALatinFontSwitchesCharactersAndKeepsTheirStrokes) {
  openLatin();
  form->TextChar->setText("A");
  drawStroke();
  const int32_t drawn = records();
  QTest::keyClicks(form->TextChar, "B");
  EXPECT_EQ(document()->current, 66);
  EXPECT_EQ(records(), 0) << "B has no strokes yet";
  QTest::keyClicks(form->TextChar, "A");
  EXPECT_EQ(records(), drawn);
  QTest::keyClick(form->TextChar, Qt::Key_Backspace);
  EXPECT_EQ(document()->setcodes.back(), 8);
  EXPECT_EQ(code(), 32);
}

// An input method's character replaces the one in the field; the switch happens once.
TEST_F(EditorBridgeFixture, ASecondJapaneseCharacterReplacesTheFirstAndSwitchesOnce) {
  openJapanese();
  form->TextChar->setText(QStringLiteral("あ"));
  form->TextChar->end(false);
  drawStroke();
  const int32_t drawn = records();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("い"));
  QApplication::sendEvent(form->TextChar, &press);
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("い"));
  form->TextChar->setText(QString());
  EXPECT_EQ(code(), 0x82A2) << "deleting the character changes nothing else";
  form->CommandPrev_Click();
  form->CommandPrev_Click();
  EXPECT_EQ(records(), drawn) << "saved once, with the strokes drawn for 0x82A0";
}

}  // namespace
