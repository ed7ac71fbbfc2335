// Codes the user picks in the editor's window go out as CurrentCodeChanged on the
// document; moves made over the bus do not. The Coverage property carries the counts.
// The window and the service run in this process; a second connection listens and
// calls, as the lettering tool would.
#include <gtest/gtest.h>

#include <QApplication>
#include <climits>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QTest>

#include "kernova/app/BusService.h"
#include "kernova/app/CoveragePanel.h"
#include "kernova/app/GlyphGrid.h"
#include "kernova/app/MainWindow.h"
#include "kernova/engine/Coverage.h"
#include "tests/kernova/app/TestBitmap.h"

struct GlyphOnBus {  // (iay)
  int code = 0;
  QByteArray bmp;
};
Q_DECLARE_METATYPE(GlyphOnBus)

QDBusArgument& operator<<(QDBusArgument& out, const GlyphOnBus& glyph) {
  out.beginStructure();
  out << glyph.code << glyph.bmp;
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, GlyphOnBus& glyph) {
  in.beginStructure();
  in >> glyph.code >> glyph.bmp;
  in.endStructure();
  return in;
}

namespace kernova {
namespace {

class PickListener : public QObject {
  Q_OBJECT

 public:
  std::vector<int> codes;

 public slots:
  void picked(int code) { codes.push_back(code); }
};

class CodePicks : public ::testing::Test {
 protected:
  void SetUp() override {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(m_service.registerObjects(bus).ok());
    ASSERT_TRUE(m_client.connect(bus.baseService(), {}, "Kernova.Document", "CurrentCodeChanged", &m_listener,
                                 SLOT(picked(int))));
    m_number = m_documents.create(FontType::Japanese);
    m_window.resize(900, 600);
    m_window.show();
  }
  void TearDown() override {
    QDBusConnection::sessionBus().unregisterObject("/Application");
    QDBusConnection::sessionBus().unregisterObject("/Documents", QDBusConnection::UnregisterTree);
  }

  QDBusMessage call(const QString& member, const QVariantList& arguments, const QString& interface = "Kernova.Document") {
    QDBusMessage message = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(),
                                                          BusService::documentPath(m_number), interface, member);
    message.setArguments(arguments);
    return m_client.call(message, QDBus::BlockWithGui, 5000);
  }
  // Every signal sent before the reply has been posted to the listener once the call
  // returns: the bus keeps the order of one sender's messages.
  void flush() {
    call("getcode", {QVariant::fromValue<short>(0), false});
    QCoreApplication::processEvents();
  }
  void clickCell(uint16_t code) {
    GlyphGrid* grid = m_window.grid();
    const auto& codes = grid->shownCodes();
    const int index = int(std::find(codes.begin(), codes.end(), code) - codes.begin());
    grid->scrollToIndex(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(index).center());
  }

  QDBusConnection m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
  PickListener m_listener;
  DocumentSet m_documents;
  MainWindow m_window{m_documents};
  BusService m_service{m_documents, {}};
  int m_number = 0;
};

TEST_F(CodePicks, ClicksKeysAndTheCoverageFilterAreSentButBusMovesAreNot) {
  clickCell(0x82A0);
  QTest::keyClick(m_window.grid(), Qt::Key_Right);
  const uint16_t afterKey = m_documents.document(m_number)->currentCode();
  call("setcode", {QVariant::fromValue<short>(0), 0x889F, false});
  call("viewnextcode", {});
  call("viewpreviouscode", {});
  EXPECT_EQ(m_documents.document(m_number)->currentCode(), 0x889F);
  // The filter on kyoiku kanji starts at its first missing one.
  CoveragePanel* panel = m_window.coveragePanel();
  QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->visualItemRect(panel->item(3)).center());
  EXPECT_EQ(m_window.grid()->cellCount(), 1026);
  flush();
  const int firstKyoiku = coverageSets(FontType::Japanese)[3].codes.front();
  EXPECT_EQ(m_listener.codes, (std::vector<int>{0x82A0, afterKey, firstKyoiku}));
  QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->visualItemRect(panel->item(3)).center());
  EXPECT_EQ(m_window.grid()->cellCount(), int(CodeOrder::forType(FontType::Japanese).codes().size()));
}

// The batch import replaces glyphs as the single members do, skips codes the font does
// not hold, leaves the current code, and the Coverage property counts what it drew.
TEST_F(CodePicks, BatchImportAndCoverageOverTheBus) {
  qDBusRegisterMetaType<GlyphOnBus>();
  qDBusRegisterMetaType<QList<GlyphOnBus>>();
  const std::vector<uint8_t> sample = testing::sampleGlyphBmp();
  const QByteArray bmp(reinterpret_cast<const char*>(sample.data()), qsizetype(sample.size()));
  FontDocument& document = *m_documents.document(m_number);
  document.glyphForEdit(0x82A0).contours.push_back({{0, 0}, {0, 9}, {9, 9}});
  const uint16_t current = document.currentCode();
  const QList<GlyphOnBus> glyphs{{0x82A0, bmp}, {0xF040, bmp}, {0x82A2, bmp}};  // F040: user-defined area
  const QDBusMessage imported =
      call("ImportBitmaps", {QVariant::fromValue(glyphs), true, QVariant::fromValue<short>(40), QVariant::fromValue<short>(60)});
  EXPECT_EQ(imported.arguments().value(0).toInt(), 2) << imported.errorMessage().toStdString();
  EXPECT_EQ(document.currentCode(), current);
  EXPECT_EQ(document.glyph(0x82A0)->contours.size(), 2u) << "the earlier contour is replaced, not kept";
  EXPECT_EQ(*document.glyph(0x82A2), *document.glyph(0x82A0));
  int left = INT_MAX;
  for (const Contour& contour : document.glyph(0x82A2)->contours)
    for (const Point& point : contour) left = std::min(left, int(point.x));
  EXPECT_EQ(left, 40) << "the side bearings are set";
  const QDBusMessage reply = call("Get", {"Kernova.Document", "Coverage"}, "org.freedesktop.DBus.Properties");
  const QDBusArgument value = reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
  ASSERT_EQ(value.currentSignature(), "a(sii)");
  QString name;
  int drawn = 0, total = 0;
  value.beginArray();
  value.beginStructure();
  value >> name >> drawn >> total;
  EXPECT_EQ(std::make_tuple(name, drawn, total),
            std::make_tuple(QString("Hiragana"), 2, int(coverageSets(FontType::Japanese)[0].codes.size())));
}

}  // namespace
}  // namespace kernova

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "test_code_picks_bus.moc"
