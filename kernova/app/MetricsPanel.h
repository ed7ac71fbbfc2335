#pragma once
// The Metrics panel: the active document's current glyph with its left side bearing,
// right side bearing and advance, each editable as an undo step of the document, and
// the glyph drawn between its side bearings on the baseline. It also carries the
// "Space All Glyphs..." action, which sets the same bearings on every drawn glyph.
// Like the window, it follows the DocumentSet, so changes over the bus show at once.
#include <QDockWidget>
#include <functional>
#include <optional>

#include "kernova/app/DocumentSet.h"

class QAction;
class QCheckBox;
class QSpinBox;

namespace kernova {

class MetricsView;

// What "Space All Glyphs..." asks the user for.
struct SpacingRequest {
  int left = 100;
  int right = 100;
  bool fullWidthToo = false;  // Japanese fonts: respace the full-width glyphs too
};

class MetricsPanel : public QDockWidget {
  Q_OBJECT

 public:
  // Asked before spacing all glyphs of a font of `type`; nullopt cancels. Tests replace it.
  using SpacingQuestion = std::function<std::optional<SpacingRequest>(FontType type)>;

  explicit MetricsPanel(DocumentSet& documents, QWidget* parent = nullptr);

  void setSpacingQuestion(SpacingQuestion question) { m_askSpacing = std::move(question); }
  QAction* spaceAllAction() const { return m_spaceAllAction; }
  QSpinBox* leftBearingBox() const { return m_left; }
  QSpinBox* rightBearingBox() const { return m_right; }
  QSpinBox* advanceBox() const { return m_advance; }
  MetricsView* view() const { return m_view; }

 private:
  void refresh();
  void editLeft(int left);
  void editRight(int right);
  void editAdvance(int advance);
  void applyBearings(int left, int right);
  void spaceAll();

  DocumentSet& m_documents;
  MetricsView* m_view = nullptr;
  QSpinBox* m_left = nullptr;
  QSpinBox* m_right = nullptr;
  QSpinBox* m_advance = nullptr;
  QAction* m_spaceAllAction = nullptr;
  SpacingQuestion m_askSpacing;
};

// The glyph scaled into the widget: the advance box from the origin to the advance,
// the baseline across it, and the ink between its side bearings.
class MetricsView : public QWidget {
 public:
  explicit MetricsView(QWidget* parent = nullptr);
  void display(const Glyph* glyph);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<Glyph> m_glyph;
};

}  // namespace kernova
