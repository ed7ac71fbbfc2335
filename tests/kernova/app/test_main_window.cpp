// The editor's window offscreen: the glyph grid, the current cell, the preview line,
// the title's unsaved mark, the undo keys, the questions before unsaved work is lost, the document
// switcher and the status bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "tests/kernova/app/TestBitmap.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MainWindow.h"
#include "kernova/app/PreviewLine.h"
#include "kernova/engine/Bmp.h"

namespace kernova {
namespace {

using Answer = MainWindow::UnsavedAnswer;

int darkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 100;
  return count;
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    m_documents.setDocumentsFolder(m_dir.path());
    m_window.setUnsavedQuestion([this](const QString& name) {
      m_asked.push_back(name);
      return m_asked.size() <= m_answers.size() ? m_answers[m_asked.size() - 1] : Answer::Cancel;
    });
    m_window.resize(700, 600);
    m_window.show();
  }

  // Traces the sample bitmap into 'A' of document `n`, as ImportBmpfile does.
  void import(int n) {
    kernova::InkBitmap ink;
    ASSERT_TRUE(kernova::readBmp(testing::sampleGlyphBmp(), ink).ok());
    ASSERT_TRUE(m_documents.document(n)->setCurrentCode('A'));
    ASSERT_TRUE(m_documents.document(n)->importBitmap(ink).ok());
    m_documents.notifyChanged(n);
  }

  void draw(int n) {  // a filled square in 'A', as an import gives
    m_documents.document(n)->glyphForEdit('A').contours.push_back({{200, 0}, {200, 1400}, {1800, 1400}, {1800, 0}});
    m_documents.notifyChanged(n);
  }
  int previewInk() { return darkPixels(m_window.preview()->strip()->grab().toImage()); }

  QTemporaryDir m_dir;
  DocumentSet m_documents;
  MainWindow m_window{m_documents};
  std::vector<QString> m_asked;
  std::vector<Answer> m_answers;
};

TEST_F(Window, GridHasOneCellPerCodeScrollsToTheLastAndFollowsTheWindowMenu) {
  m_documents.create(FontType::Latin);
  m_documents.create(FontType::Japanese);
  GlyphGrid* grid = m_window.grid();
  EXPECT_EQ(grid->cellCount(), int(CodeOrder::forType(FontType::Japanese).codes().size()));
  grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
  EXPECT_EQ(grid->lastVisibleIndex(), grid->cellCount() - 1);
  const QList<QAction*> actions = m_window.windowMenu()->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "Untitled-1");
  EXPECT_TRUE(actions[1]->isChecked());
  actions[0]->trigger();
  EXPECT_EQ(m_documents.active(), 1);
  EXPECT_EQ(grid->cellCount(), int(CodeOrder::forType(FontType::Latin).codes().size()));
}

TEST_F(Window, CurrentCellIsKeptInViewAndSetByAClick) {
  const int n = m_documents.create(FontType::Japanese);
  const std::vector<uint16_t>& codes = m_documents.document(n)->codeOrder().codes();
  const int index = int(codes.size()) - 3;
  ASSERT_TRUE(m_documents.document(n)->setCurrentCode(codes[size_t(index)]));
  m_documents.notifyChanged(n);
  GlyphGrid* grid = m_window.grid();
  EXPECT_LE(index, grid->lastVisibleIndex());
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(index - 1).center());
  EXPECT_EQ(m_documents.document(n)->currentCode(), codes[size_t(index - 1)]);
}

TEST_F(Window, DrawnGlyphShowsInItsCellThePreviewAndTheUnsavedMark) {
  const int n = m_documents.create(FontType::Latin);
  EXPECT_FALSE(m_window.isWindowModified());
  m_window.preview()->textField()->setText("AB");
  const int before = previewInk();
  import(n);
  EXPECT_TRUE(m_window.isWindowModified());
  EXPECT_GT(previewInk(), before + 100);
  const QRect cell = m_window.grid()->cellRect(m_documents.document(n)->codeOrder().indexOf('A'));
  const QRect glyphArea = cell.adjusted(2, 2, -2, -GlyphGrid::kLabelHeight);
  EXPECT_GT(darkPixels(m_window.grid()->viewport()->grab(glyphArea).toImage()), 50);
  m_window.preview()->textField()->setText("B");
  EXPECT_EQ(previewInk(), before) << "B has no outline";
  QApplication::setActiveWindow(&m_window);
  QTest::keyClick(&m_window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(m_window.isWindowModified()) << "Ctrl+Z undoes the import";
  QTest::keyClick(&m_window, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_TRUE(m_window.isWindowModified()) << "Ctrl+Y redoes it";
  ASSERT_TRUE(m_documents.save(n).ok());
  EXPECT_FALSE(m_window.isWindowModified());
  using Codes = std::vector<std::optional<uint16_t>>;
  EXPECT_EQ(previewCodes(QStringLiteral("\u3042A\u20AC"), FontType::Japanese), (Codes{0x82A0, 0x41, std::nullopt}));
  EXPECT_EQ(previewCodes(QStringLiteral("\u20AC"), FontType::Latin), (Codes{0x80}));
}

TEST_F(Window, UnsavedWorkIsAskedAboutAndCancelKeepsIt) {
  EXPECT_TRUE(m_window.closeDocument(m_documents.create(FontType::Latin)));
  EXPECT_TRUE(m_asked.empty()) << "no question for saved work";
  const int first = m_documents.create(FontType::Latin), second = m_documents.create(FontType::Latin);
  const int third = m_documents.create(FontType::Japanese);
  for (int n : {first, second, third}) draw(n);
  m_answers = {Answer::Cancel, Answer::Save, Answer::Discard, Answer::Cancel};
  EXPECT_FALSE(m_window.closeDocument(first));
  EXPECT_TRUE(m_window.closeDocument(first));
  EXPECT_TRUE(QFile::exists(m_dir.filePath("Untitled-1.ttf"))) << "the closed clean font freed its name";
  EXPECT_FALSE(m_window.closeAll()) << "quitting stops at the first cancelled document";
  EXPECT_EQ(m_documents.document(second), nullptr);
  EXPECT_NE(m_documents.document(third), nullptr);
  EXPECT_EQ(m_asked, (std::vector<QString>{"Untitled-1", "Untitled-1", "Untitled-2", "Untitled-3"}));
  m_documents.report("ImportBmpfile failed: not a bitmap");
  EXPECT_EQ(m_window.statusBar()->currentMessage(), "ImportBmpfile failed: not a bitmap");
}

}  // namespace
}  // namespace kernova

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
