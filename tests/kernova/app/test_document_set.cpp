// The editor's open documents: numbering, the active document, saving and opening.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestBitmap.h"
#include "kernova/app/DocumentSet.h"

namespace kernova {
namespace {

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    m_set.setDocumentsFolder(path("not/yet/there"));
    QObject::connect(&m_set, &DocumentSet::activeChanged, [this](int n) { m_activeSignals.push_back(n); });
    QObject::connect(&m_set, &DocumentSet::documentChanged, [this](int n) { m_changedSignals.push_back(n); });
  }

  // A Latin document whose glyph 'A' has a square outline, as an import would give.
  int drawn() {
    const int n = m_set.create(FontType::Latin);
    FontDocument* doc = m_set.document(n);
    doc->setCurrentCode(0x41);
    doc->glyphForEdit(0x41).contours.push_back({{100, 0, true}, {100, 1000, true}, {900, 1000, true}, {900, 0, true}});
    return n;
  }

  QString path(const QString& name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  DocumentSet m_set;
  std::vector<int> m_activeSignals, m_changedSignals;
};

TEST_F(Documents, NumbersAreNeverReusedAndClosingTheActiveOneActivatesTheNewest) {
  EXPECT_EQ(m_set.active(), 0);
  for (int expected : {1, 2, 3}) EXPECT_EQ(m_set.create(expected == 2 ? FontType::Japanese : FontType::Latin), expected);
  EXPECT_EQ(m_activeSignals, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(m_set.document(2)->name(), "Untitled-2");
  EXPECT_EQ(m_set.document(2)->type(), FontType::Japanese);
  EXPECT_EQ(QString::fromStdString(m_set.document(2)->filePath()), path("not/yet/there/Untitled-2.ttf"));
  m_set.setActive(1);
  m_set.close(1);
  EXPECT_EQ(m_set.active(), 3);
  m_set.close(2);
  EXPECT_EQ(m_set.active(), 3) << "closing another document keeps the active one";
  EXPECT_TRUE(m_set.wasClosed(1));
  EXPECT_FALSE(m_set.wasClosed(4)) << "a number never handed out was not closed";
  m_set.setActive(2);
  EXPECT_EQ(m_set.active(), 3) << "a closed document cannot become active";
  EXPECT_EQ(m_set.create(FontType::Latin), 4);
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{3, 4}));
}

TEST_F(Documents, OnlyASuccessfulSaveClearsTheUnsavedMarkOrRenames) {
  const int n = drawn();
  m_changedSignals.clear();
  ASSERT_TRUE(m_set.save(n).ok()) << "save makes the missing folder";
  EXPECT_TRUE(QFile::exists(path("not/yet/there/Untitled-1.ttf")));
  EXPECT_FALSE(m_set.document(n)->modified());
  EXPECT_EQ(m_changedSignals, (std::vector<int>{n})) << "the window must drop its unsaved mark";

  ASSERT_TRUE(testing::writeBytes(path("file").toStdString(), {1}));
  m_set.setDocumentsFolder(path("file/sub"));  // cannot be made
  const int second = drawn();
  for (const Status& status : {m_set.save(second), m_set.saveAs(second, path("file/font.ttf")),
                               m_set.saveAs(second, path("not/yet/there/Untitled-1.ttf"))}) {
    EXPECT_FALSE(status.ok()) << "the last one is the file of another open document";
    EXPECT_FALSE(status.message().empty());
  }
  EXPECT_TRUE(m_set.document(second)->modified());
  EXPECT_EQ(m_set.document(second)->name(), "Untitled-2");
  ASSERT_TRUE(m_set.saveAs(second, path("Brush Script.ttf")).ok());
  EXPECT_EQ(m_set.document(second)->name(), "Brush Script");
  EXPECT_FALSE(m_set.document(second)->modified());
}

TEST_F(Documents, OpenReadsAFontOnceAndRefusesJunk) {
  const int created = drawn();
  ASSERT_TRUE(m_set.saveAs(created, path("Sample.ttf")).ok());
  m_set.close(created);
  int number = 0;
  ASSERT_TRUE(m_set.open(path("Sample.ttf"), number).ok());
  EXPECT_EQ(number, 2);
  const FontDocument* opened = m_set.document(number);
  EXPECT_EQ(opened->name(), "Sample");
  EXPECT_EQ(opened->type(), FontType::Latin);
  EXPECT_FALSE(opened->modified());
  ASSERT_NE(opened->glyph(0x41), nullptr);
  EXPECT_FALSE(opened->glyph(0x41)->empty());

  m_set.create(FontType::Latin);
  int again = 0;
  ASSERT_TRUE(m_set.open(m_dir.path() + "/./Sample.ttf", again).ok());
  EXPECT_EQ(again, number);
  EXPECT_EQ(m_set.active(), number);
  ASSERT_TRUE(testing::writeBytes(path("junk.ttf").toStdString(), {0, 1, 0, 0, 9, 9, 9}));
  EXPECT_FALSE(m_set.open(path("junk.ttf"), again).ok());
  EXPECT_FALSE(m_set.open(path("missing.ttf"), again).ok());
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{2, 3}));
  EXPECT_EQ(m_set.active(), number);
}

}  // namespace
}  // namespace kernova
