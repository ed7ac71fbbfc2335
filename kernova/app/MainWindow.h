#pragma once
// The editor's window: the active document's glyph grid, preview line, Metrics panel
// and Coverage panel (clicking a set filters the grid to its missing characters,
// clicking it again shows every code), the File, Edit (undo, redo, space all glyphs)
// and Window menus, and a status bar with the last action or error.
// The title shows the document's name and its unsaved mark. It follows the
// DocumentSet, so changes made over the bus show at once.
#include <QActionGroup>
#include <QMainWindow>
#include <functional>

#include "kernova/app/DocumentSet.h"

class QMenu;

namespace kernova {

class CoveragePanel;
class GlyphGrid;
class MetricsPanel;
class PreviewLine;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  enum class UnsavedAnswer { Save, Discard, Cancel };
  // Asked before a document with unsaved changes is closed; tests replace it.
  using UnsavedQuestion = std::function<UnsavedAnswer(const QString& documentName)>;

  explicit MainWindow(DocumentSet& documents, QWidget* parent = nullptr);

  void setUnsavedQuestion(UnsavedQuestion question) { m_askUnsaved = std::move(question); }

  // Closes a document, asking first when it has unsaved changes. False when the user
  // cancelled or saving failed (the document stays open).
  bool closeDocument(int number);
  // Closes every document the same way; false when one of them stays open.
  bool closeAll();
  // The native window id for the bus: the X11 window id under xcb, else 0.
  uint nativeWindowId();

  GlyphGrid* grid() const { return m_grid; }
  PreviewLine* preview() const { return m_preview; }
  MetricsPanel* metrics() const { return m_metrics; }
  CoveragePanel* coveragePanel() const { return m_coverage; }
  QMenu* windowMenu() const { return m_windowMenu; }
  QAction* undoAction() const { return m_undoAction; }
  QAction* redoAction() const { return m_redoAction; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createMenus();
  void createEditMenu();
  void updateUndoActions();
  void showActive();
  void toggleCoverageFilter(int set);
  void documentChanged(int number);
  void updateTitle();
  void rebuildWindowMenu();
  void showStatus(const QString& text);
  // The one place a failed operation becomes user text: "<action>: <detail>" on the
  // status line and the detail in a message box.
  void showFailure(const QString& action, const Status& status);

  void newFont(FontType type);
  void openFont();
  void saveFont();
  void saveFontAs();
  void closeFont();
  void editFontInfo();
  void installActiveFont();
  void quit();
  bool saveDocument(int number);

  DocumentSet& m_documents;
  GlyphGrid* m_grid = nullptr;
  PreviewLine* m_preview = nullptr;
  MetricsPanel* m_metrics = nullptr;
  CoveragePanel* m_coverage = nullptr;
  QMenu* m_windowMenu = nullptr;
  QActionGroup* m_windowActions = nullptr;
  QAction* m_undoAction = nullptr;
  QAction* m_redoAction = nullptr;
  UnsavedQuestion m_askUnsaved;
};

}  // namespace kernova
