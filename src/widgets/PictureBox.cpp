#include "widgets/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(int innerWidth, int innerHeight, bool border, QWidget* parent)
    : QWidget(parent), m_picture(innerWidth, innerHeight), m_border(border ? 1 : 0) {
  setFixedSize(innerWidth + 2 * m_border, innerHeight + 2 * m_border);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void PictureBox::refresh() {
  const QRect dirty = m_picture.takeDirty();
  if (!dirty.isEmpty()) update(dirty.translated(m_border, m_border));
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(QPoint(m_border, m_border), m_picture.image());
  if (m_border && !event->region().contains(rect().adjusted(1, 1, -1, -1))) {
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

int PictureBox::buttonBits(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
         (buttons & Qt::MiddleButton ? 4 : 0);
}

int PictureBox::modifierBits(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position() - QPointF(m_border, m_border);
  emit mouseDown(buttonBits(event->button()), modifierBits(event->modifiers()), float(p.x()),
                 float(p.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position() - QPointF(m_border, m_border);
  emit mouseMove(buttonBits(event->buttons()), modifierBits(event->modifiers()), float(p.x()),
                 float(p.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF p = event->position() - QPointF(m_border, m_border);
  emit mouseUp(buttonBits(event->button()), modifierBits(event->modifiers()), float(p.x()),
               float(p.y()));
}

// A double-click is a press too: the window sees down, up, down (the double-click), up.
void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  emit doubleClicked();
}
