// The reference character on the main window: face choice and substitution, the
// character set's effect on the entry field, the guide switch, cropping by drag, the
// colour toggle, and the enlarged guide on the canvas.
#include <QCheckBox>
#include <QLineEdit>

#include "tests/app/ReferenceHarness.h"
#include "platform/PictureBox.h"
#include "platform/RetainedImage.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceLabel.h"

namespace {

constexpr int kGuideRow = 442;
constexpr float kTwips = 15.0f;

uint32_t canvasPixel(Form1& w, int x, int y) { return w.canvas().image().pixel(x, y) | 0xFF000000u; }

// Marks the canvas so a later recomposition is visible: it would paint the pixel over.
void markCanvas(Form1& w) {
  w.canvas().image().setPixel(3, 3, 0xFF000000u);
}
bool canvasMarked(Form1& w) { return canvasPixel(w, 3, 3) == 0xFF000000u; }

class ReferenceFaceTest : public WindowTest {};

TEST_F(ReferenceFaceTest, DefaultWindowsFaceShowsJapaneseGothicAtFirstActivation) {
  window->Form_Activate();
  EXPECT_EQ(window->TextFace->text(), QString::fromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_EQ(window->LabelCurFace->text(), "IPAPGothic");
  EXPECT_EQ(window->LabelChar->realisedFace(), "IPAPGothic");
}

TEST_F(ReferenceFaceTest, WindowsFaceNamesResolveToInstalledFaces) {
  const std::pair<const char*, const char*> cases[] = {
      {"MS PGothic", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"}, {"MS Gothic", "IPAGothic"},
      {"ＭＳ 明朝", "IPAMincho"},   {"MS Mincho", "IPAMincho"},   {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"MS PMincho", "IPAPMincho"}, {"Arial", "Liberation Sans"}};
  for (const auto& [typed, realised] : cases) {
    window->TextFace->setText(QString::fromUtf8(typed));
    EXPECT_EQ(window->LabelCurFace->text(), realised) << typed;
    EXPECT_EQ(window->TextChar->font().family(), realised) << typed;
  }
}

TEST_F(ReferenceFaceTest, UnknownFaceShowsItsSubstituteAndKeepsTypedText) {
  window->TextFace->setText("No Such Face Alpha");
  const QString substitute = window->LabelCurFace->text();
  EXPECT_FALSE(substitute.isEmpty());
  EXPECT_NE(substitute, "-");
  EXPECT_NE(substitute, "No Such Face Alpha");
  EXPECT_EQ(window->TextFace->text(), "No Such Face Alpha");
}

TEST_F(ReferenceFaceTest, SecondNameWithSameSubstituteChangesNothingAndDoesNotRedraw) {
  window->TextFace->setText("No Such Face Alpha");
  const QString substitute = window->LabelCurFace->text();
  markCanvas(*window);
  window->TextFace->setText("No Such Face Beta");
  EXPECT_EQ(window->LabelCurFace->text(), substitute);
  EXPECT_TRUE(canvasMarked(*window));
  window->TextFace->setText("MS Gothic");
  EXPECT_FALSE(canvasMarked(*window)) << "a new face redraws the guide";
}

TEST_F(ReferenceFaceTest, EmptyFaceLeavesLabelAndCanvasAlone) {
  window->TextFace->setText("MS Mincho");
  markCanvas(*window);
  window->TextFace->setText("");
  EXPECT_EQ(window->LabelChar->realisedFace(), "IPAMincho");
  EXPECT_EQ(window->LabelCurFace->text(), "IPAMincho");
  EXPECT_TRUE(canvasMarked(*window));
}

TEST_F(ReferenceFaceTest, GreyGuideStateCapturesButFaceChangeDoesNotRedraw) {
  Form1::setCheckValue(window->CheckRefChar, 2);
  markCanvas(*window);
  window->TextFace->setText("MS Mincho");
  EXPECT_EQ(window->LabelCurFace->text(), "IPAMincho");
  EXPECT_TRUE(canvasMarked(*window));
  window->LabelChar->setForeColour(colours::Red);
  window->LabelChar->setText("A");
  window->redrawCanvas();
  bool red = false;
  for (int y = 0; y < 512 && !red; ++y)
    for (int x = 0; x < 512 && !red; ++x) red = canvasPixel(*window, x, y) == 0xFFFF0000u;
  EXPECT_TRUE(red) << "the grey state still shows the guide";
}

class CharacterSetTest : public WindowTest {};

TEST_F(CharacterSetTest, WesternFaceTurnsJapaneseCharacterIntoA) {
  window->setCurrentCharCode(0x82A0);
  window->TextFace->setText("Arial");
  EXPECT_EQ(window->TextChar->text(), "A");
  EXPECT_EQ(window->LabelChar->text(), "A");
  EXPECT_EQ(window->currentCharCode(), 65);
  EXPECT_EQ(window->LabelCode->text(), "41");
  EXPECT_EQ(reference::inputMethodMode(window->TextChar), reference::kImeDisabled);
  EXPECT_FALSE(window->TextChar->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(CharacterSetTest, WesternFaceKeepsSingleByteCharacter) {
  window->setCurrentCharCode(0x42);
  window->TextChar->setText("B");
  window->TextFace->setText("Arial");
  EXPECT_EQ(window->currentCharCode(), 0x42);
  EXPECT_EQ(window->TextChar->text(), "B");
  EXPECT_FALSE(window->TextChar->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(CharacterSetTest, NegativeCodeCountsAsDoubleByte) {
  window->setCurrentCharCode(-1);
  window->TextFace->setText("Arial");
  EXPECT_EQ(window->currentCharCode(), 65);
}

TEST_F(CharacterSetTest, JapaneseFaceAllowsInputMethodAgain) {
  window->TextFace->setText("Arial");
  ASSERT_EQ(reference::inputMethodMode(window->TextChar), reference::kImeDisabled);
  window->TextFace->setText("MS Gothic");
  EXPECT_EQ(reference::inputMethodMode(window->TextChar), reference::kImeAllowed);
  EXPECT_TRUE(window->TextChar->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(CharacterSetTest, JapaneseFaceLeavesUncontrolledInputMethodAlone) {
  window->TextFace->setText("MS Gothic");
  EXPECT_EQ(reference::inputMethodMode(window->TextChar), 0);
  EXPECT_TRUE(window->TextChar->testAttribute(Qt::WA_InputMethodEnabled));
}

class GuideSwitchTest : public WindowTest {};

TEST_F(GuideSwitchTest, OffDisablesControlsAndGreysLabel) {
  Form1::setCheckValue(window->CheckRefChar, 0);
  EXPECT_FALSE(window->LabelChar->isEnabled());
  EXPECT_FALSE(window->TextFace->isEnabled());
  EXPECT_FALSE(window->LabelCurFace->isEnabled());
  EXPECT_EQ(window->LabelChar->backColour(), colours::SystemButtonFace);
  Form1::setCheckValue(window->CheckRefChar, 1);
  EXPECT_TRUE(window->LabelChar->isEnabled());
  EXPECT_TRUE(window->TextFace->isEnabled());
  EXPECT_EQ(window->LabelChar->backColour(), colours::SystemWindow);
}

TEST_F(GuideSwitchTest, OffShowsOnlyBackgroundGuideLineAndStrokes) {
  window->LabelChar->setForeColour(colours::Black);
  window->LabelChar->setText("A");
  window->strokeLog().appendStrokeRecord(StrokeKind::Begin, 100, 100, 9);
  window->strokeLog().appendStrokeRecord(StrokeKind::End, 100, 100, 9);
  Form1::setCheckValue(window->CheckRefChar, 0);
  int strokePixels = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const uint32_t p = canvasPixel(*window, x, y);
      if (p == 0xFF000000u) {
        ASSERT_LE((x - 100) * (x - 100) + (y - 100) * (y - 100), 36) << x << "," << y;
        ++strokePixels;
      } else {
        ASSERT_EQ(p, y == kGuideRow ? 0xFFDDDDDDu : 0xFFFFFFFFu) << x << "," << y;
      }
    }
  EXPECT_GT(strokePixels, 0);
}

// Label column (or row) `l` (1..36 of a 37-pixel label) covers the canvas span
// [ceil((l - 1) * 513 / 36), ceil(l * 513 / 36)), clipped to the 512-pixel canvas.
int firstCanvasIndex(int l) { return ((l - 1) * 513 + 35) / 36; }

TEST_F(GuideSwitchTest, DefaultLabelEnlargesInWholeBlocks) {
  window->TextFace->setText("MS Gothic");
  window->LabelChar->setText(QString::fromUtf8("永"));
  ASSERT_EQ(window->LabelChar->size(), QSize(37, 37));
  window->redrawCanvas();
  const QImage label = window->LabelChar->render();
  int inkBlocks = 0;
  for (int ly = 1; ly <= 36; ++ly)
    for (int lx = 1; lx <= 36; ++lx) {
      const uint32_t expected = label.pixel(lx, ly) | 0xFF000000u;
      if (expected != 0xFFFFFFFFu) ++inkBlocks;
      for (int y = firstCanvasIndex(ly); y < std::min(512, firstCanvasIndex(ly + 1)); ++y)
        for (int x = firstCanvasIndex(lx); x < std::min(512, firstCanvasIndex(lx + 1)); ++x) {
          if (y == kGuideRow) continue;
          ASSERT_EQ(canvasPixel(*window, x, y), expected) << x << "," << y;
        }
    }
  EXPECT_GT(inkBlocks, 20) << "the character itself reached the canvas";
  EXPECT_EQ(firstCanvasIndex(37), 513);
}

TEST_F(GuideSwitchTest, ReferenceGreysNeverHaveZeroBlue) {
  window->TextFace->setText("MS Gothic");
  window->LabelChar->setText(QString::fromUtf8("永"));
  for (Colour c : {colours::SystemActiveBorder, colours::SystemAppWorkspace}) {
    window->LabelChar->setForeColour(c);
    window->redrawCanvas();
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x) ASSERT_NE(qBlue(canvasPixel(*window, x, y)), 0);
  }
}

class LabelDragTest : public WindowTest {
 protected:
  void press(float x, float y, int button = 1) {
    window->LabelChar_MouseDown(button, 0, x * kTwips, y * kTwips);
  }
  void move(float x, float y) { window->LabelChar_MouseMove(1, 0, x * kTwips, y * kTwips); }
  QSize size() const { return window->LabelChar->size(); }
};

TEST_F(LabelDragTest, MovingLeftShrinksWidthAndShowsSize) {
  press(20, 20);
  move(13, 20);
  EXPECT_EQ(size(), QSize(30, 37));
  EXPECT_EQ(window->LabelStat->text(), "30, 37");
  move(13, 10);
  EXPECT_EQ(size(), QSize(30, 27));
  EXPECT_EQ(window->LabelStat->text(), "30, 27");
}

TEST_F(LabelDragTest, CannotGrowPastDefaultMaximum) {
  press(20, 20);
  move(25, 26);
  EXPECT_EQ(size(), QSize(37, 37));
  EXPECT_EQ(window->LabelStat->text(), "37, 37");
}

TEST_F(LabelDragTest, SizeStaysAboveFiveAndRefusedStepIsLost) {
  press(36, 36);
  move(5, 36);  // 37 - 31 = 6
  EXPECT_EQ(size().width(), 6);
  move(4, 36);  // would be 5: refused, yet the position is taken
  EXPECT_EQ(size().width(), 6);
  move(1, 36);  // would be 3: refused
  EXPECT_EQ(size().width(), 6);
  move(3, 36);  // back right by two grows from where the label stands
  EXPECT_EQ(size().width(), 8);
}

TEST_F(LabelDragTest, DiagonalStepDecidesSidesIndependently) {
  press(20, 20);
  move(10, 25);  // width shrinks by 10, height would grow past 37
  EXPECT_EQ(size(), QSize(27, 37));
}

TEST_F(LabelDragTest, MoveWithoutPressDoesNothing) {
  window->LabelStat->setText("before");
  move(2, 2);
  EXPECT_EQ(size(), QSize(37, 37));
  EXPECT_EQ(window->LabelStat->text(), "before");
}

TEST_F(LabelDragTest, RightButtonAlsoDrags) {
  press(20, 20, 2);
  move(18, 20);
  EXPECT_EQ(size(), QSize(35, 37));
}

TEST_F(LabelDragTest, ReleaseEndsDragAndRedrawsEvenWithoutChange) {
  press(20, 20);
  markCanvas(*window);
  window->LabelChar_MouseUp(1, 0, 20 * kTwips, 20 * kTwips);
  EXPECT_FALSE(canvasMarked(*window));
  move(10, 10);
  EXPECT_EQ(size(), QSize(37, 37));
}

TEST_F(LabelDragTest, MovesDoNotRedrawTheCanvas) {
  press(20, 20);
  markCanvas(*window);
  move(15, 15);
  EXPECT_TRUE(canvasMarked(*window));
}

TEST_F(LabelDragTest, DoubleClickTogglesBetweenTheTwoGreys) {
  ASSERT_EQ(window->LabelChar->foreColour(), colours::SystemActiveBorder);
  markCanvas(*window);
  window->LabelChar_DblClick();
  EXPECT_EQ(window->LabelChar->foreColour(), colours::SystemAppWorkspace);
  EXPECT_TRUE(canvasMarked(*window)) << "the release, not the double-click, redraws";
  window->LabelChar_DblClick();
  EXPECT_EQ(window->LabelChar->foreColour(), colours::SystemActiveBorder);
  window->LabelChar->setForeColour(colours::Red);
  window->LabelChar_DblClick();
  EXPECT_EQ(window->LabelChar->foreColour(), colours::SystemAppWorkspace);
}

}  // namespace

