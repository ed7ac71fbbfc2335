#include "kernova/app/PreviewLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kernova/app/GlyphOutline.h"
#include "kernova/engine/TrueTypeLayout.h"
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

// As the saved font has them: a glyph is there when it has contours or a set
// advance; the space always is, with its default advance.
std::vector<PreviewGlyph> previewGlyphs(const QString& text, const FontDocument& document) {
  std::vector<PreviewGlyph> result;
  for (const std::optional<uint16_t>& code : previewCodes(text, document.type())) {
    const Glyph* glyph = code ? document.glyph(*code) : nullptr;
    if (glyph && (glyph->advanceSet || !glyph->empty())) result.push_back({*glyph, false});
    else if (code == sfnt::kSpaceCode) result.push_back({Glyph{{}, sfnt::kSpaceAdvance, true}, false});
    else result.push_back({sfnt::missingGlyph(), true});
  }
  return result;
}

PreviewStrip::PreviewStrip(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setPixelSize(kDefaultSize);
}

void PreviewStrip::display(const FontDocument* document, const QString& text) {
  m_document = document;
  m_text = text;
  update();
}

void PreviewStrip::setPixelSize(int pixels) {
  m_pixelSize = pixels;
  setFixedHeight(pixels + 2 * kMargin);
  update();
}

void PreviewStrip::paintEvent(QPaintEvent*) {
  if (!m_document) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // One em (ascender to descender) is the chosen size; glyphs follow by their advances.
  const double scale = m_pixelSize / double(kAscender - kDescender);
  const double baseline = kMargin + kAscender * scale;
  double x = kMargin;
  for (const PreviewGlyph& shown : previewGlyphs(m_text, *m_document)) {
    if (!shown.glyph.empty()) {
      const QTransform place = baselineTransform(QPointF(x, baseline), scale);
      // Missing characters in a light tone, so they stand apart from drawn ones.
      painter.fillPath(place.map(glyphOutline(shown.glyph)),
                       shown.missing ? palette().mid() : palette().text());
    }
    x += shown.glyph.advance * scale;
    if (x > width()) break;
  }
}

PreviewLine::PreviewLine(QWidget* parent) : QWidget(parent) {
  m_text = new QLineEdit(this);
  m_text->setPlaceholderText(tr("Type sample text"));
  m_size = new QSpinBox(this);
  m_size->setRange(8, 400);
  m_size->setSuffix(tr(" px"));
  m_size->setValue(PreviewStrip::kDefaultSize);
  m_strip = new PreviewStrip(this);
  auto* row = new QHBoxLayout;
  row->addWidget(m_text, 1);
  row->addWidget(new QLabel(tr("Size:"), this));
  row->addWidget(m_size);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(row);
  layout->addWidget(m_strip);
  connect(m_text, &QLineEdit::textChanged, this, [this](const QString& text) { m_strip->display(m_document, text); });
  connect(m_size, &QSpinBox::valueChanged, m_strip, &PreviewStrip::setPixelSize);
}

void PreviewLine::setDocument(const FontDocument* document) {
  m_document = document;
  m_strip->display(document, m_text->text());
}

}  // namespace kernova
