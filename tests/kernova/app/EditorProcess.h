#pragma once
// Starts the real `kernova` executable on the session bus and waits for its name by
// polling the bus against a deadline; stops it again through Quit.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QtCore/qtestsupport_core.h>

namespace kernova::testing {

inline constexpr char kEditorName[] = "Kernova.Application";

// Lets events run until `condition` holds or `timeoutMs` passes; returns whether it held.
template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs) { return QTest::qWaitFor(condition, timeoutMs); }

inline QString editorExecutable() { return qEnvironmentVariable("DZ_BIN_DIR") + "/kernova"; }

// Calls `member` of a document of the editor.
inline QDBusMessage busCall(const QString& path, const QString& member, const QVariantList& arguments = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(kEditorName, path, "Kernova.Document", member);
  message.setArguments(arguments);
  return QDBusConnection::sessionBus().call(message, QDBus::Block, 20000);
}

inline bool editorNameOwned() {
  return QDBusConnection::sessionBus().interface()->isServiceRegistered(kEditorName).value();
}

class EditorProcess {
 public:
  explicit EditorProcess(const QString& home) {
    m_process.setProcessEnvironment(environment(home));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  }
  ~EditorProcess() { stop(); }

  // Offscreen, with `home` as HOME, so documents, recovery copies and installed fonts
  // stay under it.
  static QProcessEnvironment environment(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto [name, value] : {std::pair{"QT_QPA_PLATFORM", QString("offscreen")}, {"HOME", home},
                               {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_STATE_HOME", home + "/.local/state"},
                               {"XDG_DATA_HOME", home + "/data"}, {"XDG_CACHE_HOME", home + "/cache"}})
      environment.insert(name, value);
    return environment;
  }

  // Starts the editor and waits up to `timeoutMs` for its bus name.
  bool start(const QStringList& arguments = {}, int timeoutMs = 10000) {
    m_process.start(editorExecutable(), arguments);
    const auto ended = [this] { return m_process.state() == QProcess::NotRunning; };
    return m_process.waitForStarted(timeoutMs) &&
           waitUntil([&] { return editorNameOwned() || ended(); }, timeoutMs) && !ended();
  }

  // Quits the editor over the bus (killing it if it does not end) and waits until the
  // bus has released its name, so the next editor can take it.
  void stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kEditorName, "/Application", kEditorName, "Quit"), QDBus::Block, 5000);
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
    waitUntil([] { return !editorNameOwned(); }, 5000);
  }

  QProcess& process() { return m_process; }

 private:
  QProcess m_process;
};

}  // namespace kernova::testing
