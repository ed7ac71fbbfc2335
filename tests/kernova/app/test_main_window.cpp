// The editor's window offscreen, with its bus service in this process and a second
// connection that calls it as the lettering tool would; the fixture hears its signals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "kernova/app/BusService.h"
#include "kernova/app/CoveragePanel.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MainWindow.h"
#include "kernova/app/MetricsPanel.h"
#include "kernova/app/PreviewLine.h"
#include "kernova/engine/Coverage.h"
#include "tests/kernova/engine/BmpSamples.h"

namespace kernova {
namespace {

using Answer = MainWindow::UnsavedAnswer;
using GlyphOnBus = std::pair<int, QByteArray>;  // (iay)

int darkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 100;
  return count;
}

class Window : public QObject, public ::testing::Test {
  Q_OBJECT

 public slots:
  void picked(int code) { m_picks.push_back(code); }

 protected:
  void SetUp() override {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(m_service.registerObjects(bus).ok());
    ASSERT_TRUE(m_client.connect(bus.baseService(), {}, "Kernova.Document", "CurrentCodeChanged", this,
                                 SLOT(picked(int))));
    m_documents.setDocumentsFolder(m_dir.path());
    m_window.setUnsavedQuestion([this](const QString& name) {
      m_asked.push_back(name);
      return m_asked.size() <= m_answers.size() ? m_answers[m_asked.size() - 1] : Answer::Cancel;
    });
    m_window.show();
    QApplication::setActiveWindow(&m_window);
  }

  QDBusMessage call(int n, const QString& member, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(),
                                                          BusService::documentPath(n), "Kernova.Document", member);
    message.setArguments(arguments);
    return m_client.call(message, QDBus::BlockWithGui, 5000);
  }
  void draw(int n) {  // a filled square in 'A', as an import gives
    m_documents.document(n)->glyphForEdit('A').contours.push_back({{200, 0}, {200, 1400}, {1800, 1400}, {1800, 0}});
    m_documents.notifyChanged(n);
  }
  void clickCoverage(int row) {
    CoveragePanel* panel = m_window.coveragePanel();
    QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->visualItemRect(panel->item(row)).center());
  }
  std::vector<int> metrics() {
    const MetricsPanel& panel = *m_window.metrics();
    return {panel.leftBearingBox()->value(), panel.rightBearingBox()->value(), panel.advanceBox()->value()};
  }
  void key(Qt::Key key) { QTest::keyClick(&m_window, key, Qt::ControlModifier); }
  int previewInk() { return darkPixels(m_window.preview()->strip()->grab().toImage()); }

  QTemporaryDir m_dir;
  DocumentSet m_documents;
  MainWindow m_window{m_documents};
  QDBusConnection m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
  std::vector<int> m_picks;
  BusService m_service{m_documents, {}};
  std::vector<QString> m_asked;
  std::vector<Answer> m_answers;
};

// A move over the bus scrolls the grid but is not sent back; the user's picks are. The
// Window menu switches the grid to another document.
TEST_F(Window, PicksByClickKeyAndCoverageFilterAreSentButBusMovesAreNot) {
  m_documents.create(FontType::Latin);
  const int n = m_documents.create(FontType::Japanese);
  const std::vector<uint16_t>& codes = m_documents.document(n)->codeOrder().codes();
  const int index = int(codes.size()) - 3;
  call(n, "setcode", {QVariant::fromValue<short>(0), int(codes[size_t(index)]), false});
  call(n, "viewnextcode");
  call(n, "viewpreviouscode");
  GlyphGrid* grid = m_window.grid();
  EXPECT_LE(index, grid->lastVisibleIndex()) << "the current cell is kept in view";
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(index - 1).center());
  QTest::keyClick(grid, Qt::Key_Right);
  EXPECT_EQ(m_documents.document(n)->currentCode(), codes[size_t(index)]);
  clickCoverage(3);  // kyoiku kanji, all missing: the filter starts at the first
  const std::vector<uint16_t>& kyoiku = coverageSets(FontType::Japanese)[3].codes;
  EXPECT_EQ(grid->cellCount(), int(kyoiku.size()));
  call(n, "getcode", {QVariant::fromValue<short>(0), false});  // the signals sent before this reply
  QCoreApplication::processEvents();
  EXPECT_EQ(m_picks, (std::vector<int>{codes[size_t(index - 1)], codes[size_t(index)], kyoiku.front()}));
  clickCoverage(3);
  EXPECT_EQ(grid->cellCount(), int(codes.size()));
  const QList<QAction*> actions = m_window.windowMenu()->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "Untitled-1");
  EXPECT_TRUE(actions[1]->isChecked());
  actions[0]->trigger();
  EXPECT_EQ(grid->cellCount(), int(CodeOrder::forType(FontType::Latin).codes().size()));
}

