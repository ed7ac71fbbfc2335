// The main window's editor bridge against a scripted editor: first activation, switching
// characters, Sync and Auto around a send, following a code picked in the editor, Send
// All. The link's own rules (prompts, code order, glyph calls, the shut-down question)
// are tests/editor's.
#include <QDir>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QTest>

#include "strokes/StrokeFile.h"
#include "tests/app/AppHarness.h"
#include "tests/support/FileBytes.h"

namespace {

using EditorBridge = AppTest;

TEST_F(EditorBridge, AFailedFirstConnectionDisablesTheEditorControlsUntilTypingConnects) {
  open(nullptr, 0x41);
  EXPECT_FALSE(form->CommandNext->isEnabled());
  form->TextChar->setText("Z");
  form->CommandNext_Click();
  EXPECT_EQ(form->TextChar->text(), "A") << "Next without an editor restores the character";
  EXPECT_EQ(prompts.asked.size(), 1u);

  fakes.editor.running = fake::runningEditor(fake::latinCodes(), 0x20);
  QTest::keyClicks(form->TextChar, "C");
  EXPECT_EQ(document().current, 0x43);
}

// Typing switches like Next, and neither switches when the old strokes cannot be saved
// (regression: loading the new character emptied the log). Backspace tells the editor
// code 8 and shows the space.
TEST_F(EditorBridge, TypingAndNextSwitchCharactersUnlessTheOldStrokesCannotBeSaved) {
  openLatin();
  drawStroke();
  const int32_t drawn = records();
  ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_data0041.log"));  // the save fails
  const std::function<void()> moves[] = {[&] { QTest::keyClicks(form->TextChar, "B"); },
                                         [&] { form->CommandNext_Click(); }};
  for (const auto& move : moves) {
    move();
    EXPECT_EQ(form->TextChar->text(), "A");
    EXPECT_EQ(records(), drawn);
    EXPECT_EQ(document().current, 0x41) << "the editor is put back";
  }
  ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_data0041.log"));
  QTest::keyClicks(form->TextChar, "B");
  EXPECT_EQ(document().current, 0x42);
  EXPECT_EQ(records(), 0) << "B has no strokes yet";
  QTest::keyClick(form->TextChar, Qt::Key_Backspace);
  EXPECT_EQ(document().setcodes.back(), 8);
  EXPECT_EQ(code(), 32);
}

// A bitmap that cannot be written abandons the send; a failed import is reported. Auto
// steps after a send only without Sync (both can be ticked by stored settings); the side
// bearings go only with SetSB ticked, not grey.
TEST_F(EditorBridge, FailedSendsAreReportedAndAutoAndSyncExcludeEachOther) {
  openLatin();
  ASSERT_TRUE(QDir(workingDirectory()).mkpath("data/srfm_dots0041.bmp"));  // a folder in the way
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 0u) << "nothing reaches the editor, its glyph stays";
  EXPECT_TRUE(form->LabelStat->text().startsWith("文字の画像ファイルを書き込めませんでした"));
  ASSERT_TRUE(QDir(workingDirectory()).rmdir("data/srfm_dots0041.bmp"));
  document().failing = {"Delete"};
  form->CommandKernova_Click();
  EXPECT_TRUE(form->LabelStat->text().startsWith("Kernovaへ文字を読み込めませんでした（"));
  document().failing.clear();

  form->TextLSB->setText("12.5");
  Form1::setCheckValue(form->CheckSB, 2);
  form->CheckAuto->setChecked(true);
  EXPECT_FALSE(form->CheckSync->isEnabled());
  form->CommandKernova_Click();
  EXPECT_EQ(lastImport(), "0041.bmp");
  EXPECT_EQ(code(), 0x42) << "Auto steps on";
  form->CheckAuto->setChecked(false);
  form->CheckSync->setChecked(true);
  EXPECT_FALSE(form->CheckAuto->isEnabled());
  Form1::setCheckValue(form->CheckAuto, 1);
  Form1::setCheckValue(form->CheckSB, 1);
  form->CommandKernova_Click();
  EXPECT_EQ(code(), 0x42);
  EXPECT_EQ(document().bearings, (std::vector<std::pair<int16_t, int16_t>>{{12, 20}}));
}

// Regressions: leaving a canvas without ink replaced the editor's glyph with nothing; a
// count set for a change event that never came (Next at the last code) swallowed a send.
TEST_F(EditorBridge, SyncSendsTheInkLeftAndSwallowsOnlyTheChangeEventsThatCome) {
  openLatin(0xFE);
  form->CheckSync->setChecked(true);
  form->CommandNext_Click();
  EXPECT_EQ(imports(), 0u) << "no ink, nothing sent";
  drawStroke();
  form->CommandNext_Click();  // the last code: the editor stays on it
  EXPECT_EQ(code(), 0xFF);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 2u);
  QTest::keyClicks(form->TextChar, "A");
  EXPECT_EQ(imports(), 3u) << "clearing the field and inserting A were swallowed";
  form->CommandKernova_Click();
  EXPECT_EQ(lastImport(), "0041.bmp");
  form->CheckSync->setChecked(false);
  QTest::keyClicks(form->TextChar, "B");  // counts change events that pass while Sync is off
  form->CheckSync->setChecked(true);
  form->CommandKernova_Click();
  EXPECT_EQ(imports(), 5u) << "the click handler starts Sync afresh";
}

