#include "kernova/app/DocumentSet.h"

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <QFileInfo>
#include <QStandardPaths>

#include "kernova/engine/TrueTypeReader.h"
#include "kernova/engine/TrueTypeWriter.h"

namespace kernova {
namespace {

QString qString(const std::string& text) { return QString::fromStdString(text); }

Status makeParentFolder(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (QDir().mkpath(folder)) return Status::success();
  return Status::failure("cannot create the folder " + folder.toStdString());
}

}  // namespace

DocumentSet::DocumentSet(QObject* parent)
    : QObject(parent),
      m_documentsFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) {
  m_recoveryTimer.setSingleShot(true);
  m_recoveryTimer.setInterval(kRecoveryDelayMs);
  connect(&m_recoveryTimer, &QTimer::timeout, this, &DocumentSet::flushRecovery);
  connect(this, &DocumentSet::documentChanged, this, &DocumentSet::scheduleRecovery);
}

// Only a clean quit destroys the set; a crash leaves the copies for the next start.
DocumentSet::~DocumentSet() {
  for (const auto& entry : m_copiedRevision) m_recovery.remove(m_recovery.idFor(entry.first));
}

void DocumentSet::scheduleRecovery(int number) {
  const FontDocument* doc = document(number);
  if (!m_recovery.enabled() || !doc) return;
  const auto copied = m_copiedRevision.find(number);
  const bool current = doc->modified() ? copied != m_copiedRevision.end() && copied->second == doc->revision()
                                       : copied == m_copiedRevision.end();
  // Not restarted by later changes, so a stream of changes is still copied.
  if (!current && !m_recoveryTimer.isActive()) m_recoveryTimer.start();
}

// A large font takes long to copy (a 7,000-glyph one about a second): the next copy
// waits at least ten times as long as this one took, so that copying never takes more
// than a tenth of the editor's time while glyphs keep arriving.
Status DocumentSet::flushRecovery() {
  m_recoveryTimer.stop();
  QElapsedTimer copying;
  copying.start();
  const Status first = copyModified();
  m_recoveryTimer.setInterval(int(std::max<qint64>(kRecoveryDelayMs, copying.elapsed() * 10)));
  return first;
}

Status DocumentSet::copyModified() {
  Status first = Status::success();
  for (const auto& [number, doc] : m_documents) {
    const auto copied = m_copiedRevision.find(number);
    if (!doc->modified()) {
      if (copied != m_copiedRevision.end()) dropRecovery(number);
      continue;
    }
    if (copied != m_copiedRevision.end() && copied->second == doc->revision()) continue;
    Status status = writeRecovery(number);
    if (!status) {
      report(QStringLiteral("Recovery copy of %1 failed: %2").arg(qString(doc->name()), qString(status.message())));
      if (first) first = status;
    }
  }
  return first;
}

Status DocumentSet::writeRecovery(int number) {
  const FontDocument& doc = *document(number);
  const RecoveryEntry entry{m_recovery.idFor(number), qString(doc.filePath()), qString(doc.name()),
                            isUntitled(number)};
  Status status = m_recovery.write(entry, doc);
  if (status) m_copiedRevision[number] = doc.revision();
  return status;
}

void DocumentSet::dropRecovery(int number) {
  if (m_copiedRevision.erase(number) != 0) m_recovery.remove(m_recovery.idFor(number));
}

Status DocumentSet::openRecovered(const RecoveryEntry& entry, int& number) {
  std::unique_ptr<FontDocument> doc;
  if (Status status = m_recovery.load(entry, doc); !status) return status;
  if (entry.untitled) m_untitled.insert(m_nextNumber);
  number = add(std::move(doc));
  const Status status = writeRecovery(number);
  if (status) m_recovery.remove(entry.id);
  return status;
}

QString DocumentSet::freeUntitledName() const {
  for (int n = 1;; ++n) {
    const QString name = QStringLiteral("Untitled-%1").arg(n);
    const QString file = QDir(m_documentsFolder).filePath(name + ".ttf");
    bool used = QFileInfo::exists(file) || QFileInfo(file).isSymLink();
    for (const auto& [number, doc] : m_documents)
      used = used || qString(doc->name()) == name || qString(doc->filePath()) == file;
    if (!used) return name;
  }
}

int DocumentSet::create(FontType type) {
  const QString name = freeUntitledName();
  auto document = std::make_unique<FontDocument>(type, name.toStdString());
  document->setFilePath(QDir(m_documentsFolder).filePath(name + ".ttf").toStdString());
  const int number = m_nextNumber;
  m_untitled.insert(number);
  return add(std::move(document));
}

