// The reference character on the main window: its face, the Western face's fall-back,
// the guide on the canvas (never in the glyph), cropping by drag. The rules are tests/reference's.
#include "canvas/RetainedImage.h"
#include "reference/ReferenceGuide.h"
#include "tests/app/AppHarness.h"

namespace {

constexpr float kTwips = 15.0f;

struct Reference : AppTest {
  void SetUp() override { build(); }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y) | 0xFF000000u; }
  // Marks the canvas so a later recomposition is visible: it would paint the pixel over.
  void markCanvas() { form->canvas().image().setPixel(3, 3, 0xFF000000u); }
  bool canvasMarked() { return pixel(3, 3) == 0xFF000000u; }
  void move(float x, float y) { form->LabelChar_MouseMove(1, 0, x * kTwips, y * kTwips); }
};

TEST_F(Reference, AFaceShowsItsRealisedFaceAndRedrawsOnlyWhenThatChanges) {
  form->TextFace->setText(QString::fromUtf8("ＭＳ 明朝"));
  EXPECT_EQ(form->LabelCurFace->text(), "IPAMincho");
  EXPECT_EQ(form->TextChar->font().family(), "IPAMincho");
  form->TextFace->setText("No Such Face Alpha");
  const QString substitute = form->LabelCurFace->text();
  markCanvas();
  form->TextFace->setText("No Such Face Beta");
  EXPECT_EQ(form->LabelCurFace->text(), substitute);
  EXPECT_TRUE(canvasMarked());
  form->TextFace->setText("MS Mincho");
  EXPECT_FALSE(canvasMarked()) << "a new face redraws the guide";
  markCanvas();
  form->TextFace->setText("");
  EXPECT_EQ(form->LabelChar->realisedFace(), "IPAMincho");
  EXPECT_TRUE(canvasMarked());
}

TEST_F(Reference, WesternFaceTurnsDoubleByteCodesIntoAAndKeepsSingleBytes) {
  for (const auto& [start, after] : {std::pair{0x100, 0x41}, {-1, 0x41}, {0xFF, 0xFF}}) {
    form->TextFace->setText("MS Gothic");
    peek(*form).setCurrentCharCode(start);
    form->TextFace->setText("Arial");
    EXPECT_EQ(code(), after) << start;
  }
}

// Above the guide line the canvas shows the label enlarged only while the guide is on;
// the switch redraws. The exported glyph holds the black strokes only, upright.
TEST_F(Reference, TheGuideSwitchShowsTheEnlargedLabelOnTheCanvasButNeverInTheGlyph) {
  form->TextFace->setText("MS Gothic");
  form->LabelChar->setText(QString::fromUtf8("永"));
  form->LabelChar->setForeColour(colours::SystemAppWorkspace);  // the darker grey
  for (const bool on : {false, true}) {
    Form1::setCheckValue(form->CheckRefChar, on);
    RetainedImage expected(512, 512);
    if (on) reference::enlargeReference(form->LabelChar->render(), expected);
    int ink = 0;
    for (int y = 0; y < 442; ++y)
      for (int x = 0; x < 512; ++x) {
        const uint32_t want = expected.image().pixel(x, y) | 0xFF000000u;
        ASSERT_EQ(pixel(x, y), want) << x << "," << y << " guide " << on;
        ink += want != 0xFFFFFFFFu;
      }
    EXPECT_EQ(ink > 20 * 14 * 14, on) << "the character itself reached the canvas";
  }
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, 300, 200, 9);
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, 300, 200, 9);
  form->redrawCanvas();
  peek(*form).setCurrentCharCode(0xFF21);
  const QImage glyph(form->exportGlyphBitmap());
  EXPECT_EQ(glyph.pixel(300, 200), 0xFF000000u);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      if (std::abs(x - 300) > 5 || std::abs(y - 200) > 5) ASSERT_EQ(glyph.pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
}

TEST_F(Reference, DragCropsFromThePressPointAndRedrawsAtTheRelease) {
  form->LabelChar_MouseDown(2, 0, 20 * kTwips, 20 * kTwips);
  markCanvas();
  move(13, 10);
  EXPECT_EQ(form->LabelChar->size(), QSize(30, 27));
  EXPECT_EQ(form->LabelStat->text(), "30, 27");
  move(20, 20);
  EXPECT_TRUE(canvasMarked()) << "moves do not redraw";
  form->LabelChar_MouseUp(2, 0, 20 * kTwips, 20 * kTwips);
  EXPECT_FALSE(canvasMarked()) << "the release redraws";
  move(2, 2);
  EXPECT_EQ(form->LabelChar->size(), QSize(37, 37)) << "no drag after the release";
  // 37 - 31 = 6; 5 and 3 are refused, yet the position is taken, so moving back right
  // by two grows from where the label stands.
  form->LabelChar_MouseDown(1, 0, 36 * kTwips, 36 * kTwips);
  for (const auto& [x, width] : {std::pair{5, 6}, {4, 6}, {1, 6}, {3, 8}}) {
    move(x, 36);
    EXPECT_EQ(form->LabelChar->width(), width) << x;
  }
}

}  // namespace
