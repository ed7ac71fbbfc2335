// The main window's editor bridge against a scripted editor: first activation,
// character navigation, typed characters, Sync and Auto, shut-down question.
#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QTest>

#include "editor/SystemCodePage.h"
#include "platform/SettingsStore.h"
#include "tests/app/AppHarness.h"
#include "tests/editor/FakeEditor.h"
#include "tests/support/FileBytes.h"

namespace {

using codepage::CodePage;

struct EditorBridgeFixture : AppTest {
  fake::Launcher launcher;
  std::unique_ptr<platform::IniSettingsStore> settings;

  void SetUp() override { editor::setSystemCodePage(CodePage::Cp1252); }
  void TearDown() override {
    AppTest::TearDown();
    editor::setSystemCodePage(std::nullopt);
  }

  void openWith(std::shared_ptr<fake::Application> editor, int32_t code) {
    form.reset();  // before its settings store goes
    launcher.running = std::move(editor);
    settings = std::make_unique<platform::IniSettingsStore>(workingDirectory() + "/tovane.ini");
    services.settings = settings.get();
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
  void expectCharacter(int32_t code, const QString& caption, const QString& text) {
    EXPECT_EQ(peek(*form).currentCharCode(), code);
    EXPECT_EQ(form->LabelCode->text(), caption);
    EXPECT_EQ(form->LabelChar->text(), text);
  }
};


TEST_F(EditorBridgeFixture, AnOpenDocumentIsUsedWithoutQuestionsAndNeverOfferedForSaving) {
  openWith(fake::runningEditor(fake::latinCodes(), 0x20), 0x41);
  EXPECT_EQ(document()->current, 0x41);
  EXPECT_EQ(form->TextFace->text(), "Arial") << "the default Japanese face does not suit a Latin font";
  document()->saved_ = false;
  form->Form_Unload();
  EXPECT_TRUE(prompts.asked.empty()) << "the font was not created at our prompt";
}

TEST_F(EditorBridgeFixture, AFailedFirstConnectionDisablesTheEditorControlsUntilTypingConnects) {
  openWith(nullptr, 0x41);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(form->LabelStat->text(),
            QStringLiteral("Kernovaが起動できないか、Kernovaとの連動がキャンセルされました。"));
  for (QWidget* w : std::initializer_list<QWidget*>{form->CommandNext, form->CommandKernova, form->CheckSync})
    EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
  form->TextChar->setText("Z");
  form->CommandNext_Click();
  expectCharacter(0x41, "41", "A");
  EXPECT_EQ(form->TextChar->text(), "A") << "Next without an editor restores the character";
  EXPECT_EQ(prompts.asked.size(), 1u);

  launcher.running = fake::runningEditor(fake::latinCodes(), 0x20);
  QTest::keyClicks(form->TextChar, "C");
  EXPECT_EQ(document()->current, 0x43);
}

TEST_F(EditorBridgeFixture, AFontCreatedAtThePromptIsOfferedForSaving) {
  prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes, Prompts::Answer::Yes};
  openWith(std::make_shared<fake::Application>(), 0x82A0);
  document()->saved_ = false;
  form->Form_Unload();
  ASSERT_EQ(prompts.asked.size(), 3u);
  EXPECT_EQ(prompts.asked[2].text, QStringLiteral("Kernovaでフォントがセーブされていません。セーブしますか？"));
  EXPECT_TRUE(document()->saved_);
}


TEST_F(EditorBridgeFixture, NextFollowsTheEditorsCodeOrderAndLoadsTheNewCharacter) {
  openJapanese();
  drawStroke();
  form->CommandNext_Click();
  expectCharacter(0x82A1, "82A1", QStringLiteral("ぃ"));
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("ぃ"));
  EXPECT_EQ(form->LabelStatus->text(), " 0");
  form->CommandPrev2_Click();
  expectCharacter(0x82A0, "82A0", QStringLiteral("あ"));
  EXPECT_GT(peek(*form).strokeLog().logEnd(), 0);
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
  EXPECT_EQ(peek(*form).syncSkipCount(), 0) << "clearing the field and inserting B were swallowed";
  EXPECT_EQ(imports(), before + 1) << "only the key press itself sent A";
  EXPECT_EQ(lastImport(), "0041.bmp");
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), before + 2);
  EXPECT_EQ(lastImport(), "0042.bmp");
}

