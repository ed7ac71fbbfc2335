#include "kernova/app/CoveragePanel.h"

#include "kernova/engine/Coverage.h"

namespace kernova {

CoveragePanel::CoveragePanel(QWidget* parent) : QListWidget(parent) {
  setObjectName(QStringLiteral("coverage"));
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit setClicked(row(item)); });
}

void CoveragePanel::setDocument(const FontDocument* document) {
  m_document = document;
  m_filteredSet = -1;
  clear();
  if (!document) return;
  for (size_t i = 0; i < coverageSets(document->type()).size(); ++i) {
    auto* line = new QListWidgetItem(this);
    line->setFlags(Qt::ItemIsEnabled);
    line->setCheckState(Qt::Unchecked);
  }
  refresh();
}

void CoveragePanel::refresh() {
  if (!m_document) return;
  const std::vector<CoverageCount> counts = coverage(*m_document);
  for (int i = 0; i < count() && i < int(counts.size()); ++i) {
    item(i)->setText(tr("%1  %2 / %3")
                         .arg(QString::fromStdString(counts[size_t(i)].name))
                         .arg(counts[size_t(i)].drawn)
                         .arg(counts[size_t(i)].total));
  }
}

void CoveragePanel::setFilteredSet(int index) {
  m_filteredSet = index;
  for (int i = 0; i < count(); ++i) item(i)->setCheckState(i == index ? Qt::Checked : Qt::Unchecked);
}

}  // namespace kernova