Status DocumentSet::open(const QString& path, int& number) {
  const QString absolutePath = QFileInfo(path).absoluteFilePath();
  number = findByPath(absolutePath);
  if (number != 0) {
    setActive(number);
    return Status::success();
  }
  std::unique_ptr<FontDocument> document;
  Status status = loadTrueType(absolutePath.toStdString(), document);
  if (!status) return status;
  if (!document) return Status::failure("reading " + absolutePath.toStdString() + " gave no document");
  document->setFilePath(absolutePath.toStdString());
  document->setName(QFileInfo(absolutePath).completeBaseName().toStdString());
  document->setModified(false);
  number = add(std::move(document));
  return Status::success();
}

Status DocumentSet::save(int number) {
  FontDocument* doc = document(number);
  if (!doc) return Status::failure("no open document " + std::to_string(number));
  QString path = qString(doc->filePath());
  if (isUntitled(number) && QFileInfo(path).exists()) {
    // Someone else's file has taken the default name since: never replace it.
    const QString name = freeUntitledName();
    path = QDir(m_documentsFolder).filePath(name + ".ttf");
    doc->setName(name.toStdString());
  }
  return write(number, path);
}

Status DocumentSet::write(int number, const QString& absolutePath) {
  FontDocument* doc = document(number);
  Status status = makeParentFolder(absolutePath);
  if (status) status = saveFont(*doc, absolutePath.toStdString());
  if (!status) return status;
  doc->setFilePath(absolutePath.toStdString());
  doc->setModified(false);
  m_untitled.erase(number);
  dropRecovery(number);
  emit documentChanged(number);
  return Status::success();
}

Status DocumentSet::saveAs(int number, const QString& path) {
  FontDocument* doc = document(number);
  if (!doc) return Status::failure("no open document " + std::to_string(number));
  const QString absolutePath = QFileInfo(path).absoluteFilePath();
  const int other = findByPath(absolutePath);
  if (other != 0 && other != number) {
    return Status::failure(absolutePath.toStdString() + " is open as another document");
  }
  // A family not yet set becomes the file's name at the first Save As and stays.
  const std::string oldName = doc->name();
  const FontInfo oldInfo = doc->fontInfo();
  const bool wasModified = doc->modified();
  doc->setName(QFileInfo(absolutePath).completeBaseName().toStdString());
  if (oldInfo.family.empty()) {
    FontInfo info = oldInfo;
    info.family = doc->name();
    doc->setFontInfo(std::move(info));
  }
  const Status status = write(number, absolutePath);
  if (!status) {
    doc->setName(oldName);
    doc->setFontInfo(oldInfo);
    if (!wasModified) doc->setModified(false);
  }
  return status;
}

void DocumentSet::close(int number) {
  if (m_documents.erase(number) == 0) return;
  dropRecovery(number);
  m_untitled.erase(number);
  emit documentClosed(number);
  if (m_active == number) setActive(m_documents.empty() ? 0 : m_documents.rbegin()->first);
}

FontDocument* DocumentSet::document(int number) const {
  const auto it = m_documents.find(number);
  return it == m_documents.end() ? nullptr : it->second.get();
}

std::vector<int> DocumentSet::numbers() const {
  std::vector<int> result;
  for (const auto& entry : m_documents) result.push_back(entry.first);
  return result;
}

void DocumentSet::setActive(int number) {
  if (number != 0 && !document(number)) return;
  if (number == m_active) return;
  m_active = number;
  emit activeChanged(number);
}

bool DocumentSet::pickCode(int number, uint16_t code) {
  FontDocument* doc = document(number);
  if (!doc || !doc->codeOrder().contains(code)) return false;
  doc->setCurrentCode(code);
  emit documentChanged(number);
  emit codePicked(number, code);
  return true;
}

bool DocumentSet::stepHistory(int number, bool (FontDocument::*step)()) {
  FontDocument* doc = document(number);
  if (!doc || !(doc->*step)()) return false;
  emit documentChanged(number);
  return true;
}

int DocumentSet::add(std::unique_ptr<FontDocument> document) {
  const int number = m_nextNumber++;
  m_documents.emplace(number, std::move(document));
  emit documentAdded(number);
  setActive(number);
  return number;
}

int DocumentSet::findByPath(const QString& absolutePath) const {
  for (const auto& [number, doc] : m_documents) {
    if (isUntitled(number)) continue;  // a default name is no file of its own
    if (QFileInfo(qString(doc->filePath())).absoluteFilePath() == absolutePath) return number;
  }
  return 0;
}

}  // namespace kernova
