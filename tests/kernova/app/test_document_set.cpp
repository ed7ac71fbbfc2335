// The editor's open documents: the active document, saving and opening. Numbering,
// names and failed calls are covered through the bus in test_bus_service.cpp.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/kernova/app/TestBitmap.h"
#include "kernova/app/DocumentSet.h"

namespace kernova {
namespace {

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    m_set.setDocumentsFolder(path("Documents"));
    QObject::connect(&m_set, &DocumentSet::activeChanged, [this](int n) { m_activeSignals.push_back(n); });
    QObject::connect(&m_set, &DocumentSet::documentChanged, [this](int n) { m_changedSignals.push_back(n); });
  }

  // A Latin document whose glyph 'A' has a square outline, as an import would give.
  int drawn() {
    const int n = m_set.create(FontType::Latin);
    m_set.document(n)->glyphForEdit(0x41).contours.push_back(
        {{100, 0, true}, {100, 1000, true}, {900, 1000, true}, {900, 0, true}});
    return n;
  }

  QString path(const QString& name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  DocumentSet m_set;
  std::vector<int> m_activeSignals, m_changedSignals;
};

TEST_F(Documents, ClosingTheActiveDocumentActivatesTheNewestRemaining) {
  for (int i = 0; i < 3; ++i) m_set.create(FontType::Latin);
  EXPECT_EQ(m_activeSignals, (std::vector<int>{1, 2, 3}));
  m_set.setActive(1);
  m_set.close(1);
  EXPECT_EQ(m_set.active(), 3);
  m_set.close(2);
  EXPECT_EQ(m_set.active(), 3) << "closing another document keeps the active one";
  m_set.setActive(2);
  EXPECT_EQ(m_set.active(), 3) << "a closed document cannot become active";
  EXPECT_TRUE(m_set.wasClosed(2));
  EXPECT_FALSE(m_set.wasClosed(4)) << "a number never handed out was not closed";
  m_set.close(3);
  EXPECT_EQ(m_set.activeDocument(), nullptr);
}

TEST_F(Documents, OnlyASuccessfulSaveClearsTheUnsavedMarkOrRenames) {
  const int first = drawn(), second = drawn();
  m_changedSignals.clear();
  ASSERT_TRUE(m_set.save(first).ok());
  EXPECT_FALSE(m_set.document(first)->modified());
  EXPECT_EQ(m_changedSignals, (std::vector<int>{first})) << "the window must drop its unsaved mark";
  const Status taken = m_set.saveAs(second, path("Documents/Untitled-1.ttf"));
  EXPECT_FALSE(taken.ok()) << "the file of another open document";
  EXPECT_FALSE(taken.message().empty());
  EXPECT_TRUE(m_set.document(second)->modified());
  ASSERT_TRUE(m_set.saveAs(second, path("Brush Script.ttf")).ok());
  EXPECT_EQ(m_set.document(second)->name(), "Brush Script");
  EXPECT_FALSE(m_set.document(second)->modified());
}

TEST_F(Documents, OpenReadsAFontOnceAndFindsItWhenOpenAgain) {
  const int created = drawn();
  ASSERT_TRUE(m_set.saveAs(created, path("Sample.ttf")).ok());
  m_set.close(created);
  int number = 0, again = 0;
  ASSERT_TRUE(m_set.open(path("Sample.ttf"), number).ok());
  const FontDocument* opened = m_set.document(number);
  EXPECT_EQ(opened->type(), FontType::Latin);
  EXPECT_FALSE(opened->modified());
  ASSERT_NE(opened->glyph(0x41), nullptr);
  EXPECT_FALSE(opened->glyph(0x41)->empty());
  m_set.create(FontType::Latin);
  ASSERT_TRUE(m_set.open(m_dir.path() + "/./Sample.ttf", again).ok());
  EXPECT_EQ(again, number);
  EXPECT_EQ(m_set.active(), number);
  ASSERT_TRUE(testing::writeBytes(path("junk.ttf").toStdString(), {0, 1, 0, 0, 9, 9, 9}));
  EXPECT_FALSE(m_set.open(path("junk.ttf"), again).ok());
  EXPECT_EQ(m_set.numbers(), (std::vector<int>{2, 3}));
  EXPECT_EQ(m_set.active(), number);
}

}  // namespace
}  // namespace kernova
