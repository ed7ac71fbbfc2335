#include "reference/ReferenceLabel.h"

#include <QMouseEvent>

#include "platform/PictureBox.h"

ReferenceLabel::ReferenceLabel(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setAutoFillBackground(true);
  setForeColour(m_foreColour);
}

void ReferenceLabel::setForeColour(Colour colour) {
  m_foreColour = colour;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, QColor::fromRgb(colours::toArgb(colour)));
  setPalette(p);
}

void ReferenceLabel::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position() * kTwipsPerPixel;
  emit mouseDown(PictureBox::buttonBits(event->button()),
                 PictureBox::modifierBits(event->modifiers()), float(p.x()), float(p.y()));
}

void ReferenceLabel::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position() * kTwipsPerPixel;
  emit mouseMove(PictureBox::buttonBits(event->buttons()),
                 PictureBox::modifierBits(event->modifiers()), float(p.x()), float(p.y()));
}

void ReferenceLabel::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF p = event->position() * kTwipsPerPixel;
  emit mouseUp(PictureBox::buttonBits(event->button()),
               PictureBox::modifierBits(event->modifiers()), float(p.x()), float(p.y()));
}

void ReferenceLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  emit doubleClicked();
  mousePressEvent(event);
}