// The Metrics panel follows the current glyph; the keys undo and redo its edits; Space
// All Glyphs is in the Edit menu and takes the dialog's answer.
TEST_F(Window, DrawnGlyphShowsInItsCellThePreviewAndTheMetricsWhoseEditsTheKeysUndo) {
  const int n = m_documents.create(FontType::Latin);
  m_window.preview()->textField()->setText("AB");
  const int blank = previewInk();
  draw(n);
  EXPECT_TRUE(m_window.isWindowModified());
  EXPECT_GT(previewInk(), blank + 100);
  const QRect cell = m_window.grid()->cellRect(m_documents.document(n)->codeOrder().indexOf('A'));
  EXPECT_GT(darkPixels(m_window.grid()->viewport()->grab(cell.adjusted(2, 2, -2, -GlyphGrid::kLabelHeight)).toImage()), 50);
  EXPECT_GT(darkPixels(m_window.metrics()->view()->grab().toImage()), 300);
  ASSERT_TRUE(m_documents.save(n).ok());
  EXPECT_FALSE(m_window.isWindowModified());
  EXPECT_EQ(metrics(), (std::vector<int>{200, 248, 2048}));
  m_window.metrics()->leftBearingBox()->setValue(50);
  EXPECT_EQ(metrics(), (std::vector<int>{50, 248, 1898}));
  m_window.metrics()->advanceBox()->setValue(2000);
  EXPECT_EQ(metrics(), (std::vector<int>{50, 350, 2000}));
  key(Qt::Key_Z);
  key(Qt::Key_Z);
  EXPECT_FALSE(m_window.isWindowModified()) << "back at the saved state";
  key(Qt::Key_Y);
  EXPECT_EQ(metrics(), (std::vector<int>{50, 248, 1898}));
  MetricsPanel& panel = *m_window.metrics();
  panel.setSpacingQuestion([](FontType) { return SpacingRequest{100, 60, false}; });
  EXPECT_TRUE(qobject_cast<QWidget*>(m_window.undoAction()->parent())->actions().contains(panel.spaceAllAction()));
  panel.spaceAllAction()->trigger();
  EXPECT_EQ(metrics(), (std::vector<int>{100, 60, 1760}));
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
}

// The batch import replaces glyphs as the single members do, skips codes the font lacks
// and keeps the current code; an unreadable bitmap is refused under its code.
TEST_F(Window, BatchImportOverTheBusRepliesWithTheGlyphsItReplaced) {
  qDBusRegisterMetaType<GlyphOnBus>();
  qDBusRegisterMetaType<QList<GlyphOnBus>>();
  InkBitmap canvas = samples::blank(512, 512);  // the lettering tool's canvas: one block of ink
  samples::fillRect(canvas, 100, 60, 300, 400);
  const std::vector<uint8_t> sample = samples::encodeBmp(canvas, true);
  const QByteArray bmp(reinterpret_cast<const char*>(sample.data()), qsizetype(sample.size()));
  const int n = m_documents.create(FontType::Japanese);
  FontDocument& document = *m_documents.document(n);
  document.glyphForEdit(0x82A0).contours.push_back({{0, 0}, {0, 9}, {9, 9}});
  const QVariant left = QVariant::fromValue<short>(40), right = QVariant::fromValue<short>(60);
  const auto import = [&](const QList<GlyphOnBus>& glyphs) {
    return call(n, "ImportBitmaps", {QVariant::fromValue(glyphs), true, left, right});
  };
  const QDBusMessage imported = import({{0x82A0, bmp}, {0xF040, bmp}, {0x82A2, bmp}});  // F040: user-defined area
  EXPECT_EQ(imported.arguments().value(0).toInt(), 2) << imported.errorMessage().toStdString();
  EXPECT_EQ(document.currentCode(), 0x82A0);
  EXPECT_EQ(document.glyph(0x82A0)->contours.size(), 1u) << "the earlier contour is replaced, not kept";
  EXPECT_EQ(*document.glyph(0x82A2), *document.glyph(0x82A0));
  EXPECT_EQ(metrics(), (std::vector<int>{40, 60, 904})) << "bearings set on 201 pixels of ink, 4 units each";
  const QDBusMessage refused = import({{0x82A4, "BM"}});
  EXPECT_EQ(refused.errorName(), "Kernova.Error.ImportFailed");
  EXPECT_TRUE(refused.errorMessage().contains("82A4")) << refused.errorMessage().toStdString();
  EXPECT_TRUE(m_window.statusBar()->currentMessage().startsWith("ImportBitmaps failed: 82A4"));
}

}  // namespace
}  // namespace kernova

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "test_main_window.moc"
