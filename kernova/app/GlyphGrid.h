#pragma once
// The grid of every code of a document's code order: each cell shows the glyph drawn
// from its outline and the code in hex under it; the current code is highlighted and
// kept in view. Only the visible cells are painted, so scrolling through the 7,000+
// codes of a Japanese font stays fast; nothing is cached.
#include <QAbstractScrollArea>
#include <cstdint>

#include "kernova/engine/FontDocument.h"

namespace kernova {

class GlyphGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kCellWidth = 64;
  static constexpr int kGlyphHeight = 64;
  static constexpr int kLabelHeight = 16;
  static constexpr int kCellHeight = kGlyphHeight + kLabelHeight;

  explicit GlyphGrid(QWidget* parent = nullptr);

  // Shows `document` (nullptr: nothing); the document must outlive its display.
  void setDocument(const FontDocument* document);
  // Repaints after a change of the document; scrolls to the current code when it moved.
  void documentChanged();

  int cellCount() const;
  int columns() const;
  int indexAt(const QPoint& viewportPoint) const;  // -1 outside every cell
  QRect cellRect(int index) const;                 // in viewport coordinates
  int firstVisibleIndex() const;
  int lastVisibleIndex() const;
  void scrollToIndex(int index);

 signals:
  void codeClicked(uint16_t code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void updateScrollRange();
  void paintCell(QPainter& painter, int index, uint16_t code);

  const FontDocument* m_document = nullptr;
  int m_shownCurrentIndex = -1;
};

}  // namespace kernova
