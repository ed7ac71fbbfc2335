#include "kernova/app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "kernova/app/FontInfoDialog.h"
#include "kernova/app/FontInstaller.h"
#include "kernova/app/CoveragePanel.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MetricsPanel.h"
#include "kernova/app/PreviewLine.h"
#include "kernova/engine/Coverage.h"

namespace kernova {
namespace {

const QString kFontFilter = QStringLiteral("Fonts (*.ttf *.woff2)");
const QString kSaveFilter = QStringLiteral("TrueType fonts (*.ttf);;WOFF2 web fonts (*.woff2)");

QString qString(const std::string& text) { return QString::fromStdString(text); }

MainWindow::UnsavedAnswer askWithMessageBox(QWidget* parent, const QString& name) {
  const auto answer = QMessageBox::question(
      parent, QStringLiteral("Kernova"), QObject::tr("%1 has unsaved changes. Save them?").arg(name),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return MainWindow::UnsavedAnswer::Save;
  if (answer == QMessageBox::Discard) return MainWindow::UnsavedAnswer::Discard;
  return MainWindow::UnsavedAnswer::Cancel;
}

}  // namespace

MainWindow::MainWindow(DocumentSet& documents, QWidget* parent)
    : QMainWindow(parent), m_documents(documents) {
  m_askUnsaved = [this](const QString& name) { return askWithMessageBox(this, name); };
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  m_grid = new GlyphGrid(central);
  m_preview = new PreviewLine(central);
  layout->addWidget(m_grid, 1);
  layout->addWidget(m_preview);
  setCentralWidget(central);
  m_metrics = new MetricsPanel(m_documents, this);
  addDockWidget(Qt::BottomDockWidgetArea, m_metrics);
  auto* dock = new QDockWidget(tr("Coverage"), this);
  dock->setObjectName(QStringLiteral("coverageDock"));
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  m_coverage = new CoveragePanel(dock);
  dock->setWidget(m_coverage);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  createMenus();
  statusBar()->showMessage(tr("Ready"));
  resize(960, 720);  // room for the grid above the Metrics panel

  connect(m_grid, &GlyphGrid::codePicked, this, [this](uint16_t code) { m_documents.pickCode(m_documents.active(), code); });
  connect(m_coverage, &CoveragePanel::setClicked, this, &MainWindow::toggleCoverageFilter);
  connect(&m_documents, &DocumentSet::activeChanged, this, &MainWindow::showActive);
  connect(&m_documents, &DocumentSet::documentChanged, this, &MainWindow::documentChanged);
  connect(&m_documents, &DocumentSet::documentAdded, this, &MainWindow::rebuildWindowMenu);
  connect(&m_documents, &DocumentSet::documentClosed, this, &MainWindow::rebuildWindowMenu);
  connect(&m_documents, &DocumentSet::message, this, &MainWindow::showStatus);
  showActive();
}

void MainWindow::createMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("New &Latin Font"), QKeySequence::New, this, [this] { newFont(FontType::Latin); });
  file->addAction(tr("New &Japanese Font"), this, [this] { newFont(FontType::Japanese); });
  file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::openFont);
  file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::saveFont);
  file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainWindow::saveFontAs);
  file->addAction(tr("Font &Info..."), this, &MainWindow::editFontInfo);
  file->addAction(tr("&Install Font"), this, &MainWindow::installActiveFont);
  file->addAction(tr("&Close"), QKeySequence::Close, this, &MainWindow::closeFont);
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, &MainWindow::quit);
  createEditMenu();
  m_windowMenu = menuBar()->addMenu(tr("&Window"));
  m_windowActions = new QActionGroup(this);
}

void MainWindow::createEditMenu() {
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  m_undoAction = edit->addAction(tr("&Undo"), this, [this] { m_documents.undo(m_documents.active()); });
  m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  m_redoAction = edit->addAction(tr("&Redo"), this, [this] { m_documents.redo(m_documents.active()); });
  m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  edit->addAction(m_metrics->spaceAllAction());
}

void MainWindow::updateUndoActions() {
  const FontDocument* document = m_documents.activeDocument();
  m_undoAction->setEnabled(document && document->canUndo());
  m_redoAction->setEnabled(document && document->canRedo());
}

void MainWindow::showActive() {
  const FontDocument* document = m_documents.activeDocument();
  m_grid->setDocument(document);
  m_preview->setDocument(document);
  m_coverage->setDocument(document);
  updateTitle();
  updateUndoActions();
  rebuildWindowMenu();
}

void MainWindow::documentChanged(int number) {
  if (number == m_documents.active()) {
    m_grid->documentChanged();
    m_preview->documentChanged();
    m_coverage->refresh();
    updateTitle();
    updateUndoActions();
  }
  // The name changes on Save As.
  const FontDocument* document = m_documents.document(number);
  for (QAction* action : m_windowActions->actions()) {
    if (document && action->data().toInt() == number) action->setText(qString(document->name()));
  }
}

