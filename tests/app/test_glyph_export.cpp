// The glyph bitmap export from the main window: file names from the character code,
// what counts as ink on the composed canvas, and the failure that abandons a send.
#include <QDir>

#include "canvas/RetainedImage.h"
#include "tests/app/AppHarness.h"
#include "widgets/PictureBox.h"

namespace {

class GlyphExportTest : public AppTest {
 protected:
  void SetUp() override { build(); }
  void dot(StrokeKind kind, int x, int y, int width) {
    peek(*form).strokeLog().appendStrokeRecord(kind, x, y, width);
    peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, x, y, width);
  }
  void showGuide(Colour colour) {
    form->TextFace->setText("MS Gothic");
    form->LabelChar->setText(QString::fromUtf8("永"));
    form->LabelChar->setForeColour(colour);
    form->redrawCanvas();
  }
  // The exported file as an outside reader sees it: black is ink.
  QImage exported() { return QImage(form->exportGlyphBitmap()); }
};

TEST_F(GlyphExportTest, FileIsNamedAfterTheCodeAndHoldsTheCanvasAsItIs) {
  peek(*form).setCurrentCharCode(0x41);
  form->canvas().image().setPixel(0, 0, 0xFF000000u);  // no redraw happens before export
  const QString latin = form->exportGlyphBitmap();
  EXPECT_EQ(latin, workingDirectory() + "/data/srfm_dots0041.bmp");
  const QImage read(latin);
  ASSERT_EQ(read.size(), QSize(512, 512));
  EXPECT_EQ(read.pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(read.pixel(1, 0), 0xFFFFFFFFu);
  peek(*form).setCurrentCharCode(0xFF21);
  EXPECT_EQ(form->exportGlyphBitmap(), workingDirectory() + "/data/srfm_dotsFF21.bmp");
}

TEST_F(GlyphExportTest, OnlyBlackStrokesAreInkOverTheGreyGuideAndGreyErases) {
  for (Colour grey : {colours::SystemActiveBorder, colours::SystemAppWorkspace}) {
    peek(*form).strokeLog().clearStrokeLog();
    dot(StrokeKind::Begin, 100, 100, 20);
    dot(StrokeKind::Begin, 300, 200, 20);
    dot(StrokeKind::BeginGrey, 100, 100, 40);
    showGuide(grey);
    const QImage read = exported();
    EXPECT_EQ(read.pixel(300, 200), 0xFF000000u) << "upright, not mirrored";
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x)
        if (std::abs(x - 300) > 11 || std::abs(y - 200) > 11) {
          ASSERT_EQ(read.pixel(x, y), 0xFFFFFFFFu) << x << "," << y << " grey " << std::hex << grey;
        }
  }
}

TEST_F(GlyphExportTest, PureRedReferenceIsInkWhereItShows) {
  showGuide(colours::Red);
  const QImage read = exported();
  int ink = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const bool red = (form->canvas().image().pixel(x, y) & 0xFFFFFF) == 0xFF0000;
      ASSERT_EQ(read.pixel(x, y) == 0xFF000000u, red) << x << "," << y;
      ink += red;
    }
  EXPECT_GT(ink, 1000);
}

TEST_F(GlyphExportTest, UnwritableFolderGivesEmptyPathAndAMessage) {
  ASSERT_TRUE(QDir(workingDirectory() + "/data").removeRecursively());
  form->LabelStat->clear();
  EXPECT_TRUE(form->exportGlyphBitmap().isEmpty());
  EXPECT_TRUE(form->LabelStat->text().startsWith(QString::fromUtf8("文字の画像ファイル")))
      << form->LabelStat->text().toStdString();
}

}  // namespace
