// The reference character on the main window: face choice and substitution, the
// character set's effect on the entry field, the guide switch, cropping by drag, the
// colour toggle, and the enlarged guide on the canvas.
#include "canvas/RetainedImage.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceGuide.h"
#include "tests/app/AppHarness.h"
#include "widgets/PictureBox.h"

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
  void press(float x, float y, int button = 1) {
    form->LabelChar_MouseDown(button, 0, x * kTwips, y * kTwips);
  }
  void move(float x, float y) { form->LabelChar_MouseMove(1, 0, x * kTwips, y * kTwips); }
  QSize size() const { return form->LabelChar->size(); }
};

TEST_F(ReferenceTest, FaceNamesShowTheInstalledFaceTheyRealise) {
  form->Form_Activate();
  EXPECT_EQ(form->TextFace->text(), QString::fromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_EQ(form->LabelChar->realisedFace(), "IPAPGothic");
  const std::pair<const char*, const char*> cases[] = {
      {"MS Gothic", "IPAGothic"}, {"ＭＳ 明朝", "IPAMincho"}, {"Arial", "Liberation Sans"}};
  for (const auto& [typed, realised] : cases) {
    form->TextFace->setText(QString::fromUtf8(typed));
    EXPECT_EQ(form->LabelCurFace->text(), realised) << typed;
    EXPECT_EQ(form->TextChar->font().family(), realised) << typed;
  }
  form->TextFace->setText("No Such Face Alpha");
  EXPECT_FALSE(QStringList({"", "-", "No Such Face Alpha"}).contains(form->LabelCurFace->text()));
  EXPECT_EQ(form->TextFace->text(), "No Such Face Alpha");
}

TEST_F(ReferenceTest, SameSubstituteOrEmptyFaceChangesNothingAndDoesNotRedraw) {
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

TEST_F(ReferenceTest, WesternFaceTurnsDoubleByteCodesIntoAAndKeepsSingleBytes) {
  for (int32_t code : {0x82A0, -1}) {
    form->TextFace->setText("MS Gothic");
    peek(*form).setCurrentCharCode(code);
    form->TextFace->setText("Arial");
    EXPECT_EQ(form->TextChar->text(), "A") << code;
    EXPECT_EQ(form->LabelChar->text(), "A") << code;
    EXPECT_EQ(peek(*form).currentCharCode(), 65) << code;
    EXPECT_EQ(form->LabelCode->text(), "41") << code;
  }
  form->TextFace->setText("MS Gothic");
  peek(*form).setCurrentCharCode(0x42);
  form->TextChar->setText("B");
  form->TextFace->setText("Arial");
  EXPECT_EQ(peek(*form).currentCharCode(), 0x42);
  EXPECT_EQ(form->TextChar->text(), "B");
}

TEST_F(ReferenceTest, WesternFaceDisablesTheInputMethodAndAJapaneseFaceAllowsIt) {
  form->TextFace->setText("MS Gothic");
  EXPECT_EQ(reference::inputMethodMode(form->TextChar), 0) << "never controlled: left alone";
  form->TextFace->setText("Arial");
  EXPECT_EQ(reference::inputMethodMode(form->TextChar), reference::kImeDisabled);
  form->TextFace->setText("MS Gothic");
  EXPECT_EQ(reference::inputMethodMode(form->TextChar), reference::kImeAllowed);
}

TEST_F(ReferenceTest, GuideOffDisablesItsControlsAndShowsOnlyBackgroundGuideLineAndStrokes) {
  form->LabelChar->setForeColour(colours::Black);
  form->LabelChar->setText("A");
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::Begin, 100, 100, 9);
  peek(*form).strokeLog().appendStrokeRecord(StrokeKind::End, 100, 100, 9);
  Form1::setCheckValue(form->CheckRefChar, 0);
  EXPECT_FALSE(form->LabelChar->isEnabled());
  EXPECT_FALSE(form->TextFace->isEnabled());
  EXPECT_EQ(form->LabelChar->backColour(), colours::SystemButtonFace);
  int strokePixels = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const uint32_t p = pixel(x, y);
      if (p == 0xFF000000u) {
        ASSERT_LE((x - 100) * (x - 100) + (y - 100) * (y - 100), 36) << x << "," << y;
        ++strokePixels;
      } else {
        ASSERT_EQ(p, y == kGuideRow ? 0xFFDDDDDDu : 0xFFFFFFFFu) << x << "," << y;
      }
    }
  EXPECT_GT(strokePixels, 0);
  Form1::setCheckValue(form->CheckRefChar, 1);
  EXPECT_TRUE(form->TextFace->isEnabled());
  EXPECT_EQ(form->LabelChar->backColour(), colours::SystemWindow);
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

TEST_F(ReferenceTest, DragCropsFromThePressPointWithoutGrowingPastTheDefaultOrRedrawing) {
  press(20, 20);
  markCanvas();
  const std::pair<QPointF, QSize> steps[] = {
      {{13, 20}, {30, 37}}, {{13, 10}, {30, 27}}, {{18, 16}, {35, 33}}, {{20, 20}, {37, 37}},
      {{25, 26}, {37, 37}},  // cannot grow past the default
      {{15, 31}, {27, 37}}};  // each side decided on its own
  for (const auto& [to, expected] : steps) {
    move(to.x(), to.y());
    EXPECT_EQ(size(), expected) << to.x() << "," << to.y();
    EXPECT_EQ(form->LabelStat->text(),
              QString("%1, %2").arg(expected.width()).arg(expected.height()));
  }
  EXPECT_TRUE(canvasMarked()) << "moves do not redraw";
  form->LabelChar_MouseUp(1, 0, 20 * kTwips, 20 * kTwips);
  EXPECT_FALSE(canvasMarked()) << "the release redraws";
  move(2, 2);
  EXPECT_EQ(size(), QSize(27, 37)) << "no drag after the release";
  press(20, 20, 2);
  move(18, 20);
  EXPECT_EQ(size(), QSize(25, 37)) << "the right button drags too";
}

TEST_F(ReferenceTest, DragKeepsTheSizeAboveFiveAndARefusedStepIsLost) {
  press(36, 36);
  // 37 - 31 = 6; 5 and 3 are refused, yet the position is taken, so moving back right
  // by two grows from where the label stands.
  for (const auto& [x, width] : {std::pair{5, 6}, {4, 6}, {1, 6}, {3, 8}}) {
    move(x, 36);
    EXPECT_EQ(size().width(), width) << x;
  }
}

TEST_F(ReferenceTest, DoubleClickTogglesTheGreyWithoutRedrawing) {
  markCanvas();
  form->LabelChar_DblClick();
  EXPECT_EQ(form->LabelChar->foreColour(), colours::SystemAppWorkspace);
  EXPECT_TRUE(canvasMarked()) << "the release, not the double-click, redraws";
}

}  // namespace
