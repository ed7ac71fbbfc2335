#include "kernova/app/BusObject.h"

#include "common/BusContract.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <utility>

namespace kernova {
namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectableInterface = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kPeerInterface = QStringLiteral("org.freedesktop.DBus.Peer");

BusReply unknownMethod(const QDBusMessage& message) {
  return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                         QStringLiteral("no method %1.%2 on %3")
                             .arg(message.interface(), message.member(), message.path()));
}

BusReply wrongSignature(const QString& member, const QString& expected, const QString& given) {
  return BusReply::error(QString::fromLatin1(bus::kErrorInvalidArgument),
                         QStringLiteral("%1 takes arguments (%2), not (%3)")
                             .arg(member, expected, given));
}

QString argumentXml(const QString& name, const QString& type, const char* direction) {
  return QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"%3\"/>\n")
      .arg(name, type, QLatin1String(direction));
}

// Splits a signature into its complete types, one per argument: arrays take their
// element, structures and dictionary entries run to their closing bracket.
QStringList argumentTypes(const QString& signature) {
  QStringList types;
  int depth = 0;
  QString current;
  for (QChar c : signature) {
    current += c;
    if (c == '(' || c == '{') ++depth;
    else if (c == ')' || c == '}') --depth;
    if (depth == 0 && c != 'a') types << std::exchange(current, QString());
  }
  return types;
}

}  // namespace

BusObject::BusObject(BusInterface interface, Resolver resolve, QObject* parent)
    : QDBusVirtualObject(parent), m_interface(std::move(interface)), m_resolve(std::move(resolve)) {}

bool BusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  const QString interfaceName = message.interface();
  // Introspection and Peer are answered by QtDBus, from introspect() below.
  if (interfaceName == kIntrospectableInterface || interfaceName == kPeerInterface) return false;
  BusTarget target = m_resolve(message.path());
  BusReply reply;
  if (target.error) reply = *target.error;
  else if (interfaceName == kPropertiesInterface) reply = callProperties(message, target.number);
  else if (interfaceName.isEmpty() || interfaceName == m_interface.name)
    reply = callMethod(message, target.number);
  else
    reply = BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                            QStringLiteral("no interface %1 on %2").arg(interfaceName, message.path()));
  if (message.isReplyRequired()) {
    connection.send(reply.failed() ? message.createErrorReply(reply.errorName, reply.errorMessage)
                                   : message.createReply(reply.values));
  }
  return true;
}

BusReply BusObject::callMethod(const QDBusMessage& message, int target) const {
  for (const BusMethod& method : m_interface.methods) {
    if (method.name != message.member()) continue;
    if (message.signature() != method.inSignature) {
      return wrongSignature(method.name, method.inSignature, message.signature());
    }
    return method.handler(target, message.arguments());
  }
  return unknownMethod(message);
}

BusReply BusObject::callProperties(const QDBusMessage& message, int target) const {
  const QVariantList arguments = message.arguments();
  const QString member = message.member();
  if (member == QLatin1String("Get")) {
    if (message.signature() != QLatin1String("ss")) return wrongSignature(member, "ss", message.signature());
    return getProperty(arguments[0].toString(), arguments[1].toString(), target);
  }
  if (member == QLatin1String("GetAll")) {
    if (message.signature() != QLatin1String("s")) return wrongSignature(member, "s", message.signature());
    return getAllProperties(arguments[0].toString(), target);
  }
  if (member == QLatin1String("Set")) {
    if (message.signature() != QLatin1String("ssv")) return wrongSignature(member, "ssv", message.signature());
    return setProperty(arguments, target);
  }
  return unknownMethod(message);
}

BusReply BusObject::getProperty(const QString& interfaceName, const QString& name, int target) const {
  if (!interfaceName.isEmpty() && interfaceName != m_interface.name) {
    return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                           QStringLiteral("no interface %1").arg(interfaceName));
  }
  for (const BusProperty& property : m_interface.properties) {
    if (property.name == name) return BusReply::ok({QVariant::fromValue(QDBusVariant(property.read(target)))});
  }
  return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
                         QStringLiteral("no property %1 in %2").arg(name, m_interface.name));
}

BusReply BusObject::getAllProperties(const QString& interfaceName, int target) const {
  if (!interfaceName.isEmpty() && interfaceName != m_interface.name) {
    return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                           QStringLiteral("no interface %1").arg(interfaceName));
  }
  QVariantMap values;
  for (const BusProperty& property : m_interface.properties) values.insert(property.name, property.read(target));
  return BusReply::ok({values});
}

BusReply BusObject::setProperty(const QVariantList& arguments, int target) const {
  const QString interfaceName = arguments[0].toString();
  const QString name = arguments[1].toString();
  if (!interfaceName.isEmpty() && interfaceName != m_interface.name) {
    return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                           QStringLiteral("no interface %1").arg(interfaceName));
  }
  for (const BusProperty& property : m_interface.properties) {
    if (property.name != name) continue;
    if (!property.write) {
      return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
                             QStringLiteral("%1 is read-only").arg(name));
    }
    const QVariant value = arguments[2].value<QDBusVariant>().variant();
    const QString given = QString::fromLatin1(QDBusMetaType::typeToSignature(value.metaType()));
    if (given != property.signature) return wrongSignature(name, property.signature, given);
    return property.write(target, value);
  }
  return BusReply::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
                         QStringLiteral("no property %1 in %2").arg(name, m_interface.name));
}

QString BusObject::introspect(const QString& path) const {
  if (!m_resolve(path).known) return {};
  QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(m_interface.name);
  for (const BusMethod& method : m_interface.methods) {
    xml += QStringLiteral("    <method name=\"%1\">\n").arg(method.name);
    const QStringList types = argumentTypes(method.inSignature);
    for (int i = 0; i < types.size(); ++i) {
      const QString name = i < method.argumentNames.size() ? method.argumentNames[i] : QStringLiteral("arg%1").arg(i);
      xml += argumentXml(name, types[i], "in");
    }
    if (!method.outSignature.isEmpty()) xml += argumentXml("result", method.outSignature, "out");
    xml += QStringLiteral("    </method>\n");
  }
  for (const BusSignal& busSignal : m_interface.signalList) {
    xml += QStringLiteral("    <signal name=\"%1\">\n").arg(busSignal.name);
    for (int i = 0; i < busSignal.argumentNames.size(); ++i) {
      xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\"/>\n").arg(busSignal.argumentNames[i], busSignal.signature[i]);
    }
    xml += QStringLiteral("    </signal>\n");
  }
  for (const BusProperty& property : m_interface.properties) {
    xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
               .arg(property.name, property.signature,
                    property.write ? QStringLiteral("readwrite") : QStringLiteral("read"));
  }
  return xml + QStringLiteral("  </interface>\n");
}

}  // namespace kernova