// The filter holds the set's characters missing at the click; a character drawn
// since stays in view (tinted) until the filter is clicked off. When the current
// code is not among them, the first missing one is picked, as a click on it would.
void MainWindow::toggleCoverageFilter(int set) {
  const FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  if (set == m_coverage->filteredSet()) {
    m_coverage->setFilteredSet(-1);
    m_grid->clearFilter();
    return;
  }
  std::vector<uint16_t> missing = missingCodes(*document, coverageSets(document->type())[size_t(set)]);
  const bool holdsCurrent = std::find(missing.begin(), missing.end(), document->currentCode()) != missing.end();
  const int first = missing.empty() ? -1 : missing.front();
  m_coverage->setFilteredSet(set);
  m_grid->setFilter(std::move(missing));
  if (first >= 0 && !holdsCurrent) m_documents.pickCode(m_documents.active(), uint16_t(first));
}

void MainWindow::updateTitle() {
  const FontDocument* document = m_documents.activeDocument();
  if (!document) {
    setWindowTitle(QStringLiteral("Kernova"));
    setWindowModified(false);
    return;
  }
  setWindowTitle(qString(document->name()) + QStringLiteral("[*] - Kernova"));
  setWindowModified(document->modified());
}

void MainWindow::rebuildWindowMenu() {
  m_windowMenu->clear();
  for (QAction* action : m_windowActions->actions()) delete action;
  for (int number : m_documents.numbers()) {
    auto* action = new QAction(qString(m_documents.document(number)->name()), m_windowActions);
    action->setData(number);
    action->setCheckable(true);
    action->setChecked(number == m_documents.active());
    connect(action, &QAction::triggered, this, [this, number] { m_documents.setActive(number); });
    m_windowMenu->addAction(action);
  }
  m_windowMenu->setEnabled(!m_documents.numbers().empty());
}

void MainWindow::showStatus(const QString& text) { statusBar()->showMessage(text); }

void MainWindow::showFailure(const QString& action, const Status& status) {
  const QString detail = qString(status.message());
  showStatus(tr("%1: %2").arg(action, detail));
  QMessageBox::warning(this, QStringLiteral("Kernova"), detail);
}

uint MainWindow::nativeWindowId() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return 0;
  return uint(winId());
}

void MainWindow::newFont(FontType type) { m_documents.create(type); }

void MainWindow::openFont() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open Font"), m_documents.documentsFolder(), kFontFilter);
  if (path.isEmpty()) return;
  int number = 0;
  const Status status = m_documents.open(path, number);
  if (status) {
    showStatus(tr("Opened %1").arg(path));
    return;
  }
  showFailure(tr("Open failed"), status);
}

bool MainWindow::saveDocument(int number) {
  const Status status = m_documents.save(number);
  if (status) {
    showStatus(tr("Saved %1").arg(qString(m_documents.document(number)->filePath())));
    return true;
  }
  showFailure(tr("Save failed"), status);
  return false;
}

// A document never saved asks where to go, starting from its default name.
void MainWindow::saveFont() {
  if (m_documents.active() == 0) return;
  if (m_documents.isUntitled(m_documents.active()))
    saveFontAs();
  else
    saveDocument(m_documents.active());
}

void MainWindow::saveFontAs() {
  const FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Save Font As"), qString(document->filePath()), kSaveFilter);
  if (path.isEmpty()) return;
  const Status status = m_documents.saveAs(m_documents.active(), path);
  if (status) {
    showStatus(tr("Saved %1").arg(path));
    return;
  }
  showFailure(tr("Save failed"), status);
}

void MainWindow::editFontInfo() {
  FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  FontInfoDialog dialog(*document, this);
  if (dialog.exec() != QDialog::Accepted) return;
  document->setFontInfo(dialog.info());
  m_documents.notifyChanged(m_documents.active());
}

void MainWindow::installActiveFont() {
  const FontDocument* document = m_documents.activeDocument();
  if (!document) return;
  QString path;
  const Status status = installFont(*document, path);
  if (status) showStatus(tr("Installed %1").arg(path));
  else showFailure(tr("Install failed"), status);
}

bool MainWindow::closeDocument(int number) {
  const FontDocument* document = m_documents.document(number);
  if (!document) return true;
  if (document->modified()) {
    m_documents.setActive(number);
    const UnsavedAnswer answer = m_askUnsaved(qString(document->name()));
    if (answer == UnsavedAnswer::Cancel) return false;
    if (answer == UnsavedAnswer::Save && !saveDocument(number)) return false;
  }
  const QString name = qString(document->name());
  m_documents.close(number);
  showStatus(tr("Closed %1").arg(name));
  return true;
}

bool MainWindow::closeAll() {
  for (int number : m_documents.numbers()) {
    if (!closeDocument(number)) return false;
  }
  return true;
}

void MainWindow::closeFont() {
  if (m_documents.active() != 0) closeDocument(m_documents.active());
}

void MainWindow::quit() {
  if (closeAll()) QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeAll()) event->accept();
  else event->ignore();
}

}  // namespace kernova
