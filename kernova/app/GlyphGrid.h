#pragma once
// The grid of a document's codes: each cell shows, above the code in hex, the glyph
// drawn from its outline, or the character the code stands for in a light system
// font while the glyph is empty; drawn cells have a tinted background. The current
// code is highlighted and kept in view. The grid shows the whole code order, or only
// the codes of a filter. Only the visible cells are painted, so scrolling through the
// 7,000+ codes of a Japanese font stays fast; a change of the document repaints only
// the visible cells whose glyph changed, so a font rebuilt in batches far from the
// view costs no painting.
#include <QAbstractScrollArea>
#include <QFont>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "kernova/engine/FontDocument.h"

namespace kernova {

class GlyphGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kCellWidth = 64;
  static constexpr int kGlyphHeight = 64;
  static constexpr int kLabelHeight = 16;
  static constexpr int kCellHeight = kGlyphHeight + kLabelHeight;
  static inline const QColor kCurrentCell{200, 220, 255};
  static inline const QColor kDrawnCell{222, 242, 222};

  explicit GlyphGrid(QWidget* parent = nullptr);

  // Shows `document` (nullptr: nothing) with no filter; the document must outlive
  // its display.
  void setDocument(const FontDocument* document);
  // Repaints after a change of the document; scrolls to the current code when it moved.
  void documentChanged();
  // Shows only `codes` (in the order given) until clearFilter().
  void setFilter(std::vector<uint16_t> codes);
  void clearFilter();
  bool filtered() const { return m_filter.has_value(); }

  const std::vector<uint16_t>& shownCodes() const;
  int cellCount() const;
  int columns() const;
  int indexAt(const QPoint& viewportPoint) const;  // -1 outside every cell
  QRect cellRect(int index) const;                 // in viewport coordinates
  int firstVisibleIndex() const;
  int lastVisibleIndex() const;
  void scrollToIndex(int index);

 signals:
  // The user picked a code: a click on its cell or an arrow key from the current one.
  void codePicked(uint16_t code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void updateScrollRange();
  void paintCell(QPainter& painter, int index, uint16_t code);
  void paintCharacter(QPainter& painter, const QRectF& box, uint16_t code);
  int currentIndex() const;

  const FontDocument* m_document = nullptr;
  std::optional<std::vector<uint16_t>> m_filter;
  int m_shownCurrentIndex = -1;
  // What each cell in view showed when it was last painted, by index.
  struct PaintedCell {
    uint16_t code;
    std::optional<Glyph> glyph;
  };
  std::map<int, PaintedCell> m_painted;
  QFont m_characterFont;
};

}  // namespace kernova
