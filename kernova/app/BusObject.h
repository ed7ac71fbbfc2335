#pragma once
// A bus object served straight from the message: one interface described as a table
// of methods, properties (read-only unless they have a writer) and the signals it
// sends. Every call's argument signature is checked
// exactly against the table before its handler runs, properties are served through
// org.freedesktop.DBus.Properties, and introspection is generated from the table.
#include <QDBusVirtualObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace kernova {

// The answer to a call: values, or an error name with a readable message.
struct BusReply {
  QVariantList values;
  QString errorName;
  QString errorMessage;

  static BusReply ok(QVariantList values = {}) { return BusReply{std::move(values), {}, {}}; }
  static BusReply error(const QString& name, const QString& message) {
    return BusReply{{}, name, message};
  }
  bool failed() const { return !errorName.isEmpty(); }
};

// Which object of the subtree a path names: a target number (0 for a single object),
// or the error every call on it gets (unknown path, closed document ...). A path
// that is `known` introspects with the interface even when its calls fail, so
// clients reach the error reply instead of failing to build a proxy.
struct BusTarget {
  int number = 0;
  std::optional<BusReply> error;
  bool known = true;
};

struct BusMethod {
  QString name;
  QString inSignature;
  QString outSignature;
  QStringList argumentNames;  // introspection only
  std::function<BusReply(int target, const QVariantList& arguments)> handler;
};

struct BusProperty {
  QString name;
  QString signature;
  std::function<QVariant(int target)> read;
  // Set with a value of `signature`; empty for a read-only property.
  std::function<BusReply(int target, const QVariant& value)> write = {};
};

struct BusSignal {  // introspection only: whoever emits it sends it itself
  QString name;
  QString signature;
  QStringList argumentNames;
};

struct BusInterface {
  QString name;
  std::vector<BusMethod> methods;
  std::vector<BusProperty> properties;
  std::vector<BusSignal> signalList;
};

class BusObject : public QDBusVirtualObject {
  Q_OBJECT

 public:
  using Resolver = std::function<BusTarget(const QString& path)>;
  BusObject(BusInterface interface, Resolver resolve, QObject* parent = nullptr);

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
  QString introspect(const QString& path) const override;

 private:
  BusReply callMethod(const QDBusMessage& message, int target) const;
  BusReply callProperties(const QDBusMessage& message, int target) const;
  BusReply getProperty(const QString& interfaceName, const QString& name, int target) const;
  BusReply getAllProperties(const QString& interfaceName, int target) const;
  BusReply setProperty(const QVariantList& arguments, int target) const;

  BusInterface m_interface;
  Resolver m_resolve;
};

}  // namespace kernova
