// A code picked in the editor is followed like Next, waiting out a stroke; Send All sends
// every inked stroke file in cancellable batches and leaves the current character alone.
#include <QProgressDialog>
#include <filesystem>

#include "glyph/GlyphBitmap.h"
#include "strokes/StrokeFile.h"
#include "tests/app/AppHarness.h"

namespace {

struct FollowAndSendAll : AppTest {
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
  openJapanese(codepage::CodePage::Cp932);
  ASSERT_TRUE(fakes.editor.pick);
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

TEST_F(FollowAndSendAll, SendAllSendsInkedFilesInBatchesSkipsEmptyOnesAndKeepsTheCurrentCharacter) {
  openLatin();
  drawStroke();
  fakes.editor.pick(0x42);
  StrokeLog empty;
  ASSERT_TRUE(strokefile::writeStrokeFile(strokeFile(0x43), empty).ok());
  std::filesystem::copy_file(strokeFile(0x41), strokeFile(0x81));  // no character in CP1252
  fakes.editor.pick(0x44);
  drawStroke();  // not saved yet
  form->CheckSB->click();
  form->TextLSB->setText("10");
  form->TextRSB->setText("20");
  const QImage& live = form->PictureDOT->picture().image();
  std::vector<uint8_t> liveBitmap;
  ASSERT_TRUE(glyph::encodeGlyphBitmap({live.constBits(), live.width(), live.height(), int(live.bytesPerLine())},
                                       liveBitmap).ok());
  const int32_t drawn = records();
  document().current = 0x20;

  form->mnuEditSendAll->trigger();
  EXPECT_EQ(batchCodes(), (std::vector<int32_t>{0x41, 0x44}));
  EXPECT_EQ(document().batchImports.back().bmp, liveBitmap) << "the replay has the live canvas's pixels";
  EXPECT_EQ(document().bearings, (std::vector<std::pair<int16_t, int16_t>>{{10, 20}, {10, 20}}));
  EXPECT_EQ(document().current, 0x44) << "the editor is back on the current character";
  EXPECT_EQ(records(), drawn);

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
