// The editor's open documents: numbering, the active document, saving and opening.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestBitmap.h"
#include "kernova/app/DocumentSet.h"

namespace kernova {
namespace {

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_set.setDocumentsFolder(m_dir.filePath("Documents"));
    QObject::connect(&m_set, &DocumentSet::activeChanged, [this](int n) { m_activeSignals.push_back(n); });
    QObject::connect(&m_set, &DocumentSet::documentChanged, [this](int n) { m_changedSignals.push_back(n); });
  }

  // Gives the current glyph a square outline, as an import would.
  void draw(int number) {
    FontDocument* doc = m_set.document(number);
    Glyph& glyph = doc->glyphForEdit(doc->currentCode());
    glyph.contours.push_back({{100, 0, true}, {100, 1000, true}, {900, 1000, true}, {900, 0, true}});
  }

  QString path(const QString& name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  DocumentSet m_set;
  std::vector<int> m_activeSignals;
  std::vector<int> m_changedSignals;
};

TEST_F(Documents, NewDocumentsAreNumberedAndNamedUntitledInTheDocumentsFolder) {
  EXPECT_EQ(m_set.active(), 0);
  EXPECT_EQ(m_set.create(FontType::Latin), 1);
  EXPECT_EQ(m_set.create(FontType::Japanese), 2);
  EXPECT_EQ(m_set.active(), 2);
  EXPECT_EQ(m_activeSignals, (std::vector<int>{1, 2}));
  const FontDocument* second = m_set.document(2);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->name(), "Untitled-2");
  EXPECT_EQ(second->type(), FontType::Japanese);
  EXPECT_EQ(QString::fromStdString(second->filePath()), path("Documents/Untitled-2.ttf"));
  EXPECT_FALSE(second->modified());
}

TEST_F(Documents, NumbersAreNeverReusedAfterClose) {
  m_set.create(FontType::Latin);
  m_set.close(1);
  EXPECT_EQ(m_set.document(1), nullptr);
  EXPECT_TRUE(m_set.wasClosed(1));
  EXPECT_EQ(m_set.create(FontType::Latin), 2);
  EXPECT_FALSE(m_set.wasClosed(2));
  EXPECT_FALSE(m_set.wasClosed(3)) << "a number never handed out was not closed";
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{2}));
}

TEST_F(Documents, ClosingTheActiveDocumentActivatesTheNewestRemaining) {
  for (int i = 0; i < 3; ++i) m_set.create(FontType::Latin);
  m_set.setActive(1);
  m_set.close(1);
  EXPECT_EQ(m_set.active(), 3);
  m_set.close(2);
  EXPECT_EQ(m_set.active(), 3) << "closing another document keeps the active one";
  m_set.close(3);
  EXPECT_EQ(m_set.active(), 0);
  EXPECT_EQ(m_set.activeDocument(), nullptr);
  m_set.setActive(2);
  EXPECT_EQ(m_set.active(), 0) << "a closed document cannot become active";
}

TEST_F(Documents, SaveCreatesTheMissingFolderAndClearsTheUnsavedMark) {
  m_set.setDocumentsFolder(path("not/yet/there"));
  const int n = m_set.create(FontType::Latin);
  draw(n);
  ASSERT_TRUE(m_set.document(n)->modified());
  m_changedSignals.clear();
  const Status status = m_set.save(n);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(QFile::exists(path("not/yet/there/Untitled-1.ttf")));
  EXPECT_FALSE(m_set.document(n)->modified());
  EXPECT_EQ(m_changedSignals, (std::vector<int>{n})) << "the window must drop its unsaved mark";
}

TEST_F(Documents, FailedSaveKeepsTheUnsavedMark) {
  QFile blocker(path("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  m_set.setDocumentsFolder(path("file/sub"));  // a folder that cannot be made
  const int n = m_set.create(FontType::Latin);
  draw(n);
  const Status status = m_set.save(n);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
  EXPECT_TRUE(m_set.document(n)->modified());
}

TEST_F(Documents, SaveAsTakesThePathAndNameOnlyOnSuccess) {
  const int n = m_set.create(FontType::Latin);
  draw(n);
  QFile blocker(path("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_FALSE(m_set.saveAs(n, path("blocker/font.ttf")).ok());
  EXPECT_EQ(m_set.document(n)->name(), "Untitled-1");
  EXPECT_TRUE(m_set.document(n)->modified());

  ASSERT_TRUE(m_set.saveAs(n, path("Brush Script.ttf")).ok());
  EXPECT_EQ(m_set.document(n)->name(), "Brush Script");
  EXPECT_EQ(QString::fromStdString(m_set.document(n)->filePath()), path("Brush Script.ttf"));
  EXPECT_FALSE(m_set.document(n)->modified());
}

TEST_F(Documents, SaveAsRefusesTheFileOfAnotherOpenDocument) {
  const int first = m_set.create(FontType::Latin);
  ASSERT_TRUE(m_set.saveAs(first, path("one.ttf")).ok());
  const int second = m_set.create(FontType::Latin);
  draw(second);
  EXPECT_FALSE(m_set.saveAs(second, path("one.ttf")).ok());
  EXPECT_TRUE(m_set.document(second)->modified());
}

TEST_F(Documents, OpenReadsAFontOnceAndFindsItWhenOpenAgain) {
  const int created = m_set.create(FontType::Latin);
  m_set.document(created)->setCurrentCode(0x41);
  draw(created);
  ASSERT_TRUE(m_set.saveAs(created, path("Sample.ttf")).ok());
  m_set.close(created);

  int number = 0;
  const Status status = m_set.open(path("Sample.ttf"), number);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(number, 2);
  const FontDocument* opened = m_set.document(number);
  EXPECT_EQ(opened->name(), "Sample");
  EXPECT_EQ(opened->type(), FontType::Latin);
  EXPECT_FALSE(opened->modified());
  ASSERT_NE(opened->glyph(0x41), nullptr);
  EXPECT_FALSE(opened->glyph(0x41)->empty());

  m_set.create(FontType::Latin);
  int again = 0;
  ASSERT_TRUE(m_set.open(QDir(m_dir.path()).filePath("./Sample.ttf"), again).ok());
  EXPECT_EQ(again, number);
  EXPECT_EQ(m_set.active(), number);
  EXPECT_EQ(m_set.numbers().size(), 2u);
}

TEST_F(Documents, OpeningAJunkFileFailsAndAddsNothing) {
  m_set.create(FontType::Latin);
  ASSERT_TRUE(testing::writeBytes(path("junk.ttf").toStdString(), {0, 1, 0, 0, 9, 9, 9}));
  int number = 0;
  const Status status = m_set.open(path("junk.ttf"), number);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{1}));
  EXPECT_EQ(m_set.active(), 1);
  EXPECT_FALSE(m_set.open(path("missing.ttf"), number).ok());
}

}  // namespace
}  // namespace kernova
