// The Metrics panel in the window offscreen: it follows the current glyph, its edits
// are undone by the window's Edit menu, and Space All Glyphs takes the dialog's answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSpinBox>
#include <algorithm>

#include "kernova/app/MainWindow.h"
#include "kernova/app/MetricsPanel.h"

namespace kernova {
namespace {

std::vector<int> shown(const MetricsPanel& panel) {
  return {panel.leftBearingBox()->value(), panel.rightBearingBox()->value(), panel.advanceBox()->value()};
}

}  // namespace

TEST(MetricsPanel, ShowsAndEditsTheCurrentGlyphAndSpacesAllFromTheEditMenu) {
  DocumentSet documents;
  MainWindow window(documents);
  window.show();
  MetricsPanel& panel = *window.metrics();
  const int n = documents.create(FontType::Latin);
  FontDocument& document = *documents.document(n);
  document.glyphForEdit('A').contours.push_back({{200, 0}, {200, 1400}, {1800, 1400}, {1800, 0}});
  document.glyphForEdit('B').contours.push_back({{300, 0}, {300, 1400}, {900, 1400}, {900, 0}});
  ASSERT_TRUE(document.setCurrentCode('B'));
  documents.notifyChanged(n);
  EXPECT_EQ(shown(panel), (std::vector<int>{300, 1148, 2048}));
  const QImage drawn = panel.view()->grab().toImage();
  EXPECT_GT(std::count_if(drawn.constBits(), drawn.constBits() + drawn.sizeInBytes(), [](uchar v) { return v < 100; }), 300);
  ASSERT_TRUE(document.setCurrentCode('A'));
  documents.notifyChanged(n);
  panel.leftBearingBox()->setValue(50);
  EXPECT_EQ(shown(panel), (std::vector<int>{50, 248, 1898}));
  panel.advanceBox()->setValue(2000);
  EXPECT_EQ(shown(panel), (std::vector<int>{50, 350, 2000}));
  window.undoAction()->trigger();
  window.undoAction()->trigger();
  EXPECT_EQ(shown(panel), (std::vector<int>{200, 248, 2048}));
  panel.setSpacingQuestion([](FontType) { return SpacingRequest{100, 60, false}; });
  const auto* editMenu = qobject_cast<QWidget*>(window.undoAction()->parent());
  ASSERT_TRUE(editMenu);
  EXPECT_TRUE(editMenu->actions().contains(panel.spaceAllAction()));
  panel.spaceAllAction()->trigger();
  EXPECT_EQ(shown(panel), (std::vector<int>{100, 60, 1760}));
  window.undoAction()->trigger();
  EXPECT_EQ(shown(panel), (std::vector<int>{200, 248, 2048}));
}

}  // namespace kernova

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
