#pragma once
// Recovery copies of modified documents, kept where a crash cannot take them: in the
// user's state folder ($XDG_STATE_HOME/kernova/recovery), never beside the user's
// files. A copy is "<id>.ttf", the document as a font, written atomically, and after
// it "<id>.json" with what the font does not hold: the original
// path, the name and whether the path is only a default claim. A copy whose process
// no longer runs is recoverable; the next start opens it.
#include <QString>
#include <memory>
#include <vector>

#include "kernova/engine/FontDocument.h"
#include "common/Status.h"

namespace kernova {

struct RecoveryEntry {
  QString id;        // "<pid>-<store>-<number>": process, store in it, document
  QString filePath;  // where the document belongs
  QString name;
  bool untitled = false;
  bool familySet = true;  // false: the font's family only stands in for the name
};

class RecoveryStore {
 public:
  // An empty folder disables the store: nothing is written or found.
  explicit RecoveryStore(QString folder = {});
  static QString defaultFolder();

  const QString& folder() const { return m_folder; }
  bool enabled() const { return !m_folder.isEmpty(); }

  QString idFor(int number) const;  // this store's id of document `number`
  // Writes the copy and then its description; a failure leaves the last good copy.
  Status write(const RecoveryEntry& entry, const FontDocument& document) const;
  void remove(const QString& id) const;
  // Copies left by processes that have ended, oldest first. Of this process only this
  // store's copies count as live: the others' can be from an earlier process whose id
  // this one has been given.
  std::vector<RecoveryEntry> recoverable() const;
  // Reads the document of a copy, with its path and name, marked modified.
  Status load(const RecoveryEntry& entry, std::unique_ptr<FontDocument>& document) const;

 private:
  QString pathOf(const QString& id, const char* suffix) const;

  QString m_folder;
  int m_serial;  // tells the stores of one process apart
};

}  // namespace kernova
