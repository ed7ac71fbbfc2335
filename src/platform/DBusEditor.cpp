#include "platform/DBusEditor.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <algorithm>
#include <optional>
#include <set>

namespace platform {
namespace {

const QString kApplicationPath = QString::fromLatin1(bus::kApplicationPath);
const QString kApplicationInterface = QString::fromLatin1(bus::kApplicationInterface);
const QString kDocumentInterface = QString::fromLatin1(bus::kDocumentInterface);
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// What every proxy of one attached editor shares. An editor that let a call time
// out is marked silent: its further calls fail at once instead of each waiting out
// its own timeout, until a later attach finds it answering again.
struct Channel {
  QDBusConnection connection;
  QString owner;
  BusTimeouts timeouts;
  std::shared_ptr<std::set<QString>> silentOwners;

  bool silent() const { return silentOwners->count(owner) != 0; }
  void noteReply(const QDBusMessage& reply) const {
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        error == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
      silentOwners->insert(owner);
  }
};

// One object of the editor: calls by member name, replies checked against the
// signature the contract gives. A plain message is used rather than QDBusInterface,
// whose construction introspects the object with no timeout of ours.
class BusObjectProxy {
 public:
  BusObjectProxy(std::shared_ptr<const Channel> channel, QString path, QString interface)
      : m_channel(std::move(channel)), m_path(std::move(path)), m_interface(std::move(interface)) {}

  // The reply's arguments, or nothing for an error, a timeout or another signature.
  std::optional<QVariantList> call(const QString& member, const QVariantList& arguments,
                                   const char* replySignature, int timeoutMs = 0) const {
    const QDBusMessage reply = send(m_interface, member, arguments,
                                    timeoutMs > 0 ? timeoutMs : m_channel->timeouts.callMs);
    if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
    if (replySignature && reply.signature() != QLatin1String(replySignature)) return std::nullopt;
    return reply.arguments();
  }

  bool invoke(const QString& member, const QVariantList& arguments = {}, int timeoutMs = 0) const {
    return call(member, arguments, nullptr, timeoutMs).has_value();
  }

  // A property of the expected type, or nothing.
  template <typename T>
  std::optional<T> property(const QString& name, int timeoutMs = 0) const {
    const QDBusMessage reply = send(kPropertiesInterface, QStringLiteral("Get"), {m_interface, name},
                                    timeoutMs > 0 ? timeoutMs : m_channel->timeouts.callMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("v"))
      return std::nullopt;
    const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
    if (value.metaType() != QMetaType::fromType<T>()) return std::nullopt;
    return value.value<T>();
  }

  const std::shared_ptr<const Channel>& channel() const { return m_channel; }

 private:
  QDBusMessage send(const QString& interface, const QString& member, const QVariantList& arguments,
                    int timeoutMs) const {
    QDBusMessage message = QDBusMessage::createMethodCall(m_channel->owner, m_path, interface, member);
    if (m_channel->silent()) return message.createErrorReply(QDBusError::NoReply, QString());
    message.setArguments(arguments);
    const QDBusMessage reply = m_channel->connection.call(message, QDBus::Block, timeoutMs);
    m_channel->noteReply(reply);
    return reply;
  }

  std::shared_ptr<const Channel> m_channel;
  QString m_path;
  QString m_interface;
};

QVariant int16(int16_t value) { return QVariant::fromValue<qint16>(value); }

}  // namespace

// One glyph of ImportBitmaps, (iay) on the bus.
struct BusGlyph {
  int code = 0;
  QByteArray bmp;
};

QDBusArgument& operator<<(QDBusArgument& out, const BusGlyph& glyph) {
  out.beginStructure();
  out << glyph.code << glyph.bmp;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, BusGlyph& glyph) {
  in.beginStructure();
  in >> glyph.code >> glyph.bmp;
  in.endStructure();
  return in;
}

}  // namespace platform

Q_DECLARE_METATYPE(platform::BusGlyph)

namespace platform {
namespace {

QVariant busGlyphs(const std::vector<editor::GlyphImage>& glyphs) {
  static const bool registered = (qDBusRegisterMetaType<BusGlyph>(), qDBusRegisterMetaType<QList<BusGlyph>>(), true);
  (void)registered;
  QList<BusGlyph> list;
  for (const editor::GlyphImage& glyph : glyphs) {
    list.push_back({glyph.code, QByteArray(reinterpret_cast<const char*>(glyph.bmp.data()), qsizetype(glyph.bmp.size()))});
  }
  return QVariant::fromValue(list);
}

class DBusEditorDocument final : public editor::EditorDocument {
 public:
  DBusEditorDocument(std::shared_ptr<const Channel> channel, const QString& path)
      : m_bus(std::move(channel), path, kDocumentInterface) {}

