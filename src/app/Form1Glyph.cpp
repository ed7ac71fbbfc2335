// The glyph bitmap export: the canvas as it stands, written for the editor to trace.
#include <QFile>

#include "app/Form1.h"
#include "glyph/GlyphBitmap.h"
#include "widgets/PictureBox.h"

bool Form1::canvasHasInk() {
  const QImage& image = PictureDOT->picture().image();
  return glyph::hasInk(
      {image.constBits(), image.width(), image.height(), int(image.bytesPerLine())});
}

// Returns the path written, or an empty string (with the reason in LabelStat) when the
// file could not be written; the send is then abandoned. The canvas is not redrawn
// first: the file shows exactly what the canvas shows.
QString Form1::exportGlyphBitmap() {
  const QString path =
      m_dotsBasePath + QString::fromStdString(glyph::codeDigits(m_currentCharCode)) + ".bmp";
  const QImage& image = PictureDOT->picture().image();
  const glyph::PixelView pixels{image.constBits(), image.width(), image.height(),
                                int(image.bytesPerLine())};
  const Status written =
      glyph::writeGlyphBitmap(QFile::encodeName(path).toStdString(), pixels);
  if (!written) {
    showFailure("文字の画像ファイルを書き込めませんでした", written);
    return {};
  }
  return path;
}
