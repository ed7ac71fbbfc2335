// The reference character on the main window: the face shown and when it redraws, the
// Western face's effect on the character, the guide switch, cropping by drag and the
// enlarged guide on the canvas. Substitution, codes and the drag step are the
// reference library's.
#include "canvas/RetainedImage.h"
#include "reference/ReferenceGuide.h"
#include "tests/app/AppHarness.h"

namespace {

constexpr int kGuideRow = 442;
constexpr float kTwips = 15.0f;

class ReferenceTest : public AppTest {
 protected:
  void SetUp() override { build(); }
  uint32_t pixel(int x, int y) { return form->canvas().image().pixel(x, y) | 0xFF000000u; }
  // Marks the canvas so a later recomposition is visible: it would paint the pixel over.
  void markCanvas() { form->canvas().image().setPixel(3, 3, 0xFF000000u); }
  bool canvasMarked() { return pixel(3, 3) == 0xFF000000u; }
  void move(float x, float y) { form->LabelChar_MouseMove(1, 0, x * kTwips, y * kTwips); }
};

TEST_F(ReferenceTest, AFaceShowsItsRealisedFaceAndRedrawsOnlyWhenThatChanges) {
  form->TextFace->setText(QString::fromUtf8("ＭＳ 明朝"));
  EXPECT_EQ(form->LabelCurFace->text(), "IPAMincho");
  EXPECT_EQ(form->TextChar->font().family(), "IPAMincho");
  form->TextFace->setText("No Such Face Alpha");
  const QString substitute = form->LabelCurFace->text();
  EXPECT_FALSE(QStringList({"", "-", "No Such Face Alpha"}).contains(substitute));
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

TEST_F(ReferenceTest, WesternFaceTurnsDoubleByteCodesIntoAAndKeepsSingleBytes) {
  for (const auto& [code, after] : {std::pair{0x82A0, 0x41}, {-1, 0x41}, {0x42, 0x42}}) {
    form->TextFace->setText("MS Gothic");
    peek(*form).setCurrentCharCode(code);
    form->TextFace->setText("Arial");
    EXPECT_EQ(peek(*form).currentCharCode(), after) << code;
  }
}

TEST_F(ReferenceTest, GuideOffDisablesItsControlsAndShowsOnlyBackgroundGuideLineAndStrokes) {
  form->LabelChar->setForeColour(colours::Black);
  form->LabelChar->setText("A");
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, 100, 100, 9);
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, 100, 100, 9);
  Form1::setCheckValue(form->CheckRefChar, 0);
  EXPECT_FALSE(form->TextFace->isEnabled());
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const bool stroke = (x - 100) * (x - 100) + (y - 100) * (y - 100) <= 20;
      ASSERT_EQ(pixel(x, y), stroke ? 0xFF000000u : y == kGuideRow ? 0xFFDDDDDDu : 0xFFFFFFFFu) << x << "," << y;
    }
  Form1::setCheckValue(form->CheckRefChar, 1);
  EXPECT_TRUE(form->TextFace->isEnabled());
}

TEST_F(ReferenceTest, CanvasShowsTheEnlargedLabelUnderTheGuideLine) {
  form->TextFace->setText("MS Gothic");
  form->LabelChar->setText(QString::fromUtf8("永"));
  form->redrawCanvas();
  RetainedImage expected(512, 512);
  reference::enlargeReference(form->LabelChar->render(), expected);
  int ink = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      if (y == kGuideRow) continue;
      const uint32_t want = expected.image().pixel(x, y) | 0xFF000000u;
      ASSERT_EQ(pixel(x, y), want) << x << "," << y;
      ink += want != 0xFFFFFFFFu;
    }
  EXPECT_GT(ink, 20 * 14 * 14) << "the character itself reached the canvas";
}

TEST_F(ReferenceTest, DragCropsFromThePressPointAndRedrawsAtTheRelease) {
  form->LabelChar_MouseDown(2, 0, 20 * kTwips, 20 * kTwips);
  markCanvas();
  const std::pair<QPointF, QSize> steps[] = {
      {{13, 20}, {30, 37}}, {{13, 10}, {30, 27}}, {{18, 16}, {35, 33}}, {{20, 20}, {37, 37}},
      {{25, 26}, {37, 37}},   // cannot grow past the default
      {{15, 31}, {27, 37}}};  // each side decided on its own
  for (const auto& [to, expected] : steps) {
    move(to.x(), to.y());
    EXPECT_EQ(form->LabelChar->size(), expected) << to.x() << "," << to.y();
    EXPECT_EQ(form->LabelStat->text(), QString("%1, %2").arg(expected.width()).arg(expected.height()));
  }
  EXPECT_TRUE(canvasMarked()) << "moves do not redraw";
  form->LabelChar_MouseUp(2, 0, 20 * kTwips, 20 * kTwips);
  EXPECT_FALSE(canvasMarked()) << "the release redraws";
  move(2, 2);
  EXPECT_EQ(form->LabelChar->size(), QSize(27, 37)) << "no drag after the release";
  // 27 - 21 = 6; 5 and 3 are refused, yet the position is taken, so moving back right
  // by two grows from where the label stands.
  form->LabelChar_MouseDown(1, 0, 26 * kTwips, 36 * kTwips);
  for (const auto& [x, width] : {std::pair{5, 6}, {4, 6}, {1, 6}, {3, 8}}) {
    move(x, 36);
    EXPECT_EQ(form->LabelChar->width(), width) << x;
  }
}

}  // namespace
