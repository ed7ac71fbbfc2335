// The editor's open documents: the active document, saving and opening, recovery
// copies. Numbering and failed calls as a client sees them are the bus test's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "tests/kernova/app/TestBitmap.h"
#include "kernova/app/DocumentSet.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/support/FileBytes.h"

namespace kernova {
namespace {

class Documents : public ::testing::Test {
 protected:
  void SetUp() override { m_set.setDocumentsFolder(m_dir.filePath("Documents")); }

  int drawn() {  // a Latin document whose 'A' has a square outline
    const int n = m_set.create(FontType::Latin);
    m_set.document(n)->glyphForEdit('A').contours.push_back({{100, 0}, {100, 1000}, {900, 1000}, {900, 0}});
    return n;
  }

  QString path(const QString& name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  DocumentSet m_set;
  QStringList m_messages;
};

TEST_F(Documents, ClosingTheActiveDocumentActivatesTheNewestRemaining) {
  for (int i = 0; i < 3; ++i) m_set.create(FontType::Latin);
  m_set.setActive(1);
  m_set.close(1);
  EXPECT_EQ(m_set.active(), 3);
  m_set.close(2);
  m_set.setActive(2);
  EXPECT_EQ(m_set.active(), 3) << "a closed document cannot become active";
  m_set.close(3);
  EXPECT_EQ(m_set.activeDocument(), nullptr);
}

TEST_F(Documents, OnlyASuccessfulSaveClearsTheUnsavedMarkOrRenames) {
  const int first = drawn(), second = drawn();
  std::vector<int> changed;
  QObject::connect(&m_set, &DocumentSet::documentChanged, [&](int n) { changed.push_back(n); });
  ASSERT_TRUE(m_set.save(first).ok());
  EXPECT_FALSE(m_set.document(first)->modified());
  EXPECT_EQ(changed, (std::vector<int>{first})) << "the window must drop its unsaved mark";
  EXPECT_FALSE(m_set.saveAs(second, m_dir.filePath("Documents/Untitled-1.ttf")).ok()) << "another document's file";
  EXPECT_TRUE(m_set.document(second)->modified());
  ASSERT_TRUE(m_set.saveAs(second, m_dir.filePath("Brush Script.ttf")).ok());
  EXPECT_EQ(m_set.document(second)->name(), "Brush Script");
  EXPECT_FALSE(m_set.document(second)->modified());
}

TEST_F(Documents, OpenReadsAFontOnceAndFindsItWhenOpenAgain) {
  const int created = drawn();
  ASSERT_TRUE(m_set.saveAs(created, m_dir.filePath("Sample.ttf")).ok());
  m_set.close(created);
  int number = 0, again = 0;
  ASSERT_TRUE(m_set.open(m_dir.filePath("Sample.ttf"), number).ok());
  EXPECT_FALSE(m_set.document(number)->modified());
  EXPECT_FALSE(m_set.document(number)->glyph('A')->empty());
  m_set.create(FontType::Latin);
  ASSERT_TRUE(m_set.open(m_dir.path() + "/./Sample.ttf", again).ok());
  EXPECT_EQ(again, number);
  EXPECT_EQ(m_set.active(), number);
  ASSERT_TRUE(testing::writeBytes(m_dir.filePath("junk.ttf").toStdString(), {0, 1, 0, 0, 9, 9, 9}));
  EXPECT_FALSE(m_set.open(m_dir.filePath("junk.ttf"), again).ok());
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{2, 3}));
}

// Yesterday's Untitled-1.ttf must survive today's first font and its save.
TEST_F(Documents, UntitledDefaultsNeverReplaceAFileNorCountAsOpen) {
  const int yesterday = drawn();
  ASSERT_TRUE(m_set.save(yesterday).ok());
  m_set.close(yesterday);
  const std::string kept = readBytes(path("Documents/Untitled-1.ttf").toStdString());
  const int today = drawn();
  EXPECT_EQ(m_set.document(today)->name(), "Untitled-2") << "the file takes the name";
  const int other = drawn();
  ASSERT_TRUE(testing::writeBytes(path("Documents/Untitled-3.ttf").toStdString(), {1}));
  ASSERT_TRUE(m_set.save(other).ok());
  EXPECT_EQ(m_set.document(other)->filePath(), path("Documents/Untitled-4.ttf").toStdString());
  EXPECT_EQ(readBytes(path("Documents/Untitled-3.ttf").toStdString()), std::string(1, 1));
  EXPECT_EQ(readBytes(path("Documents/Untitled-1.ttf").toStdString()), kept);
  int number = 0;  // today's document only claims Untitled-2.ttf
  ASSERT_TRUE(m_set.saveAs(other, path("Documents/Untitled-2.ttf")).ok());
  ASSERT_TRUE(m_set.open(path("Documents/Untitled-2.ttf"), number).ok());
  EXPECT_EQ(number, other);
  ASSERT_TRUE(m_set.open(path("Documents/Untitled-1.ttf"), number).ok());
  EXPECT_NE(number, today);
}

// What a crash leaves: an untitled and an opened document, both changed, come back
// under their names and paths, modified, with their glyphs; the copies move to the
// editor that recovered them.
TEST_F(Documents, ChangedDocumentsComeBackFromTheirRecoveryCopies) {
  m_set.setRecoveryFolder(path("state"));
  const int untitled = drawn(), opened = drawn();
  ASSERT_TRUE(m_set.saveAs(opened, path("Opened.ttf")).ok());
  m_set.document(opened)->glyphForEdit(0x42) = *m_set.document(opened)->glyph(0x41);
  m_set.notifyChanged(opened);
  EXPECT_TRUE(m_set.recoveryPending()) << "a change starts the timer";
  ASSERT_TRUE(m_set.flushRecovery().ok());
  const std::string font = readBytes(path("Opened.ttf").toStdString());

  DocumentSet next;
  next.setRecoveryFolder(path("state"));
  const std::vector<RecoveryEntry> entries = next.recoverable();
  ASSERT_EQ(entries.size(), 2u);
  for (const RecoveryEntry& entry : entries) {
    int n = 0;
    ASSERT_TRUE(next.openRecovered(entry, n).ok());
    const int old = entry.name == "Opened" ? opened : untitled;
    EXPECT_EQ(next.document(n)->filePath(), m_set.document(old)->filePath());
    EXPECT_EQ(compileTrueType(*next.document(n)), compileTrueType(*m_set.document(old)));
    EXPECT_TRUE(next.document(n)->modified());
    EXPECT_EQ(next.isUntitled(n), old == untitled);
  }
  EXPECT_EQ(readBytes(path("Opened.ttf").toStdString()), font) << "the user's file is left alone";
  EXPECT_EQ(QDir(path("state")).entryList(QDir::Files).size(), 4) << "one copy each, now of `next`";
  EXPECT_TRUE(next.recoverable().empty()) << "this process's copies are taken";
}

// Each row ends a document's unsaved state in another way; its copy must go.
TEST_F(Documents, SaveCloseUndoAndQuitRemoveTheCopyAndAFailedCopyIsReported) {
  const std::vector<std::pair<const char*, std::function<void(DocumentSet&, int)>>> endings = {
      {"save", [](DocumentSet& set, int n) { ASSERT_TRUE(set.save(n).ok()); }},
      {"close", [](DocumentSet& set, int n) { set.close(n); }},
      {"undo", [](DocumentSet& set, int n) { ASSERT_TRUE(set.undo(n)); }},
      {"quit", [](DocumentSet&, int) {}},
  };
  for (const auto& [name, end] : endings) {
    SCOPED_TRACE(name);
    QTemporaryDir state;
    auto set = std::make_unique<DocumentSet>();
    set->setDocumentsFolder(path("Documents"));
    set->setRecoveryFolder(state.path());
    const int n = set->create(FontType::Latin);
    set->document(n)->glyphForEdit(0x41).contours.push_back({{0, 0}, {0, 9}, {9, 9}});
    set->document(n)->setModified(false);  // as saved
    ASSERT_TRUE(set->document(n)->setSideBearings(5, 5).ok());
    ASSERT_TRUE(set->flushRecovery().ok());
    ASSERT_EQ(QDir(state.path()).entryList(QDir::Files).size(), 2);
    end(*set, n);
    if (std::string(name) == "quit") set.reset();
    else ASSERT_TRUE(set->flushRecovery().ok());
    EXPECT_TRUE(QDir(state.path()).entryList(QDir::Files).isEmpty());
  }
  m_set.setRecoveryFolder(path("Documents/Untitled-1.ttf/state"));
  const int n = drawn();
  ASSERT_TRUE(m_set.save(n).ok());
  m_set.document(n)->glyphForEdit(0x42);
  QObject::connect(&m_set, &DocumentSet::message, [this](const QString& text) { m_messages << text; });
  EXPECT_FALSE(m_set.flushRecovery().ok()) << "the folder cannot be made under a file";
  EXPECT_EQ(m_messages.size(), 1);
  EXPECT_TRUE(m_set.document(n)->modified());
}

}  // namespace
}  // namespace kernova

// The recovery timer needs an application object.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
