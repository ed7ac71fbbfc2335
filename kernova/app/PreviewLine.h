#pragma once
// The preview line: sample text typed by the user, set in the font being made, at a
// size the user picks. Characters become codes through the document's code page
// (CP1252 for a Latin font, CP932 for a Japanese one). A character the saved font
// would lack - no code, or a code without a drawn glyph - shows as the font's
// ".notdef" box in either kind of font; the space shows as the saved font's space.
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "kernova/engine/FontDocument.h"

class QSpinBox;

namespace kernova {

// The codes of `text` in a font of `type`, one per character; nothing for a
// character the font has no code for.
std::vector<std::optional<uint16_t>> previewCodes(const QString& text, FontType type);

// What the preview shows for each character of `text`: the glyph and whether it
// stands for a missing one.
struct PreviewGlyph {
  Glyph glyph;
  bool missing = false;
};
std::vector<PreviewGlyph> previewGlyphs(const QString& text, const FontDocument& document);

class PreviewStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultSize = 72;  // pixels per em
  static constexpr int kMargin = 4;
  explicit PreviewStrip(QWidget* parent = nullptr);
  void display(const FontDocument* document, const QString& text);
  void setPixelSize(int pixels);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const FontDocument* m_document = nullptr;
  QString m_text;
  int m_pixelSize = kDefaultSize;
};

class PreviewLine : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewLine(QWidget* parent = nullptr);

  // Shows `document` (nullptr: nothing); the document must outlive its display.
  void setDocument(const FontDocument* document);
  void documentChanged() { m_strip->update(); }

  QLineEdit* textField() const { return m_text; }
  QSpinBox* sizeField() const { return m_size; }
  PreviewStrip* strip() const { return m_strip; }

 private:
  QLineEdit* m_text = nullptr;
  QSpinBox* m_size = nullptr;
  PreviewStrip* m_strip = nullptr;
  const FontDocument* m_document = nullptr;
};

}  // namespace kernova
