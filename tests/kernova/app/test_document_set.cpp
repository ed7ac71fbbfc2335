// The editor's open documents: the active document, saving and opening. Numbering and
// failed calls as a client sees them are the bus test's.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestBitmap.h"
#include "kernova/app/DocumentSet.h"

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

  QTemporaryDir m_dir;
  DocumentSet m_set;
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

}  // namespace
}  // namespace kernova
