// The editor's open documents: the active document, saving and opening, default
// names, recovery copies. Numbering and failed calls as a client sees them are the bus test's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "kernova/app/DocumentSet.h"
#include "kernova/engine/TrueTypeWriter.h"
#include "tests/support/FileBytes.h"

namespace kernova {
namespace {

class Documents : public ::testing::Test {
 protected:
  void SetUp() override { m_set.setDocumentsFolder(path("Documents")); }

  int drawn() {  // a Latin document whose 'A' has a square outline
    const int n = m_set.create(FontType::Latin);
    m_set.document(n)->glyphForEdit('A').contours.push_back({{100, 0}, {100, 1000}, {900, 1000}, {900, 0}});
    return n;
  }
  QString path(const QString& name) const { return m_dir.filePath(name); }
  int copies() const { return int(QDir(path("state")).entryList(QDir::Files).size()); }

  QTemporaryDir m_dir;
  DocumentSet m_set;
};

// A failed Save As (a file open as another document; a folder that cannot be made)
// keeps the name, the family and the unsaved mark; the first Save As names the family.
// A font is read once and found when open again; closing the active document
// activates the newest remaining one.
TEST_F(Documents, OnlyASuccessfulSaveRenamesAndOpenFindsAnOpenFont) {
  const int first = drawn(), second = drawn();
  ASSERT_TRUE(m_set.save(first).ok());
  for (const QString& taken : {path("Documents/Untitled-1.ttf"), QString("/proc/kernova/font.ttf")}) {
    EXPECT_FALSE(m_set.saveAs(second, taken).ok()) << taken.toStdString();
    EXPECT_EQ(m_set.document(second)->familyName(), "Untitled-2");
    EXPECT_TRUE(m_set.document(second)->modified());
  }
  ASSERT_TRUE(m_set.saveAs(second, path("Brush Script.ttf")).ok());
  ASSERT_TRUE(m_set.saveAs(second, path("Other.ttf")).ok());
  EXPECT_EQ(m_set.document(second)->name(), "Other");
  EXPECT_EQ(m_set.document(second)->familyName(), "Brush Script");
  m_set.close(second);
  int number = 0, again = 0;
  ASSERT_TRUE(m_set.open(path("Other.ttf"), number).ok());
  EXPECT_FALSE(m_set.document(number)->modified());
  EXPECT_FALSE(m_set.pickCode(number, 0x8140)) << "no Latin code";
  m_set.create(FontType::Latin);
  ASSERT_TRUE(m_set.open(m_dir.path() + "/./Other.ttf", again).ok());
  EXPECT_EQ(again, number);
  EXPECT_EQ(m_set.active(), number);
  writeBytes(path("junk.ttf").toStdString(), std::string{0, 1, 0, 0, 9, 9, 9});
  EXPECT_FALSE(m_set.open(path("junk.ttf"), again).ok());
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{1, 3, 4}));
  m_set.close(number);
  m_set.setActive(number);
  EXPECT_EQ(m_set.active(), 4) << "a closed document cannot become active";
}

// Yesterday's Untitled-1.ttf must survive today's first font and its save.
TEST_F(Documents, UntitledDefaultsNeverReplaceAFileNorCountAsOpen) {
  const int yesterday = drawn();
  ASSERT_TRUE(m_set.save(yesterday).ok());
  m_set.close(yesterday);
  const int today = drawn();
  EXPECT_EQ(m_set.document(today)->name(), "Untitled-2") << "the file takes the name";
  const int other = drawn();
  writeBytes(path("Documents/Untitled-3.ttf").toStdString(), "someone else's");
  ASSERT_TRUE(m_set.save(other).ok());
  EXPECT_EQ(m_set.document(other)->filePath(), path("Documents/Untitled-4.ttf").toStdString());
  EXPECT_TRUE(m_set.saveAs(other, path("Documents/Untitled-2.ttf")).ok()) << "today's document only claims it";
}

// Every changed document has a copy (two files) until it is saved, closed or undone to
// its saved state. What a crash leaves, an untitled and an opened document, comes back
// under their names and paths, modified, with their glyphs; the copies move to the
// editor that recovered them, and its clean quit removes them. A copy that cannot be
// written is reported.
TEST_F(Documents, ChangedDocumentsComeBackFromTheirRecoveryCopies) {
  m_set.setRecoveryFolder(path("state"));
  const int untitled = drawn(), opened = drawn(), saved = drawn(), closed = drawn(), undone = drawn();
  ASSERT_TRUE(m_set.saveAs(opened, path("Opened.ttf")).ok());
  m_set.document(opened)->glyphForEdit(0x42) = *m_set.document(opened)->glyph(0x41);
  m_set.document(undone)->setModified(false);  // as saved
  ASSERT_TRUE(m_set.document(undone)->setSideBearings(5, 5).ok());
  m_set.notifyChanged(opened);
  EXPECT_TRUE(m_set.recoveryPending()) << "a change starts the timer";
  ASSERT_TRUE(m_set.flushRecovery().ok());
  EXPECT_EQ(copies(), 10);
  ASSERT_TRUE(m_set.save(saved).ok());
  m_set.close(closed);
  ASSERT_TRUE(m_set.undo(undone));
  ASSERT_TRUE(m_set.flushRecovery().ok());
  EXPECT_EQ(copies(), 4);

  auto next = std::make_unique<DocumentSet>();
  next->setRecoveryFolder(path("state"));
  const std::vector<RecoveryEntry> entries = next->recoverable();
  ASSERT_EQ(entries.size(), 2u);
  for (const RecoveryEntry& entry : entries) {
    int n = 0;
    ASSERT_TRUE(next->openRecovered(entry, n).ok());
    const int old = entry.name == "Opened" ? opened : untitled;
    EXPECT_EQ(next->document(n)->filePath(), m_set.document(old)->filePath());
    EXPECT_EQ(compileTrueType(*next->document(n)), compileTrueType(*m_set.document(old)));
    EXPECT_TRUE(next->document(n)->modified());
    EXPECT_EQ(next->isUntitled(n), old == untitled);
  }
  EXPECT_EQ(copies(), 4) << "one copy each, now of `next`";
  EXPECT_TRUE(next->recoverable().empty()) << "this process's copies are taken";
  next.reset();
  EXPECT_EQ(copies(), 0);
  m_set.setRecoveryFolder(path("Opened.ttf/state"));  // cannot be made under a file
  m_set.document(untitled)->glyphForEdit(0x43);
  QStringList messages;
  QObject::connect(&m_set, &DocumentSet::message, [&](const QString& text) { messages << text; });
  EXPECT_FALSE(m_set.flushRecovery().ok());
  EXPECT_EQ(messages.size(), 1) << "a failed copy is reported";
}

}  // namespace
}  // namespace kernova

// The recovery timer needs an application object.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