// Regression: a Western face's fall-back to "A" and a new Latin font's cap at 255 changed
// the character without saving the old strokes and loading the new.
TEST_F(EditorBridge, EveryChangeOfCharacterSavesTheOldStrokesAndLoadsTheNew) {
  const std::pair<QString, std::function<void()>> cases[] = {
      {"srfm_data0041.log", [&] { openJapanese(codepage::CodePage::Cp932); form->TextFace->setText("Arial"); }},
      {"srfm_data00FF.log", [&] {
         prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};  // a new Latin font
         open(std::make_shared<fake::Application>(), 0x82A0);
       }}};
  for (const auto& [newFile, change] : cases) {
    std::filesystem::create_directories(dataFile(""));
    writeBytes(dataFile("srfm_data82A0.log"), "1,3,10,10\r\n2,3,20,20\r\n3,0,0,0\r\n");
    writeBytes(dataFile(newFile), "1,5,30,30\r\n3,0,0,0\r\n");
    fakes.settings.values = {{"Char", "33440"}};
    change();
    EXPECT_EQ(records(), 2) << newFile.toStdString();
  }
}

// An input method's character replaces the one in the field and switches once, also
// outside a Japanese locale when the editor's font is Japanese.
TEST_F(EditorBridge, ASecondJapaneseCharacterReplacesTheFirstAndSwitchesOnce) {
  openJapanese(codepage::CodePage::Cp1252);
  form->TextChar->end(false);
  drawStroke();
  const int32_t drawn = records();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("い"));
  QApplication::sendEvent(form->TextChar, &press);
  EXPECT_EQ(form->TextChar->text(), QStringLiteral("い"));
  EXPECT_EQ(code(), 0x82A2);
  form->TextChar->setText(QString());
  EXPECT_EQ(code(), 0x82A2) << "deleting the character changes nothing else";
  form->CommandPrev_Click();
  form->CommandPrev_Click();
  EXPECT_EQ(records(), drawn) << "saved once, with the strokes drawn for 0x82A0";
}

TEST_F(EditorBridge, APickedCodeSwitchesLikeNextAndWaitsForTheStrokeBeingDrawn) {
  openJapanese(codepage::CodePage::Cp932);
  form->CheckSync->click();
  drawStroke();
  fakes.editor.pick(int16_t(0x82A2));  // codes from 0x8000 may come negative
  ASSERT_EQ(imports(), 1u) << "Sync sends the character left";
  EXPECT_EQ(lastImport(), "82A0.bmp");
  EXPECT_EQ(document().current, 0x82A2) << "the editor goes back to the picked code";
  EXPECT_EQ(code(), 0x82A2);
  EXPECT_EQ(records(), 0);

  form->PictureDOT_MouseDown(1, 0, 200, 200);
  fakes.editor.pick(0x82A0);
  EXPECT_EQ(code(), 0x82A2) << "not in the middle of a stroke";
  form->PictureDOT_MouseUp(1, 0, 220, 240);
  EXPECT_EQ(code(), 0x82A0);
  EXPECT_GT(records(), 0) << "the first character's strokes are back";
  EXPECT_EQ(lastImport(), "82A2.bmp") << "the stroke ended on the character left";
}

TEST_F(EditorBridge, SendAllSendsInkedFilesInBatchesSkipsEmptyOnesAndKeepsTheCurrentCharacter) {
  openLatin();
  drawStroke();
  fakes.editor.pick(0x42);
  StrokeLog empty;
  ASSERT_TRUE(strokefile::writeStrokeFile(dataFile("srfm_data0043.log"), empty).ok());
  std::filesystem::copy_file(dataFile("srfm_data0041.log"), dataFile("srfm_data0081.log"));  // none in CP1252
  fakes.editor.pick(0x44);
  drawStroke();  // not saved yet
  form->CheckSB->click();
  form->TextLSB->setText("10");
  form->TextRSB->setText("20");
  const std::string live = readBytes(form->exportGlyphBitmap().toStdString());
  const int32_t drawn = records();
  document().current = 0x20;

  form->mnuEditSendAll->trigger();
  std::vector<int32_t> sent;
  for (const auto& glyph : document().batchImports) sent.push_back(glyph.code);
  EXPECT_EQ(sent, (std::vector<int32_t>{0x41, 0x44}));
  const std::vector<uint8_t>& replayed = document().batchImports.back().bmp;
  EXPECT_EQ(std::string(replayed.begin(), replayed.end()), live) << "the replay has the live canvas's pixels";
  EXPECT_EQ(document().bearings, (std::vector<std::pair<int16_t, int16_t>>{{10, 20}, {10, 20}}));
  EXPECT_EQ(document().current, 0x44) << "the editor is back on the current character";
  EXPECT_EQ(records(), drawn);

  // 40 inked files make two batches; a cancel during the first stops before the second.
  for (int32_t code = 0x50; code < 0x50 + 38; ++code)
    std::filesystem::copy_file(dataFile("srfm_data0041.log"), dataFile(Form1::strokeFileName(code).mid(5)));
  document().batchImports.clear();
  document().onBatch = [this] { form->findChild<QProgressDialog*>()->cancel(); };
  form->mnuEditSendAll->trigger();
  EXPECT_GT(document().batchImports.size(), 0u);
  EXPECT_LT(document().batchImports.size(), 40u);
  EXPECT_EQ(document().current, 0x44);
}

}  // namespace