TEST_F(EditorBridgeFixture, ACountLeftFromSyncOffSwallowsSendsUnlessSyncIsSwitchedOn) {
  openLatin();
  form->TextChar->setText("A");
  QTest::keyClicks(form->TextChar, "B");
  ASSERT_EQ(peek(*form).syncSkipCount(), 2) << "nothing consumed it while Sync was off";
  tickSyncQuietly();
  const size_t before = imports();
  form->CommandKernova_Click();
  form->CommandKernova_Click();
  EXPECT_EQ(peek(*form).syncSkipCount(), 0);
  EXPECT_EQ(imports(), before);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), before + 1);
  form->CheckSync->setChecked(false);
  QTest::keyClicks(form->TextChar, "C");
  form->CheckSync->setChecked(true);
  EXPECT_EQ(peek(*form).syncSkipCount(), 0) << "the click handler starts Sync afresh";
}

// Regression: a count set for a change event that never comes (the field already
// held the character) swallowed the next Sync transfer, so a glyph was not sent.
TEST_F(EditorBridgeFixture, SyncSendsBeforeNextAndANextThatLeavesTheFieldLeavesNothingToSwallow) {
  openLatin(0xFE);
  form->CheckSync->setChecked(true);
  drawStroke();
  const size_t before = imports();
  form->CommandNext_Click();
  ASSERT_EQ(imports(), before + 1);
  EXPECT_EQ(lastImport(), "00FE.bmp");
  expectCharacter(0xFF, "FF", QStringLiteral("ÿ"));
  drawStroke();
  form->CommandNext_Click();  // the last code: the editor stays on it
  EXPECT_EQ(peek(*form).currentCharCode(), 0xFF);
  EXPECT_EQ(imports(), before + 2);
  EXPECT_EQ(peek(*form).syncSkipCount(), 0);
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
  expectCharacter(0x42, "42", "B");
  tickSyncQuietly();
  form->CommandKernova_Click();
  EXPECT_EQ(peek(*form).currentCharCode(), 0x42);
}

TEST_F(EditorBridgeFixture, ABitmapThatCannotBeWrittenAbandonsTheSendAndAFailedImportIsReported) {
  openLatin();
  ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_dots0041.bmp"));  // a folder in the way
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 0u) << "nothing reaches the editor, its glyph stays";
  ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_dots0041.bmp"));
  document()->failing = {"ImportBmpfile"};
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
    writeBytes(workingDirectory().toStdString() + "/tovane.ini", "[DERUZIZAZARURID]\nChar=33440\n");
    change();
    EXPECT_EQ(peek(*form).strokeLog().logEnd(), 2) << newFile;
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
    const int32_t records = peek(*form).strokeLog().logEnd();
    ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_data0041.log"));  // the save fails
    move();
    expectCharacter(0x41, "41", "A");
    EXPECT_EQ(form->TextChar->text(), "A");
    EXPECT_EQ(peek(*form).strokeLog().logEnd(), records);
    EXPECT_EQ(document()->current, 0x41) << "the editor is put back";
    EXPECT_TRUE(form->LabelStat->text().contains("を保存できません")) << form->LabelStat->text().toStdString();
    ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_data0041.log"));
  }
}


TEST_F(EditorBridgeFixture, TypingOnALatinFontSwitchesCharactersAndKeepsTheirStrokes) {
  openLatin();
  form->TextChar->setText("A");
  drawStroke();
  const int32_t records = peek(*form).strokeLog().logEnd();
  QTest::keyClicks(form->TextChar, "B");
  expectCharacter(66, "42", "B");
  EXPECT_EQ(form->TextChar->text(), "B");
  EXPECT_EQ(document()->current, 66);
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 0) << "B has no strokes yet";
  QTest::keyClicks(form->TextChar, "A");
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), records);
  EXPECT_EQ(form->LabelStatus->text(), " " + QString::number(records));
  QTest::keyClick(form->TextChar, Qt::Key_Backspace);
  const auto& told = document()->setcodes;
  EXPECT_NE(std::find(told.begin(), told.end(), 8), told.end()) << "the editor is told code 8";
  expectCharacter(32, "20", " ");
}

TEST_F(EditorBridgeFixture, ASecondJapaneseCharacterReplacesTheFirstAndSwitchesOnce) {
  openJapanese();
  form->TextChar->setText(QStringLiteral("あ"));
  form->TextChar->end(false);
  drawStroke();
  const int32_t records = peek(*form).strokeLog().logEnd();
  // A key press carrying text that has no key of its own, as an input method gives.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("い"));
  QApplication::sendEvent(form->TextChar, &press);
  expectCharacter(0x82A2, "82A2", QStringLiteral("い"));
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("い"));
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 0);
  form->TextChar->setText(QString());
  EXPECT_EQ(peek(*form).currentCharCode(), 0x82A2) << "deleting the character changes nothing else";
  form->CommandPrev_Click();
  form->CommandPrev_Click();
  EXPECT_EQ(peek(*form).currentCharCode(), 0x82A0);
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), records) << "saved once, with the strokes drawn for 0x82A0";
}

}  // namespace
