// The stroke log's commands (Clear, UnDo, ReDo) and the per-character stroke files.
#include <QLabel>
#include <filesystem>

#include "app/Form1.h"
#include "platform/PictureBox.h"

namespace {
QString codeDisplay(int32_t code) {
  return QString::number(uint32_t(code), 16).toUpper().right(4);
}
}  // namespace

void Form1::CommandClear_Click() {
  saveStrokeFile(strokeFileName(m_currentCharCode));
  LabelCode->setText(codeDisplay(m_currentCharCode));
  m_strokeLog.clearStrokeLog();
  redrawCanvas();
  showStatusCount();
  m_clearPending = true;
}

void Form1::mnuEditUnDo_Click() {
  if (m_clearPending && m_strokeLog.logEnd() == 0) {
    CommandLoad_Click();
    return;
  }
  m_strokeLog.undoStroke();
  showStatusCount();
  redrawCanvas();
}

// Only the restored stroke is drawn, over what the canvas shows.
void Form1::mnuEditReDo_Click() {
  const int32_t oldEnd = m_strokeLog.logEnd();
  m_strokeLog.redoStroke();
  showStatusCount();
  replayStrokes(m_strokeLog, PictureDOT->picture(), oldEnd, m_strokeLog.logEnd() - 1);
  PictureDOT->refresh();
}

QString Form1::strokeFileName(int32_t code) {
  return "data/srfm_data" + ("0000" + QString::number(uint32_t(code), 16).toUpper()).right(4) +
         ".log";
}

void Form1::ensureDataFolder() {
  std::error_code error;
  std::filesystem::create_directories(workingDirectory() / "data", error);
}

// Stroke files are not written yet: the log lives only in memory.
void Form1::saveStrokeFile(const QString&) {}

// Stroke files are not read yet: every character starts with an empty log.
void Form1::loadStrokeFile(const QString&) { m_strokeLog.clearStrokeLog(); }

void Form1::CommandSave_Click() { saveStrokeFile(strokeFileName(m_currentCharCode)); }

void Form1::CommandLoad_Click() {
  loadStrokeFile(strokeFileName(m_currentCharCode));
  showStatusCount();
  redrawCanvas();
}
