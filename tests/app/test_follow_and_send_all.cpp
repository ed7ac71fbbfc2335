// The tool against a scripted editor: a code picked in the editor's window is followed
// like Next (Sync first, strokes saved and loaded, waiting out a stroke), and Send All
// Written Characters sends every inked stroke file in batches, skipping empty ones,
// cancellable, without touching the current character.
#include <QCheckBox>
#include <QProgressDialog>
#include <filesystem>

#include "editor/SystemCodePage.h"
#include "glyph/GlyphBitmap.h"
#include "strokes/StrokeFile.h"
#include "tests/app/AppHarness.h"
#include "widgets/PictureBox.h"

namespace {

using codepage::CodePage;

struct FollowAndSendAll : AppTest {
  fake::Launcher launcher;

  void TearDown() override {
    AppTest::TearDown();
    editor::setSystemCodePage(std::nullopt);
  }
  void open(CodePage page, std::vector<uint16_t> codes, int32_t code) {
    editor::setSystemCodePage(page);
    launcher.running = fake::runningEditor(std::move(codes), uint16_t(code));
    services.editor = &launcher;
    peek(build()).setCurrentCharCode(code);
    form->Form_Activate();
  }
  fake::Document& document() { return *launcher.running->document(); }
  void drawStroke() {
    form->PictureDOT_MouseDown(1, 0, 100, 100);
    form->PictureDOT_MouseMove(1, 0, 140, 160);
    form->PictureDOT_MouseUp(1, 0, 140, 160);
  }
  std::filesystem::path strokeFile(int32_t code) {
    return std::filesystem::path(workingDirectory().toStdString()) / Form1::strokeFileName(code).toStdString();
  }
  std::vector<int32_t> batchCodes() {
    std::vector<int32_t> codes;
    for (const auto& glyph : document().batchImports) codes.push_back(glyph.code);
    return codes;
  }
};

TEST_F(FollowAndSendAll, APickedCodeSwitchesLikeNextAndWaitsForTheStrokeBeingDrawn) {
  open(CodePage::Cp932, fake::japaneseCodes(), 0x82A0);
  ASSERT_TRUE(launcher.pick);
  form->CheckSync->click();
  drawStroke();
  launcher.pick(int16_t(0x82A2));  // codes from 0x8000 may come negative
  ASSERT_EQ(document().imports.size(), 1u) << "Sync sends the character left";
  EXPECT_EQ(std::filesystem::path(document().imports[0]).filename(), "srfm_dots82A0.bmp");
  EXPECT_EQ(document().current, 0x82A2) << "the editor goes back to the picked code";
  EXPECT_EQ(peek(*form).currentCharCode(), 0x82A2);
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), 0);

  form->PictureDOT_MouseDown(1, 0, 200, 200);
  launcher.pick(0x82A0);
  EXPECT_EQ(peek(*form).currentCharCode(), 0x82A2) << "not in the middle of a stroke";
  form->PictureDOT_MouseUp(1, 0, 220, 240);
  EXPECT_EQ(peek(*form).currentCharCode(), 0x82A0);
  EXPECT_GT(peek(*form).strokeLog().logEnd(), 0) << "the first character's strokes are back";
  EXPECT_EQ(std::filesystem::path(document().imports.back()).filename(), "srfm_dots82A2.bmp") << "the stroke ended on the character left";
}

TEST_F(FollowAndSendAll, SendAllSendsInkedFilesInBatchesSkipsEmptyOnesAndKeepsTheCurrentCharacter) {
  open(CodePage::Cp1252, fake::latinCodes(), 0x41);
  drawStroke();
  launcher.pick(0x42);
  StrokeLog empty;
  ASSERT_TRUE(strokefile::writeStrokeFile(strokeFile(0x43), empty).ok());
  std::filesystem::copy_file(strokeFile(0x41), strokeFile(0x81));  // no character in CP1252
  launcher.pick(0x44);
  drawStroke();  // not saved yet
  form->CheckSB->click();
  form->TextLSB->setText("10");
  form->TextRSB->setText("20");
  const QImage& live = form->PictureDOT->picture().image();
  std::vector<uint8_t> liveBitmap;
  ASSERT_TRUE(glyph::encodeGlyphBitmap({live.constBits(), live.width(), live.height(), int(live.bytesPerLine())},
                                       liveBitmap).ok());
  const int32_t records = peek(*form).strokeLog().logEnd();
  document().current = 0x20;

  form->mnuEditSendAll->trigger();
  EXPECT_EQ(batchCodes(), (std::vector<int32_t>{0x41, 0x44}));
  EXPECT_EQ(document().batchImports.back().bmp, liveBitmap) << "the replay has the live canvas's pixels";
  EXPECT_EQ(document().bearings, (std::vector<std::pair<int16_t, int16_t>>{{10, 20}, {10, 20}}));
  EXPECT_EQ(document().current, 0x44) << "the editor is back on the current character";
  EXPECT_EQ(peek(*form).strokeLog().logEnd(), records);

  // 40 inked files make two batches; a cancel during the first stops before the second.
  for (int32_t code = 0x50; code < 0x50 + 38; ++code) std::filesystem::copy_file(strokeFile(0x41), strokeFile(code));
  document().batchImports.clear();
  document().onBatch = [this] { form->findChild<QProgressDialog*>()->cancel(); };
  form->mnuEditSendAll->trigger();
  EXPECT_GT(document().batchImports.size(), 0u);
  EXPECT_LT(document().batchImports.size(), 40u);
  EXPECT_EQ(document().current, 0x44);
}

}  // namespace