  std::optional<std::string> Name() override {
    const auto name = m_bus.property<QString>(QStringLiteral("Name"));
    return name ? std::optional(name->toStdString()) : std::nullopt;
  }
  std::optional<int16_t> getcode(int16_t zero, bool flag) override {
    const auto reply = m_bus.call(QStringLiteral("getcode"), {int16(zero), flag}, "n");
    return reply ? std::optional<int16_t>(reply->value(0).value<qint16>()) : std::nullopt;
  }
  bool setcode(int16_t zero, int32_t code, bool flag) override {
    return m_bus.invoke(QStringLiteral("setcode"), {int16(zero), QVariant::fromValue<qint32>(code), flag});
  }
  bool viewnextcode() override { return m_bus.invoke(QStringLiteral("viewnextcode")); }
  bool viewpreviouscode() override { return m_bus.invoke(QStringLiteral("viewpreviouscode")); }
  bool selectall() override { return m_bus.invoke(QStringLiteral("selectall")); }
  bool Delete() override { return m_bus.invoke(QStringLiteral("Delete")); }
  bool ImportBmpfile(const std::string& path) override {
    return m_bus.invoke(QStringLiteral("ImportBmpfile"), {QString::fromStdString(path)},
                        m_bus.channel()->timeouts.importMs);
  }
  bool unselectall() override { return m_bus.invoke(QStringLiteral("unselectall")); }
  bool SetLeftRightSidebearing(int16_t left, int16_t right, bool flag) override {
    return m_bus.invoke(QStringLiteral("SetLeftRightSidebearing"), {int16(left), int16(right), flag});
  }
  std::optional<bool> saved() override { return m_bus.property<bool>(QStringLiteral("saved")); }
  bool save() override { return m_bus.invoke(QStringLiteral("save")); }
  std::optional<int32_t> ImportBitmaps(const std::vector<editor::GlyphImage>& glyphs, bool setBearings,
                                       int16_t left, int16_t right) override {
    const auto reply = m_bus.call(QString::fromLatin1(bus::kImportBitmapsMethod),
                                  {busGlyphs(glyphs), setBearings, int16(left), int16(right)}, "i",
                                  m_bus.channel()->timeouts.importMs);
    return reply ? std::optional<int32_t>(reply->value(0).toInt()) : std::nullopt;
  }

 private:
  BusObjectProxy m_bus;
};

class DBusEditorApplication final : public editor::EditorApplication {
 public:
  explicit DBusEditorApplication(std::shared_ptr<const Channel> channel)
      : m_bus(std::move(channel), kApplicationPath, kApplicationInterface) {}

  std::optional<std::shared_ptr<editor::EditorDocument>> ActiveDocument() override {
    const auto path = m_bus.property<QDBusObjectPath>(QStringLiteral("ActiveDocument"));
    if (!path) return std::nullopt;
    return document(path);
  }
  std::shared_ptr<editor::EditorDocument> NewFile(int16_t type, bool visible) override {
    const auto reply = m_bus.call(QStringLiteral("NewFile"), {int16(type), visible}, "o");
    if (!reply) return nullptr;
    return document(qvariant_cast<QDBusObjectPath>(reply->value(0)));
  }
  std::optional<uint32_t> hWnd() override { return m_bus.property<uint>(QStringLiteral("hWnd")); }
  // Whether the editor answers a property within `timeoutMs`.
  bool answers(int timeoutMs) const { return m_bus.property<uint>(QStringLiteral("hWnd"), timeoutMs).has_value(); }

 private:
  // "/" is the contract's empty object.
  std::shared_ptr<editor::EditorDocument> document(const std::optional<QDBusObjectPath>& path) {
    if (!path || path->path().isEmpty() || path->path() == QLatin1String("/")) return nullptr;
    return std::make_shared<DBusEditorDocument>(m_bus.channel(), path->path());
  }

