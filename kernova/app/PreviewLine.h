#pragma once
// The preview line: sample text typed by the user, set in the font being made.
// Characters become codes through the document's code page (CP1252 for a Latin font,
// CP932 for a Japanese one); a character without a code in the font shows as an
// empty box.
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "kernova/engine/FontDocument.h"

namespace kernova {

// The codes of `text` in a font of `type`, one per character; nothing for a
// character the font has no code for.
std::vector<std::optional<uint16_t>> previewCodes(const QString& text, FontType type);

class PreviewStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLineHeight = 72;
  explicit PreviewStrip(QWidget* parent = nullptr);
  void display(const FontDocument* document, const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const FontDocument* m_document = nullptr;
  QString m_text;
};

class PreviewLine : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewLine(QWidget* parent = nullptr);

  // Shows `document` (nullptr: nothing); the document must outlive its display.
  void setDocument(const FontDocument* document);
  void documentChanged() { m_strip->update(); }

  QLineEdit* textField() const { return m_text; }
  PreviewStrip* strip() const { return m_strip; }

 private:
  QLineEdit* m_text = nullptr;
  PreviewStrip* m_strip = nullptr;
  const FontDocument* m_document = nullptr;
};

}  // namespace kernova
