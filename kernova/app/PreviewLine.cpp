#include "kernova/app/PreviewLine.h"

#include <QPainter>
#include <QVBoxLayout>

#include "kernova/app/GlyphOutline.h"
#include "common/codepage/CodePage.h"

namespace kernova {

std::vector<std::optional<uint16_t>> previewCodes(const QString& text, FontType type) {
  const auto page = type == FontType::Japanese ? codepage::CodePage::Cp932 : codepage::CodePage::Cp1252;
  const CodeOrder& order = CodeOrder::forType(type);
  std::vector<std::optional<uint16_t>> codes;
  for (char32_t ch : text.toUcs4()) {
    const std::optional<uint16_t> code = codepage::fromUnicode(page, ch);
    codes.push_back(code && order.contains(*code) ? code : std::nullopt);
  }
  return codes;
}

PreviewStrip::PreviewStrip(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(kLineHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void PreviewStrip::display(const FontDocument* document, const QString& text) {
  m_document = document;
  m_text = text;
  update();
}

void PreviewStrip::paintEvent(QPaintEvent*) {
  if (!m_document) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // One em (ascender to descender) fills the line; glyphs follow by their advances.
  const double margin = 4;
  const double scale = (height() - 2 * margin) / double(kAscender - kDescender);
  const double baseline = margin + kAscender * scale;
  double x = margin;
  for (const std::optional<uint16_t>& code : previewCodes(m_text, m_document->type())) {
    const Glyph* glyph = code ? m_document->glyph(*code) : nullptr;
    const int advance = glyph ? glyph->advance : kDefaultAdvance;
    const QTransform place = baselineTransform(QPointF(x, baseline), scale);
    if (!code) {
      painter.setPen(palette().color(QPalette::Mid));
      painter.drawRect(place.mapRect(QRectF(200, 0, advance - 400, kAscender)));
    } else if (glyph && !glyph->empty()) {
      painter.fillPath(place.map(glyphOutline(*glyph)), palette().text());
    }
    x += advance * scale;
    if (x > width()) break;
  }
}

PreviewLine::PreviewLine(QWidget* parent) : QWidget(parent) {
  m_text = new QLineEdit(this);
  m_text->setPlaceholderText(tr("Type sample text"));
  m_strip = new PreviewStrip(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_text);
  layout->addWidget(m_strip);
  connect(m_text, &QLineEdit::textChanged, this, [this](const QString& text) { m_strip->display(m_document, text); });
}

void PreviewLine::setDocument(const FontDocument* document) {
  m_document = document;
  m_strip->display(document, m_text->text());
}

}  // namespace kernova
