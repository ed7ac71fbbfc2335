#pragma once
// The open documents of the editor, numbered from 1 in the order they were opened
// (a number is never reused), and which of them is active. The bus service and the
// window both work through this set; every change is announced so the other side
// shows it at once.
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "kernova/app/RecoveryStore.h"
#include "kernova/engine/FontDocument.h"
#include "common/Status.h"

namespace kernova {

class DocumentSet : public QObject {
  Q_OBJECT

 public:
  explicit DocumentSet(QObject* parent = nullptr);
  ~DocumentSet() override;

  // A new document's default file is "<folder>/Untitled-N.ttf" with the first N that
  // neither an open document nor a file in the folder uses; the default folder is the
  // user's documents folder. Such a default is only a claim: it never replaces a file.
  void setDocumentsFolder(const QString& folder) { m_documentsFolder = folder; }
  const QString& documentsFolder() const { return m_documentsFolder; }

  // Where recovery copies go; empty (the default) keeps none.
  void setRecoveryFolder(const QString& folder) { m_recovery = RecoveryStore(folder); }
  static constexpr int kRecoveryDelayMs = 2000;
  bool recoveryPending() const { return m_recoveryTimer.isActive(); }
  // Brings every recovery copy up to date now (the timer's work); the first failure
  // is returned and reported, the other documents are still copied.
  Status flushRecovery();
  // Copies left by an editor that did not quit cleanly.
  std::vector<RecoveryEntry> recoverable() const { return m_recovery.recoverable(); }
  // Opens a recovered document under its original path and name, marked modified, and
  // takes its copy over (the old one goes once this process's copy is written).
  Status openRecovered(const RecoveryEntry& entry, int& number);

  // A new empty document "Untitled-N"; it becomes the active one. Returns its number.
  int create(FontType type);
  // Opens a font file, or finds the document opened from or saved to it; it becomes active.
  Status open(const QString& path, int& number);
  // Writes the document to its file path (creating the folder when missing) and
  // clears its unsaved mark. A failure leaves the old file and the mark as they were.
  // A document never saved or opened takes the next free Untitled-N when a file has
  // appeared under its default name since.
  Status save(int number);
  // Saves under a new path; on success the document takes that path and its name, and
  // a family not set before becomes that name. A path ending in ".woff2" is written
  // as WOFF2 (here and by later saves to it), any other as TrueType.
  Status saveAs(int number, const QString& path);
  // Closes without asking; the most recently opened remaining document becomes active.
  void close(int number);

  FontDocument* document(int number) const;  // nullptr unless open
  bool wasClosed(int number) const { return number > 0 && number < m_nextNumber && !document(number); }
  std::vector<int> numbers() const;  // open documents, ascending
  int active() const { return m_active; }  // 0 when no document is open
  FontDocument* activeDocument() const { return document(m_active); }
  void setActive(int number);
  // True while the document's file path is only its default claim (never saved or opened).
  bool isUntitled(int number) const { return m_untitled.count(number) != 0; }

  // Undoes or redoes the document's last step and announces it; false when there was none.
  bool undo(int number) { return stepHistory(number, &FontDocument::undo); }
  bool redo(int number) { return stepHistory(number, &FontDocument::redo); }

  // Announces a change made directly on document(number) (code, glyphs, marks).
  void notifyChanged(int number) { emit documentChanged(number); }
  // The user picked `code` in the window: it becomes the current code, and the pick is
  // announced even when the code was current already. False (nothing announced) for
  // a code outside the document's code set. Moves made over the bus do not come here.
  bool pickCode(int number, uint16_t code);
  // A line for the status bar: the last action or error.
  void report(const QString& text) { emit message(text); }

 signals:
  void documentAdded(int number);
  void documentClosed(int number);
  void documentChanged(int number);
  void activeChanged(int number);
  void codePicked(int number, int code);
  void message(const QString& text);

 private:
  int add(std::unique_ptr<FontDocument> document);
  int findByPath(const QString& absolutePath) const;
  QString freeUntitledName() const;
  Status write(int number, const QString& absolutePath);
  bool stepHistory(int number, bool (FontDocument::*step)());
  void scheduleRecovery(int number);
  Status copyModified();
  Status writeRecovery(int number);
  void dropRecovery(int number);

  std::map<int, std::unique_ptr<FontDocument>> m_documents;
  int m_nextNumber = 1;
  std::set<int> m_untitled;  // documents whose path is a default claim
  int m_active = 0;
  QString m_documentsFolder;
  RecoveryStore m_recovery;
  QTimer m_recoveryTimer;
  std::map<int, uint64_t> m_copiedRevision;  // documents with a recovery copy, and of what
};

}  // namespace kernova
