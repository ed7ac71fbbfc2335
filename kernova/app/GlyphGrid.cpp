#include "kernova/app/GlyphGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "common/codepage/CodePage.h"
#include "kernova/app/GlyphOutline.h"

namespace kernova {
namespace {

const QColor kCellLine(200, 200, 200);
const QColor kBaseline(230, 180, 180);
const QColor kCharacterHint(175, 175, 175);
const std::vector<uint16_t> kNoCodes;

codepage::CodePage pageOf(const FontDocument& document) {
  return document.type() == FontType::Japanese ? codepage::CodePage::Cp932 : codepage::CodePage::Cp1252;
}

}  // namespace

GlyphGrid::GlyphGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  verticalScrollBar()->setSingleStep(kCellHeight / 4);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  m_characterFont = font();
  m_characterFont.setPixelSize(kGlyphHeight * 5 / 8);
}

void GlyphGrid::setDocument(const FontDocument* document) {
  m_document = document;
  m_filter.reset();
  m_shownCurrentIndex = -1;
  updateScrollRange();
  documentChanged();
  viewport()->update();
}

void GlyphGrid::setFilter(std::vector<uint16_t> codes) {
  m_filter = std::move(codes);
  m_shownCurrentIndex = -1;
  verticalScrollBar()->setValue(0);
  updateScrollRange();
  documentChanged();
  viewport()->update();
}

void GlyphGrid::clearFilter() {
  m_filter.reset();
  m_shownCurrentIndex = -1;
  updateScrollRange();
  documentChanged();
  viewport()->update();
}

void GlyphGrid::documentChanged() {
  const int current = currentIndex();
  if (current != m_shownCurrentIndex) {
    m_shownCurrentIndex = current;
    if (current >= 0) scrollToIndex(current);
    viewport()->update();
    return;
  }
  // The same cells in view: only those whose glyph changed are painted again.
  for (const auto& [index, shown] : m_painted) {
    const Glyph* glyph = m_document ? m_document->glyph(shown.code) : nullptr;
    if (glyph ? shown.glyph != *glyph : shown.glyph.has_value()) viewport()->update(cellRect(index));
  }
}

const std::vector<uint16_t>& GlyphGrid::shownCodes() const {
  if (m_filter) return *m_filter;
  return m_document ? m_document->codeOrder().codes() : kNoCodes;
}

int GlyphGrid::currentIndex() const {
  if (!m_document) return -1;
  const std::vector<uint16_t>& codes = shownCodes();
  if (!m_filter) return m_document->codeOrder().indexOf(m_document->currentCode());
  const auto it = std::find(codes.begin(), codes.end(), m_document->currentCode());
  return it == codes.end() ? -1 : int(it - codes.begin());
}

int GlyphGrid::cellCount() const { return int(shownCodes().size()); }

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

void GlyphGrid::paintEvent(QPaintEvent* event) {
  if (event->rect().contains(viewport()->rect())) m_painted.clear();
  if (!m_document) return;
  QPainter painter(viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  const std::vector<uint16_t>& codes = shownCodes();
  for (int index = firstVisibleIndex(); index <= lastVisibleIndex(); ++index) {
    if (!event->region().intersects(cellRect(index))) continue;
    const uint16_t code = codes[size_t(index)];
    paintCell(painter, index, code);
    const Glyph* glyph = m_document->glyph(code);
    m_painted[index] = {code, glyph ? std::optional<Glyph>(*glyph) : std::nullopt};
  }
}

void GlyphGrid::paintCell(QPainter& painter, int index, uint16_t code) {
  const QRect cell = cellRect(index);
  const Glyph* glyph = m_document->glyph(code);
  const bool drawn = glyph && !glyph->empty();
  if (code == m_document->currentCode()) painter.fillRect(cell, kCurrentCell);
  else if (drawn) painter.fillRect(cell, kDrawnCell);
  painter.setPen(kCellLine);
  painter.drawRect(cell.adjusted(0, 0, -1, -1));
  const QRectF glyphBox(cell.left() + 2, cell.top() + 2, kCellWidth - 4, kGlyphHeight - 4);
  const QTransform toBox = emBoxTransform(glyphBox);
  painter.setPen(kBaseline);
  painter.drawLine(toBox.map(QPointF(0, 0)), toBox.map(QPointF(kDefaultAdvance, 0)));
  if (drawn) painter.fillPath(toBox.map(glyphOutline(*glyph)), palette().text());
  else paintCharacter(painter, glyphBox, code);
  painter.setPen(palette().color(QPalette::Text));
  const QRect label(cell.left(), cell.top() + kGlyphHeight, kCellWidth, kLabelHeight);
  painter.drawText(label, Qt::AlignCenter, QStringLiteral("%1").arg(code, 4, 16, QChar('0')).toUpper());
}

// The character the code stands for, so an empty cell still says what belongs there.
void GlyphGrid::paintCharacter(QPainter& painter, const QRectF& box, uint16_t code) {
  const std::optional<char32_t> ch = codepage::toUnicode(pageOf(*m_document), code);
  if (!ch) return;
  painter.setFont(m_characterFont);
  painter.setPen(kCharacterHint);
  painter.drawText(box, Qt::AlignCenter, QString::fromUcs4(&*ch, 1));
  painter.setFont(font());
}

void GlyphGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

void GlyphGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const int index = indexAt(event->position().toPoint());
  if (index < 0 || !m_document) return;
  emit codePicked(shownCodes()[size_t(index)]);
}

// Arrow keys move the current code through the shown cells; from outside them (a
// filter without the current code) they start at the first cell.
void GlyphGrid::keyPressEvent(QKeyEvent* event) {
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up: step = -columns(); break;
    case Qt::Key_Down: step = columns(); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  if (cellCount() == 0) return;
  const int current = currentIndex();
  const int target = current < 0 ? 0 : std::clamp(current + step, 0, cellCount() - 1);
  if (target != current) emit codePicked(shownCodes()[size_t(target)]);
}

void GlyphGrid::updateScrollRange() {
  const int rows = (cellCount() + columns() - 1) / columns();
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(viewport()->height());
  bar->setRange(0, std::max(0, rows * kCellHeight - viewport()->height()));
}

}  // namespace kernova
