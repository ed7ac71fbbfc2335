#include "reference/ReferenceLabel.h"

#include <QMouseEvent>
#include <QPainter>

#include "reference/ReferenceFace.h"
#include "widgets/PictureBox.h"

namespace {
QColor toQColor(Colour colour) { return QColor::fromRgb(colours::toArgb(colour)); }
}  // namespace

ReferenceLabel::ReferenceLabel(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFaceName("Arial");
  setForeColour(m_foreColour);
}

void ReferenceLabel::setForeColour(Colour colour) {
  m_foreColour = colour;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, toQColor(colour));
  setPalette(p);
  update();
}

void ReferenceLabel::setBackColour(Colour colour) {
  m_backColour = colour;
  update();
}

// Aliased glyphs: the label holds only its two colours, so the enlarged guide has
// clean blocks and its ink test depends on the reference colour alone.
void ReferenceLabel::setFaceName(const QString& name) {
  QFont face(name);
  face.setPixelSize(kFacePixelSize);
  face.setStyleStrategy(QFont::NoAntialias);
  setFont(face);
  update();
}

QString ReferenceLabel::realisedFace() const { return reference::realisedFace(font()); }

QImage ReferenceLabel::render() const {
  QImage image(size(), QImage::Format_RGB32);
  QPainter painter(&image);
  paintLabel(painter);
  return image;
}

void ReferenceLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintLabel(painter);
}

// A disabled label draws its text embossed, as the classic scheme does: a white copy
// one pixel down and right under a dark grey one.
void ReferenceLabel::paintLabel(QPainter& painter) const {
  painter.fillRect(QRect(QPoint(0, 0), size()), toQColor(m_backColour));
  painter.setFont(font());
  const QRect box(QPoint(0, 0), size());
  const int flags = int(Qt::AlignHCenter | Qt::AlignTop);
  if (isEnabled()) {
    painter.setPen(toQColor(m_foreColour));
    painter.drawText(box, flags, text());
    return;
  }
  painter.setPen(Qt::white);
  painter.drawText(box.translated(1, 1), flags, text());
  painter.setPen(QColor(128, 128, 128));
  painter.drawText(box, flags, text());
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
