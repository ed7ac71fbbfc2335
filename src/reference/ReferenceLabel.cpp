#include "reference/ReferenceLabel.h"

#include <QMouseEvent>

#include "platform/PictureBox.h"

ReferenceLabel::ReferenceLabel(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setAutoFillBackground(true);
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
