#include "kernova/app/MetricsPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <climits>

#include "kernova/app/GlyphOutline.h"

namespace kernova {
namespace {

// The glyph's side bearings: its points' box against the origin and the advance. The
// tracer puts the extremes on-curve, so for traced ink this is the ink's box.
struct HorizontalMetrics {
  int left = 0;
  int right = 0;
  int inkRight = 0;
};

std::optional<HorizontalMetrics> metricsOf(const Glyph* glyph) {
  if (!glyph || glyph->empty()) return std::nullopt;
  int minX = INT_MAX, maxX = INT_MIN;
  for (const Contour& contour : glyph->contours)
    for (const Point& point : contour) minX = std::min(minX, point.x), maxX = std::max(maxX, point.x);
  if (minX > maxX) return std::nullopt;
  return HorizontalMetrics{minX, glyph->advance - maxX, maxX};
}

QSpinBox* bearingBox(QWidget* parent, int minimum, int maximum) {
  auto* box = new QSpinBox(parent);
  box->setRange(minimum, maximum);
  box->setKeyboardTracking(false);  // one edit when the number is complete, not per digit
  return box;
}

std::optional<SpacingRequest> askWithDialog(QWidget* parent, FontType type) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QObject::tr("Space All Glyphs"));
  auto* form = new QFormLayout(&dialog);
  QSpinBox* left = bearingBox(&dialog, -16384, 16383);
  QSpinBox* right = bearingBox(&dialog, -16384, 16383);
  const SpacingRequest defaults;
  left->setValue(defaults.left);
  right->setValue(defaults.right);
  form->addRow(QObject::tr("Left side bearing:"), left);
  form->addRow(QObject::tr("Right side bearing:"), right);
  auto* fullWidth = new QCheckBox(QObject::tr("Also space full-width glyphs"), &dialog);
  if (type == FontType::Japanese) form->addRow(fullWidth);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return SpacingRequest{left->value(), right->value(), type == FontType::Japanese && fullWidth->isChecked()};
}

}  // namespace

MetricsPanel::MetricsPanel(DocumentSet& documents, QWidget* parent)
    : QDockWidget(tr("Metrics"), parent), m_documents(documents) {
  setObjectName(QStringLiteral("metricsPanel"));
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  m_askSpacing = [this](FontType type) { return askWithDialog(this, type); };
  auto* body = new QWidget(this);
  auto* layout = new QHBoxLayout(body);
  m_view = new MetricsView(body);
  auto* form = new QFormLayout;
  m_left = bearingBox(body, -16384, 16383);
  m_right = bearingBox(body, -16384, 16383);
  m_advance = bearingBox(body, 0, 65535);
  form->addRow(tr("Left side bearing:"), m_left);
  form->addRow(tr("Right side bearing:"), m_right);
  form->addRow(tr("Advance:"), m_advance);
  layout->addWidget(m_view, 1);
  layout->addLayout(form);
  setWidget(body);
  m_spaceAllAction = new QAction(tr("&Space All Glyphs..."), this);
  connect(m_spaceAllAction, &QAction::triggered, this, &MetricsPanel::spaceAll);
  connect(m_left, &QSpinBox::valueChanged, this, &MetricsPanel::editLeft);
  connect(m_right, &QSpinBox::valueChanged, this, &MetricsPanel::editRight);
  connect(m_advance, &QSpinBox::valueChanged, this, &MetricsPanel::editAdvance);
  connect(&m_documents, &DocumentSet::activeChanged, this, &MetricsPanel::refresh);
  connect(&m_documents, &DocumentSet::documentChanged, this, [this](int number) {
    if (number == m_documents.active()) refresh();
  });
  refresh();
}

void MetricsPanel::refresh() {
  const FontDocument* document = m_documents.activeDocument();
  const Glyph* glyph = document ? document->glyph(document->currentCode()) : nullptr;
  const std::optional<HorizontalMetrics> metrics = metricsOf(glyph);
  m_view->display(metrics ? glyph : nullptr);
  for (QSpinBox* box : {m_left, m_right, m_advance}) {
    const QSignalBlocker quiet(box);
    box->setEnabled(metrics.has_value());
    if (!metrics) box->clear();
  }
  m_spaceAllAction->setEnabled(document != nullptr);
  if (!metrics) return;
  const QSignalBlocker quietLeft(m_left), quietRight(m_right), quietAdvance(m_advance);
  m_left->setValue(metrics->left);
  m_right->setValue(metrics->right);
  m_advance->setValue(glyph->advance);
}

void MetricsPanel::editLeft(int left) { applyBearings(left, m_right->value()); }

void MetricsPanel::editRight(int right) { applyBearings(m_left->value(), right); }

// A new advance keeps the glyph where it is and moves its right side bearing.
void MetricsPanel::editAdvance(int advance) {
  const FontDocument* document = m_documents.activeDocument();
  const std::optional<HorizontalMetrics> metrics =
      metricsOf(document ? document->glyph(document->currentCode()) : nullptr);
  if (metrics) applyBearings(metrics->left, advance - metrics->inkRight);
}

void MetricsPanel::applyBearings(int left, int right) {
  FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  const Status status = document->setSideBearings(left, right);
  if (!status) m_documents.report(tr("Side bearings not set: %1").arg(QString::fromStdString(status.message())));
  m_documents.notifyChanged(m_documents.active());
}

void MetricsPanel::spaceAll() {
  FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  const std::optional<SpacingRequest> request = m_askSpacing(document->type());
  if (!request) return;
  const Status status = document->spaceAllGlyphs(request->left, request->right, request->fullWidthToo);
  if (status)
    m_documents.report(tr("Spaced all glyphs with side bearings %1 and %2").arg(request->left).arg(request->right));
  else
    m_documents.report(tr("Glyphs not spaced: %1").arg(QString::fromStdString(status.message())));
  m_documents.notifyChanged(m_documents.active());
}

MetricsView::MetricsView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(160, 140);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void MetricsView::display(const Glyph* glyph) {
  m_glyph = glyph ? std::optional<Glyph>(*glyph) : std::nullopt;
  update();
}

// The advance box and the ink together fit the widget; ascender to descender fit its height.
void MetricsView::paintEvent(QPaintEvent*) {
  if (!m_glyph) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath outline = glyphOutline(*m_glyph);
  const QRectF ink = outline.boundingRect();
  const double left = std::min(0.0, ink.left()), right = std::max(double(m_glyph->advance), ink.right());
  const double margin = 8;
  const double scale = std::min((width() - 2 * margin) / std::max(1.0, right - left),
                                (height() - 2 * margin) / double(kAscender - kDescender));
  const QTransform place = baselineTransform(QPointF(margin - left * scale, margin + kAscender * scale), scale);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(place.map(QLineF(left, 0, right, 0)));
  for (double x : {0.0, double(m_glyph->advance)})
    painter.drawLine(place.map(QLineF(x, kDescender, x, kAscender)));
  painter.fillPath(place.map(outline), palette().text());
}

}  // namespace kernova
