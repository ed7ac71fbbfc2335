// The bus layer against a stand-in editor served from another thread: the contract's
// argument types, calls to an editor that never answers or answers nonsense, and
// starting an editor that is missing, ends at once or is started by the bus.
// How long the calls wait is the benchmarks' concern.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <memory>

#include "platform/DBusEditor.h"

namespace {

enum class Behaviour { Contract, Silent, Nonsense };

// Serves "Kernova.Application" on its own connection and thread, so the test's
// blocking calls get their answers (or none).
class StandInEditor final : public QDBusVirtualObject {
 public:
  explicit StandInEditor(Behaviour behaviour) : m_behaviour(behaviour) {
    moveToThread(m_thread.get());
    m_thread->start();
    m_ready.acquire();
  }
  ~StandInEditor() override {
    m_thread->quit();
    m_thread->wait();
  }

  void setBehaviour(Behaviour behaviour) { m_behaviour = behaviour; }
  QStringList received() {
    QMutexLocker lock(&m_mutex);
    return m_received;
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    QMutexLocker lock(&m_mutex);
    m_received << message.member() + "(" + message.signature() + ")";
    if (m_behaviour != Behaviour::Silent) connection.send(answer(message));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

 private:
  QDBusMessage answer(const QDBusMessage& message) const {
    const bool nonsense = m_behaviour == Behaviour::Nonsense;
    const QString member = message.member(), property = message.arguments().value(1).toString();
    if (member == "Get") {
      QVariant value = QVariant::fromValue(QDBusObjectPath("/Documents/1"));
      if (property == "hWnd") value = QVariant::fromValue(uint(7));
      if (property == "saved") value = false;
      return message.createReply(QVariant::fromValue(QDBusVariant(nonsense ? QVariant("nonsense") : value)));
    }
    if (member == "getcode") return message.createReply(nonsense ? QVariant("A") : QVariant::fromValue<qint16>(-32096));
    if (member == "NewFile")
      return message.createReply(nonsense ? QVariant(1) : QVariant::fromValue(QDBusObjectPath("/Documents/2")));
    return message.createReply();
  }

  void serve() {
    {
      QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in");
      connection.registerVirtualObject("/", this, QDBusConnection::SubPath);
      connection.registerService(bus::kServiceName);
      m_ready.release();
      QEventLoop().exec();  // until the thread is told to quit
      connection.unregisterService(bus::kServiceName);
      connection.unregisterObject("/", QDBusConnection::UnregisterTree);
    }
    QDBusConnection::disconnectFromBus("stand-in");
  }

  std::atomic<Behaviour> m_behaviour;
  std::unique_ptr<QThread> m_thread{QThread::create([this] { serve(); })};
  QSemaphore m_ready;
  QMutex m_mutex;
  QStringList m_received;  // "member(signature)"
};

constexpr platform::BusTimeouts kShort{300, 300, 3000, 10};

platform::DBusEditorLauncher launcher(QString program = "/nonexistent/kernova") {
  return platform::DBusEditorLauncher(QDBusConnection::sessionBus(), std::move(program), kShort);
}

// Replies of the wrong type are failed calls. A silent owner of the name is still the
// editor: its calls fail, no second editor is started beside it. Once it keeps the
// contract it is used again, and the calls carry the contract's argument types.
TEST(DBusEditor, NonsenseOrSilenceFailsTheCallsUntilTheEditorKeepsTheContract) {
  StandInEditor editor(Behaviour::Nonsense);
  auto bus = launcher();
  for (Behaviour behaviour : {Behaviour::Nonsense, Behaviour::Silent}) {
    editor.setBehaviour(behaviour);
    auto app = bus.attach();
    ASSERT_TRUE(app) << "the bus itself names the owner";
    EXPECT_FALSE(app->ActiveDocument()) << "a failed call, not an answer of no document";
    EXPECT_FALSE(app->NewFile(0, true));
    EXPECT_FALSE(app->hWnd());
  }
  EXPECT_TRUE(bus.start()) << "never a second editor while the name has an owner";
  editor.setBehaviour(Behaviour::Contract);
  auto app = bus.attach();
  ASSERT_TRUE(app);
  auto document = app->ActiveDocument().value_or(nullptr);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->getcode(0, false), int16_t(-32096));
  EXPECT_TRUE(document->setcode(0, 0x82A0, false));
  EXPECT_TRUE(document->SetLeftRightSidebearing(10, -5, false));
  EXPECT_TRUE(document->ImportBmpfile("/tmp/srfm_dots0041.bmp"));
  EXPECT_EQ(document->saved(), false);
  EXPECT_TRUE(app->NewFile(1, true));
  EXPECT_EQ(app->hWnd(), 7u);
  const QStringList received = editor.received();
  for (const char* call : {"getcode(nb)", "setcode(nib)", "SetLeftRightSidebearing(nnb)", "ImportBmpfile(s)", "NewFile(nb)"})
    EXPECT_TRUE(received.contains(call)) << call << " in " << received.join(' ').toStdString();
}

// The bus's services folder is $XDG_DATA_DIRS/dbus-1/services (set by the test's
// CMake file); the bus reads it again when asked for a name it does not know.
TEST(DBusEditor, AMissingEditorIsStartedByTheBusOnlyWhenAServiceFileNamesIt) {
  const QString services = qEnvironmentVariable("XDG_DATA_DIRS") + "/dbus-1/services";
  QFile service(services + "/Kernova.Application.service");
  service.remove();
  EXPECT_FALSE(launcher().attach());
  EXPECT_FALSE(launcher().start()) << "a missing program and no service file";
  EXPECT_FALSE(launcher("/bin/true").start()) << "a program that ends at once";

  ASSERT_TRUE(QDir().mkpath(services) && service.open(QIODevice::WriteOnly));
  service.write("[D-BUS Service]\nName=Kernova.Application\nExec=" + qgetenv("DZ_BIN_DIR") + "/kernova\n");
  service.close();
  auto app = platform::DBusEditorLauncher(QDBusConnection::sessionBus(), "/nonexistent/kernova",
                                          {5000, 5000, 60000, 10}).start();
  ASSERT_TRUE(app) << "started by the bus";
  EXPECT_TRUE(app->hWnd());
  QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
      bus::kServiceName, bus::kApplicationPath, bus::kApplicationInterface, "Quit"));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
