// The glyph bitmap export from the main window: the file named after the character
// code, the composed canvas with only black strokes as ink, and the failure message.
// The bit layout is the glyph library's.
#include <QDir>

#include "canvas/RetainedImage.h"
#include "tests/app/AppHarness.h"

namespace {

class GlyphExportTest : public AppTest {
 protected:
  void SetUp() override { build(); }
  void dot(StrokeKind kind, int x, int y, int width) {
    peek(*form).strokeLog().appendStrokeRecord(kind, x, y, width);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, x, y, width);
  }
};

TEST_F(GlyphExportTest, OnlyBlackStrokesAreInkOverTheGreyGuideAndGreyErases) {
  for (Colour grey : {colours::SystemActiveBorder, colours::SystemAppWorkspace}) {
    peek(*form).strokeLog().clearStrokeLog();
    dot(StrokeKind::Begin, 100, 100, 20);
    dot(StrokeKind::Begin, 300, 200, 20);
    dot(StrokeKind::BeginGrey, 100, 100, 40);
    form->TextFace->setText("MS Gothic");
    form->LabelChar->setText(QString::fromUtf8("永"));
    form->LabelChar->setForeColour(grey);
    form->redrawCanvas();
    peek(*form).setCurrentCharCode(0xFF21);
    const QString path = form->exportGlyphBitmap();
    EXPECT_EQ(path, workingDirectory() + "/data/srfm_dotsFF21.bmp");
    const QImage read(path);
    ASSERT_EQ(read.size(), QSize(512, 512));
    EXPECT_EQ(read.pixel(300, 200), 0xFF000000u) << "upright, not mirrored";
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x)
        if (std::abs(x - 300) > 11 || std::abs(y - 200) > 11) {
          ASSERT_EQ(read.pixel(x, y), 0xFFFFFFFFu) << x << "," << y << " grey " << std::hex << grey;
        }
  }
}

TEST_F(GlyphExportTest, UnwritableFolderGivesEmptyPathAndAMessage) {
  ASSERT_TRUE(QDir(workingDirectory() + "/data").removeRecursively());
  form->LabelStat->clear();
  EXPECT_TRUE(form->exportGlyphBitmap().isEmpty());
  EXPECT_TRUE(form->LabelStat->text().startsWith(QString::fromUtf8("文字の画像ファイル")))
      << form->LabelStat->text().toStdString();
}

}  // namespace
