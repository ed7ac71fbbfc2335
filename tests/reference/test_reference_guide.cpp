// The reference library on its own: face helpers, code conversions, the drag step,
// the colour toggle, the label's off-screen rendering and the guide's enlargement.
#include <gtest/gtest.h>

#include <QFont>
#include <QLineEdit>
#include <QSet>

#include "canvas/RetainedImage.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceGuide.h"
#include "reference/ReferenceLabel.h"

namespace {

TEST(FaceSubstitution, WindowsJapaneseNamesRealiseIpaFacesWithTheirCharacterSet) {
  reference::installFaceSubstitutions();
  EXPECT_EQ(reference::realisedFace(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"))), "IPAPGothic");
  EXPECT_EQ(reference::faceCharacterSet("IPAMincho"), reference::kShiftJisCharSet);
  EXPECT_EQ(reference::faceCharacterSet("Liberation Sans"), reference::kWesternCharSet);
}

TEST(InputMethodMode, ModeThreeDisablesAndModeTwoEnables) {
  QLineEdit field;
  for (const auto& [mode, enabled] : {std::pair{3, false}, {2, true}}) {
    reference::setInputMethodMode(&field, mode);
    EXPECT_EQ(reference::inputMethodMode(&field), mode);
    EXPECT_EQ(field.testAttribute(Qt::WA_InputMethodEnabled), enabled);
  }
}

TEST(CharacterCodes, CaptionIsUpperHexCutToFourDigits) {
  for (const auto& [code, caption] : {std::pair{65, "41"}, {0xff21, "FF21"}, {0x12345, "2345"}, {-1, "FFFF"}})
    EXPECT_EQ(reference::codeCaption(code), caption);
}

// One pixel of movement is one pixel of size; bounds are exclusive below, inclusive above.
TEST(DragStep, MovesTheSizeWithinItsBounds) {
  struct Case { double size, from, to, expected; };
  for (const Case& c : {Case{37, 300, 195, 30}, {20, 150, 142.5, 19.5}, {7, 100, 85, 6}, {6, 100, 85, 6},
                        {36, 100, 115, 37}, {30, 0, 150, 30}})
    EXPECT_DOUBLE_EQ(reference::dragStep(c.size, c.from, c.to, 37), c.expected) << c.size << " " << c.to;
}

TEST(ReferenceColour, DoubleClickAlternatesTheGreys) {
  EXPECT_EQ(reference::toggledReferenceColour(colours::SystemAppWorkspace), colours::SystemActiveBorder);
  EXPECT_EQ(reference::toggledReferenceColour(0x123456), colours::SystemAppWorkspace);
}

QSet<QRgb> coloursOf(const QImage& image) {
  QSet<QRgb> set;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) set.insert(image.pixel(x, y));
  return set;
}

TEST(LabelRendering, CaptionInReferenceColourOnBackColour) {
  reference::installFaceSubstitutions();
  ReferenceLabel label;
  label.resize(37, 37);
  label.setFaceName("MS Gothic");
  label.setText(QString::fromUtf8("永"));
  label.setForeColour(colours::Red);
  EXPECT_EQ(coloursOf(label.render()), (QSet<QRgb>{0xFFFFFFFFu, 0xFFFF0000u})) << "aliased, two colours";
  label.setBackColour(colours::SystemButtonFace);
  EXPECT_TRUE(coloursOf(label.render()).contains(0xFFD4D0C8u));
  label.setEnabled(false);
  EXPECT_FALSE(coloursOf(label.render()).contains(0xFFFF0000u)) << "disabled: not the reference colour";
}

// A 37 x 37 picture whose pixel (x, y) has the colour x + 64 y: every source pixel is
// recognisable on the target.
QImage numberedLabel() {
  QImage image(37, 37, QImage::Format_RGB32);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 37; ++x) image.setPixel(x, y, 0xFF000000u | uint32_t(x + 64 * y));
  return image;
}

// 513 / 36 = 14.25 target pixels a source pixel: the first block spans 0..14, the second
// 15..28; the label's top row and left column are dropped.
TEST(Enlargement, DropsTopRowAndLeftColumnAndReplicatesBlocks) {
  RetainedImage target(512, 512);
  reference::enlargeReference(numberedLabel(), target);
  const QImage& out = target.image();
  for (const auto& [x, column] : {std::pair{14, 1u}, {15, 2u}, {28, 2u}, {29, 3u}, {511, 36u}})
    EXPECT_EQ(out.pixel(x, x) & 0xFFFFFF, column + 64u * column) << x;

  QImage narrow = numberedLabel().copy(0, 0, 10, 37);  // source columns 1..9, 57 pixels each
  reference::enlargeReference(narrow, target);
  EXPECT_EQ(target.image().pixel(56, 0) & 0x3F, 1u);
  EXPECT_EQ(target.image().pixel(57, 0) & 0x3F, 2u);
}

}  // namespace
