// The bus layer against a stand-in editor served from another thread: calls to an
// editor that never answers or answers nonsense, and starting an editor that is
// missing, ends at once or is started by the bus. The members' argument types are
// checked against the real editor in test_kernova_send; how long calls wait, in bench/.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <memory>

#include "platform/DBusEditor.h"

namespace {

// Serves "Kernova.Application" on its own connection and thread, so the test's
// blocking calls get their answers (or none). Every answer is the property value 7
// (a uint): right for hWnd, nonsense for any other member.
class StandInEditor final : public QDBusVirtualObject {
 public:
  StandInEditor() {
    moveToThread(m_thread.get());
    m_thread->start();
    m_ready.acquire();
  }
  ~StandInEditor() override {
    m_thread->quit();
    m_thread->wait();
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const QVariant seven = QVariant::fromValue(QDBusVariant(QVariant::fromValue(7u)));
    if (!silent) connection.send(message.createReply(seven));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

  std::atomic<bool> silent = false;

 private:
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

  std::unique_ptr<QThread> m_thread{QThread::create([this] { serve(); })};
  QSemaphore m_ready;
};

constexpr platform::BusTimeouts kShort{300, 300, 3000, 10};

platform::DBusEditorLauncher launcher(QString program = "/nonexistent/kernova") {
  return platform::DBusEditorLauncher(QDBusConnection::sessionBus(), std::move(program), kShort);
}

// A reply of the wrong type is a failed call. A silent owner of the name is still the
// editor: its calls fail and no second editor is started beside it; once it answers
// again, it is used again.
TEST(DBusEditor, WrongRepliesOrSilenceFailTheCallsUntilTheEditorAnswersAgain) {
  StandInEditor editor;
  auto bus = launcher();
  for (bool silent : {false, true}) {
    editor.silent = silent;
    auto app = bus.attach();
    ASSERT_TRUE(app) << "the bus itself names the owner";
    EXPECT_FALSE(app->ActiveDocument()) << "a failed call, not an answer of no document";
  }
  EXPECT_TRUE(bus.start()) << "never a second editor while the name has an owner";
  editor.silent = false;
  EXPECT_EQ(bus.attach()->hWnd(), 7u);
}

// The bus's services folder is $XDG_DATA_DIRS/dbus-1/services (set by the test's
// CMake file); the bus reads it again when asked for a name it does not know.
TEST(DBusEditor, AMissingEditorIsStartedByTheBusOnlyWhenAServiceFileNamesIt) {
  const QString services = qEnvironmentVariable("XDG_DATA_DIRS") + "/dbus-1/services";
  QFile service(services + "/Kernova.Application.service");
  service.remove();
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