  BusObjectProxy m_bus;
};

// How long an editor that went silent gets to show it answers again.
constexpr int kSilentRecheckMs = 1000;

bool processHasEnded(qint64 pid) { return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

// QtDBus delivers signals to slots only.
class PickedCodeReceiver : public QObject {
  Q_OBJECT

 public:
  explicit PickedCodeReceiver(std::function<void(int32_t)> handler) : m_handler(std::move(handler)) {}

 public slots:
  void picked(int code) { m_handler(code); }

 private:
  std::function<void(int32_t)> m_handler;
};

DBusEditorLauncher::~DBusEditorLauncher() = default;

void DBusEditorLauncher::followPickedCodes(std::function<void(int32_t code)> handler) {
  const auto listen = [this](bool on) {
    const QString service = QString::fromLatin1(bus::kServiceName);
    const QString signal = QString::fromLatin1(bus::kCurrentCodeChangedSignal);
    if (on) return m_connection.connect(service, QString(), kDocumentInterface, signal, m_picks.get(), SLOT(picked(int)));
    return m_connection.disconnect(service, QString(), kDocumentInterface, signal, m_picks.get(), SLOT(picked(int)));
  };
  if (m_picks) listen(false);
  m_picks = std::make_unique<PickedCodeReceiver>(std::move(handler));
  listen(true);
}

DBusEditorLauncher::DBusEditorLauncher(QDBusConnection connection, QString program, BusTimeouts timeouts)
    : m_connection(std::move(connection)), m_program(std::move(program)), m_timeouts(timeouts),
      m_silentOwners(std::make_shared<std::set<QString>>()) {}

QString DBusEditorLauncher::ownerOfName() const {
  if (!m_connection.isConnected()) return {};
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
  message.setArguments({QString::fromLatin1(bus::kServiceName)});
  const QDBusMessage reply = m_connection.call(message, QDBus::Block, m_timeouts.callMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("s")) return {};
  return reply.arguments().value(0).toString();
}

std::shared_ptr<editor::EditorApplication> DBusEditorLauncher::attach() {
  const QString owner = ownerOfName();
  if (owner.isEmpty()) return nullptr;
  auto app = std::make_shared<DBusEditorApplication>(
      std::make_shared<const Channel>(Channel{m_connection, owner, m_timeouts, m_silentOwners}));
  // An editor that went silent is asked again; still silent, it is handed out all the
  // same (its calls fail at once), because an owner of the name that does not answer
  // is not a missing editor, and a second one must not be started.
  if (m_silentOwners->count(owner)) {
    m_silentOwners->erase(owner);
    app->answers(std::min(m_timeouts.callMs, kSilentRecheckMs));
  }
  return app;
}

QString DBusEditorLauncher::editorProgram() const {
  QStringList candidates{m_program};
  if (m_program.isEmpty())
    candidates = {QCoreApplication::applicationDirPath() + QStringLiteral("/kernova"),
                  QStandardPaths::findExecutable(QStringLiteral("kernova"))};
  for (const QString& program : candidates)
    if (!program.isEmpty() && QFileInfo(program).isExecutable()) return program;
  return {};
}

// The bus answers once the editor it started owns the name (or at once when no
// service file names it), so one call with the start timeout is the whole wait.
std::shared_ptr<editor::EditorApplication> DBusEditorLauncher::activate() {
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("StartServiceByName"));
  message.setArguments({QString::fromLatin1(bus::kServiceName), 0u});
  const QDBusMessage reply = m_connection.call(message, QDBus::Block, m_timeouts.startMs);
  if (reply.type() != QDBusMessage::ReplyMessage) return nullptr;
  return attach();
}

// Launches the editor detached and waits for its name, at most `startMs`, giving up
// early when the started process has already ended.
// Never while the name has an owner: that editor is the one, answering or not.
std::shared_ptr<editor::EditorApplication> DBusEditorLauncher::start() {
  if (!m_connection.isConnected()) return nullptr;
  if (!ownerOfName().isEmpty()) return attach();
  const QString program = editorProgram();
  if (program.isEmpty()) return activate();
  qint64 pid = 0;
  if (!QProcess::startDetached(program, {}, QString(), &pid)) return nullptr;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < m_timeouts.startMs) {
    if (auto app = attach()) return app;
    if (processHasEnded(pid)) break;
    QThread::msleep(m_timeouts.pollMs);
  }
  return attach();
}

}  // namespace platform

#include "DBusEditor.moc"
