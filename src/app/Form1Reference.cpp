// The reference character: its face, the guide switch, the label's crop and colour.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

#include "app/Form1.h"
#include "canvas/RetainedImage.h"
#include "common/Rounding.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceGuide.h"
#include "reference/ReferenceLabel.h"

using reference::kImeAllowed;
using reference::kImeDisabled;

// Applies the typed face to the label; stops early when the face the label really
// uses is the one applied last, so a second unknown name with the same substitute
// changes nothing and does not redraw.
void Form1::TextFace_Change() {
  const QString face = TextFace->text();
  if (face.isEmpty()) return;
  LabelChar->setFaceName(face);
  QCoreApplication::processEvents();
  const QString realised = LabelChar->realisedFace();
  if (realised == m_lastRefFace) return;
  m_lastRefFace = realised;
  LabelCurFace->setText(realised);
  QFont entryFont = TextChar->font();
  entryFont.setFamily(realised);
  TextChar->setFont(entryFont);
  followCharacterSet(reference::faceCharacterSet(reference::realisedFace(TextChar->font())));
  if (checkValue(CheckRefChar) == 1) redrawCanvas();
}

// A Western face cannot show a double-byte character: the entry falls back to "A"
// (through the character switch, so the strokes stay with their character) and its
// input method is turned off. A Japanese face turns it back on.
void Form1::followCharacterSet(int charSet) {
  if (charSet == reference::kWesternCharSet) {
    if (m_currentCharCode > 255 || m_currentCharCode < 0)
      moveToCharacter(codeOf("A"));
    if (reference::inputMethodMode(TextChar) != kImeDisabled)
      reference::setInputMethodMode(TextChar, kImeDisabled);
  } else if (charSet == reference::kShiftJisCharSet &&
             reference::inputMethodMode(TextChar) == kImeDisabled) {
    reference::setInputMethodMode(TextChar, kImeAllowed);
  }
}

void Form1::CheckRefChar_Click() {
  const bool on = checkValue(CheckRefChar) != 0;
  LabelChar->setEnabled(on);
  LabelChar->setBackColour(on ? colours::SystemWindow : colours::SystemButtonFace);
  TextFace->setEnabled(on);
  LabelCurFace->setEnabled(on);
  if (on) QCoreApplication::processEvents();
  redrawCanvas();
}

void Form1::LabelChar_MouseDown(int, int, float x, float y) {
  m_refLabelDragging = true;
  m_refLabelLastX = x;
  m_refLabelLastY = y;
}

void Form1::LabelChar_MouseMove(int, int, float x, float y) {
  if (m_refLabelDragging) resizeReferenceLabel(x, y);
}

// The label's top left stays put, so its right and bottom edges follow the pointer.
// A refused step is still consumed: the next one starts from this position.
void Form1::resizeReferenceLabel(float x, float y) {
  const double w =
      reference::dragStep(LabelChar->width(), m_refLabelLastX, x, m_refLabelMaxWidth);
  const double h =
      reference::dragStep(LabelChar->height(), m_refLabelLastY, y, m_refLabelMaxHeight);
  LabelChar->resize(roundEven(w), roundEven(h));
  m_refLabelLastX = x;
  m_refLabelLastY = y;
  LabelStat->setText(QString::number(LabelChar->width()) + ", " +
                     QString::number(LabelChar->height()));
}

void Form1::LabelChar_MouseUp(int, int, float, float) {
  m_refLabelDragging = false;
  redrawCanvas();
}

// Does not redraw: the release that ends the double-click does.
void Form1::LabelChar_DblClick() {
  LabelChar->setForeColour(reference::toggledReferenceColour(LabelChar->foreColour()));
}

// The label is rendered off-screen, so the guide does not depend on what covers the
// window.
void Form1::captureReference(RetainedImage& target) {
  reference::enlargeReference(LabelChar->render(), target);
}

