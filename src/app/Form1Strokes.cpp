// The stroke log's commands (Clear, UnDo, ReDo) and the per-character stroke files.
#include <QLabel>
#include <algorithm>
#include <filesystem>

#include "app/Form1.h"
#include "brush/StrokeReplay.h"
#include "prompts/Prompts.h"
#include "reference/ReferenceFace.h"
#include "widgets/PictureBox.h"
#include "strokes/StrokeFile.h"
#include "widgets/PictureBox.h"

// When the strokes cannot be saved first, they are kept in memory so that UnDo can
// still bring them back: the file would not hold them.
void Form1::CommandClear_Click() {
  const bool saved = saveStrokeFile(strokeFileName(m_currentCharCode));
  LabelCode->setText(reference::codeCaption(m_currentCharCode));
  if (saved || m_strokeLog.logEnd() == 0)
    m_unsavedClearedLog.reset();
  else
    m_unsavedClearedLog = m_strokeLog;
  m_strokeLog.clearStrokeLog();
  redrawCanvas();
  showStatusCount();
  m_clearPending = true;
}

void Form1::mnuEditUnDo_Click() {
  if (m_clearPending && m_strokeLog.logEnd() == 0 && m_unsavedClearedLog) {
    m_strokeLog = *m_unsavedClearedLog;
    m_strokeLog.setLoaded(m_strokeLog.logEnd());
    showStatusCount();
    redrawCanvas();
    return;
  }
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

// A folder that cannot be made is reported; the window still opens, and every later
// save of a stroke file fails with its own message.
void Form1::ensureDataFolder() {
  const std::filesystem::path folder = workingDirectory() / "data";
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directories(folder, error);
  if (std::filesystem::is_directory(folder)) return;
  const QString reason = error ? QString::fromStdString(error.message()) : "フォルダではありません";
  reportPersistenceProblem("dataフォルダを作成できません（" + reason +
                           "）。ストロークは保存されません");
}

std::filesystem::path Form1::strokeFilePath(const QString& path) const {
  return workingDirectory() / path.toStdString();
}

// Writes the live records atomically; the old file survives any failure. A damaged
// file that could not be moved aside is never overwritten.
bool Form1::saveStrokeFile(const QString& path) {
  if (path.isEmpty()) return true;
  if (isProtectedStrokeFile(path)) {
    reportPersistenceProblem(path + " は壊れたファイルのため上書きしません");
    return false;
  }
  const Status saved = strokefile::writeStrokeFile(strokeFilePath(path), m_strokeLog);
  if (!saved)
    reportPersistenceProblem(path + " を保存できません: " + QString::fromStdString(saved.message()));
  return saved.ok();
}

// At shut-down the status line is no longer seen: a save that would lose strokes is
// offered again (after the user has freed disk space, say) until it succeeds or the
// user closes anyway.
void Form1::saveStrokesAtClose() {
  const QString path = strokeFileName(m_currentCharCode);
  while (!saveStrokeFile(path) && m_strokeLog.logEnd() > 0) {
    const QString question = LabelStat->text() + "\r\r" +
                             "「再試行」で保存し直します。「保存せずに閉じる」とこの文字のストロークは失われます。";
    if (m_prompts->ask(kCaption, question, Prompts::Buttons::RetryClose) != Prompts::Answer::Retry)
      return;
  }
}

// A missing file is an empty log. A damaged one also gives an empty log and is moved
// aside, so that the next save cannot destroy what is left in it.
void Form1::loadStrokeFile(const QString& path) {
  m_strokeLog.clearStrokeLog();
  m_unsavedClearedLog.reset();
  if (path.isEmpty()) return;
  const std::filesystem::path file = strokeFilePath(path);
  const strokefile::LoadResult result = strokefile::readStrokeFile(file, m_strokeLog);
  if (result.outcome != strokefile::LoadOutcome::Damaged) {
    setProtectedStrokeFile(path, false);
    return;
  }
  const QString problem = path + " を読み込めません（" + QString::fromStdString(result.message) + "）";
  std::filesystem::path movedTo;
  const Status moved = strokefile::moveDamagedFileAside(file, movedTo);
  setProtectedStrokeFile(path, !moved);
  if (moved)
    reportPersistenceProblem(problem + "。" + QString::fromStdString(movedTo.filename().string()) +
                             " に移しました");
  else
    reportPersistenceProblem(problem + "。移せないため上書きしません: " +
                             QString::fromStdString(moved.message()));
}

bool Form1::isProtectedStrokeFile(const QString& path) const {
  return std::find(m_protectedStrokeFiles.begin(), m_protectedStrokeFiles.end(), path) !=
         m_protectedStrokeFiles.end();
}

void Form1::setProtectedStrokeFile(const QString& path, bool isProtected) {
  std::erase(m_protectedStrokeFiles, path);
  if (isProtected) m_protectedStrokeFiles.push_back(path);
}

// Problems found during start-up are kept until the tablet has had its say in
// LabelStat (showStartupNotice), so neither message hides the other.
void Form1::reportPersistenceProblem(const QString& message) {
  LabelStat->setText(message);
  if (m_firstActivation)
    m_startupNotice = m_startupNotice.isEmpty() ? message : m_startupNotice + " / " + message;
}

// While the window closes the status line is no longer seen, so a failure that loses
// work (the settings) is reported in a message box.
void Form1::reportSaveFailure(const QString& message, bool losesWork) {
  reportPersistenceProblem(message);
  if (m_unloaded && losesWork)
    m_prompts->ask(kCaption, message, Prompts::Buttons::Ok);
}

void Form1::showStartupNotice() {
  if (m_startupNotice.isEmpty()) return;
  const QString current = LabelStat->text();
  LabelStat->setText(current.isEmpty() || current == m_startupNotice
                         ? m_startupNotice
                         : m_startupNotice + " / " + current);
  m_startupNotice.clear();
}

void Form1::CommandSave_Click() { saveStrokeFile(strokeFileName(m_currentCharCode)); }

void Form1::CommandLoad_Click() {
  loadStrokeFile(strokeFileName(m_currentCharCode));
  showStatusCount();
  redrawCanvas();
}
