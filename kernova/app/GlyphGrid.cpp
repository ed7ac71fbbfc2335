#include "kernova/app/GlyphGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "kernova/app/GlyphOutline.h"

namespace kernova {
namespace {

const QColor kCurrentCell(200, 220, 255);
const QColor kCellLine(200, 200, 200);
const QColor kBaseline(230, 180, 180);

}  // namespace

GlyphGrid::GlyphGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalScrollBar()->setSingleStep(kCellHeight / 4);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void GlyphGrid::setDocument(const FontDocument* document) {
  m_document = document;
  m_shownCurrentIndex = -1;
  updateScrollRange();
  documentChanged();
}

void GlyphGrid::documentChanged() {
  const int current = m_document ? m_document->codeOrder().indexOf(m_document->currentCode()) : -1;
  if (current != m_shownCurrentIndex) {
    m_shownCurrentIndex = current;
    if (current >= 0) scrollToIndex(current);
  }
  viewport()->update();
}

int GlyphGrid::cellCount() const {
  return m_document ? int(m_document->codeOrder().codes().size()) : 0;
}

int GlyphGrid::columns() const { return std::max(1, viewport()->width() / kCellWidth); }

int GlyphGrid::indexAt(const QPoint& point) const {
  if (point.x() < 0 || point.x() >= columns() * kCellWidth || point.y() < 0) return -1;
  const int row = (point.y() + verticalScrollBar()->value()) / kCellHeight;
  const int index = row * columns() + point.x() / kCellWidth;
  return index < cellCount() ? index : -1;
}

QRect GlyphGrid::cellRect(int index) const {
  const int row = index / columns();
  const int column = index % columns();
  return QRect(column * kCellWidth, row * kCellHeight - verticalScrollBar()->value(), kCellWidth, kCellHeight);
}

int GlyphGrid::firstVisibleIndex() const {
  return std::min(cellCount(), verticalScrollBar()->value() / kCellHeight * columns());
}

int GlyphGrid::lastVisibleIndex() const {
  const int lastRow = (verticalScrollBar()->value() + viewport()->height() - 1) / kCellHeight;
  return std::min(cellCount() - 1, (lastRow + 1) * columns() - 1);
}

void GlyphGrid::scrollToIndex(int index) {
  const int top = index / columns() * kCellHeight;
  QScrollBar* bar = verticalScrollBar();
  if (top < bar->value()) bar->setValue(top);
  else if (top + kCellHeight > bar->value() + viewport()->height())
    bar->setValue(top + kCellHeight - viewport()->height());
}

void GlyphGrid::paintEvent(QPaintEvent*) {
  if (!m_document) return;
  QPainter painter(viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  const std::vector<uint16_t>& codes = m_document->codeOrder().codes();
  for (int index = firstVisibleIndex(); index <= lastVisibleIndex(); ++index) {
    paintCell(painter, index, codes[size_t(index)]);
  }
}

void GlyphGrid::paintCell(QPainter& painter, int index, uint16_t code) {
  const QRect cell = cellRect(index);
  if (code == m_document->currentCode()) painter.fillRect(cell, kCurrentCell);
  painter.setPen(kCellLine);
  painter.drawRect(cell.adjusted(0, 0, -1, -1));
  const QRectF glyphBox(cell.left() + 2, cell.top() + 2, kCellWidth - 4, kGlyphHeight - 4);
  const QTransform toBox = emBoxTransform(glyphBox);
  painter.setPen(kBaseline);
  painter.drawLine(toBox.map(QPointF(0, 0)), toBox.map(QPointF(kDefaultAdvance, 0)));
  if (const Glyph* glyph = m_document->glyph(code); glyph && !glyph->empty()) {
    painter.fillPath(toBox.map(glyphOutline(*glyph)), palette().text());
  }
  painter.setPen(palette().color(QPalette::Text));
  const QRect label(cell.left(), cell.top() + kGlyphHeight, kCellWidth, kLabelHeight);
  painter.drawText(label, Qt::AlignCenter, QStringLiteral("%1").arg(code, 4, 16, QChar('0')).toUpper());
}

void GlyphGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

void GlyphGrid::mousePressEvent(QMouseEvent* event) {
  const int index = indexAt(event->position().toPoint());
  if (index < 0 || !m_document) return;
  emit codeClicked(m_document->codeOrder().codes()[size_t(index)]);
}

void GlyphGrid::updateScrollRange() {
  const int rows = (cellCount() + columns() - 1) / columns();
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(viewport()->height());
  bar->setRange(0, std::max(0, rows * kCellHeight - viewport()->height()));
}

}  // namespace kernova
