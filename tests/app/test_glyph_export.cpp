// The glyph bitmap export from the main window: file names from the character code,
// what counts as ink on the composed canvas, and the failure that abandons a send.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "platform/PictureBox.h"
#include "platform/RetainedImage.h"
#include "reference/ReferenceLabel.h"
#include "tests/app/ReferenceHarness.h"

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The pixel rows of an exported canvas (everything after the 62 header bytes).
QByteArray pixelRows(const QString& path) { return readAll(path).mid(62); }

bool allZero(const QByteArray& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char b) { return b == 0; });
}

// Whether canvas pixel (x, y) is set in the exported rows (bottom-up, 64 bytes a row).
bool inkAt(const QByteArray& rows, int x, int y) {
  return (uint8_t(rows[(511 - y) * 64 + x / 8]) & (0x80 >> (x % 8))) != 0;
}

class GlyphExportTest : public WindowTest {
 protected:
  void dot(StrokeKind kind, int x, int y, int width) {
    window->strokeLog().appendStrokeRecord(kind, x, y, width);
    window->strokeLog().appendStrokeRecord(StrokeKind::End, x, y, width);
  }
  void showGuide(Colour colour) {
    window->TextFace->setText("MS Gothic");
    window->LabelChar->setText(QString::fromUtf8("永"));
    window->LabelChar->setForeColour(colour);
    window->redrawCanvas();
  }
};

TEST_F(GlyphExportTest, FileIsNamedAfterTheCodeInFourUpperCaseDigits) {
  window->setCurrentCharCode(0x41);
  const QString latin = window->exportGlyphBitmap();
  EXPECT_EQ(latin, workingDirectory() + "/data/srfm_dots0041.bmp");
  EXPECT_EQ(readAll(latin).size(), 32830);
  window->setCurrentCharCode(0xFF21);
  const QString wide = window->exportGlyphBitmap();
  EXPECT_EQ(wide, workingDirectory() + "/data/srfm_dotsFF21.bmp");
  EXPECT_TRUE(QFile::exists(wide));
}

TEST_F(GlyphExportTest, TwoExportsOfAnUnchangedCanvasAreIdentical) {
  dot(StrokeKind::Begin, 200, 200, 30);
  window->redrawCanvas();
  const QByteArray first = readAll(window->exportGlyphBitmap());
  const QByteArray second = readAll(window->exportGlyphBitmap());
  EXPECT_EQ(first.size(), 32830);
  EXPECT_EQ(first, second);
}

TEST_F(GlyphExportTest, BlackStrokeIsInkAndGreyOverItErases) {
  dot(StrokeKind::Begin, 100, 100, 20);
  dot(StrokeKind::Begin, 300, 300, 20);
  dot(StrokeKind::BeginGrey, 100, 100, 40);
  window->redrawCanvas();
  const QByteArray rows = pixelRows(window->exportGlyphBitmap());
  EXPECT_FALSE(inkAt(rows, 100, 100));
  EXPECT_TRUE(inkAt(rows, 300, 300));
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const bool nearKept = std::abs(x - 300) <= 11 && std::abs(y - 300) <= 11;
      if (!nearKept) {
        ASSERT_FALSE(inkAt(rows, x, y)) << x << "," << y;
      }
    }
}

TEST_F(GlyphExportTest, AnOutsideReaderSeesTheGlyphUpright) {
  dot(StrokeKind::Begin, 20, 30, 9);
  window->redrawCanvas();
  const QImage read(window->exportGlyphBitmap());
  ASSERT_EQ(read.size(), QSize(512, 512));
  EXPECT_EQ(read.pixel(20, 30), 0xFF000000u);
  EXPECT_EQ(read.pixel(20, 481), 0xFFFFFFFFu);
  EXPECT_EQ(read.pixel(200, 442), 0xFFFFFFFFu) << "the guide line is background";
}

TEST_F(GlyphExportTest, GuideLineAndBothDefaultReferenceGreysAreBackground) {
  for (Colour grey : {colours::SystemActiveBorder, colours::SystemAppWorkspace}) {
    showGuide(grey);
    EXPECT_TRUE(allZero(pixelRows(window->exportGlyphBitmap()))) << std::hex << grey;
  }
}

TEST_F(GlyphExportTest, PureRedReferenceIsInkWhereItShows) {
  showGuide(colours::Red);
  const QByteArray rows = pixelRows(window->exportGlyphBitmap());
  int ink = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const bool red = (window->canvas().image().pixel(x, y) & 0xFFFFFF) == 0xFF0000;
      ASSERT_EQ(inkAt(rows, x, y), red) << x << "," << y;
      ink += red;
    }
  EXPECT_GT(ink, 1000);
}

TEST_F(GlyphExportTest, ExportsTheCanvasAsItIsWithoutRedrawing) {
  window->canvas().image().setPixel(0, 0, 0xFF000000u);
  const QByteArray file = readAll(window->exportGlyphBitmap());
  EXPECT_EQ(uint8_t(file[32766]), 0x80);
}

TEST_F(GlyphExportTest, UnwritableFolderGivesEmptyPathAndAMessage) {
  ASSERT_TRUE(QDir(workingDirectory() + "/data").removeRecursively());
  window->LabelStat->clear();
  EXPECT_TRUE(window->exportGlyphBitmap().isEmpty());
  EXPECT_TRUE(window->LabelStat->text().startsWith(QString::fromUtf8("文字の画像ファイル")))
      << window->LabelStat->text().toStdString();
}

}  // namespace
