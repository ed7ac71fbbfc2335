#pragma once
// The Coverage panel: one line per character set of the active document, "name
// drawn / total". Clicking a line asks for the grid to be filtered to that set's
// missing characters; the line of the set being filtered is shown checked.
#include <QListWidget>

#include "kernova/engine/FontDocument.h"

namespace kernova {

class CoveragePanel : public QListWidget {
  Q_OBJECT

 public:
  explicit CoveragePanel(QWidget* parent = nullptr);

  // Shows the counts of `document` (nullptr: nothing); no set is marked filtered.
  void setDocument(const FontDocument* document);
  void refresh();  // recounts after a change of the document
  void setFilteredSet(int index);  // -1: none
  int filteredSet() const { return m_filteredSet; }

 signals:
  void setClicked(int index);  // index into coverageSets(type)

 private:
  const FontDocument* m_document = nullptr;
  int m_filteredSet = -1;
};

}  // namespace kernova
