#include "kernova/app/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "kernova/app/BusService.h"

namespace kernova {

NameClaim claimBusName(QDBusConnection& connection, const QString& name, QString& error) {
  QDBusConnectionInterface* bus = connection.interface();
  if (!bus) {
    error = QStringLiteral("no session bus");
    return NameClaim::Failed;
  }
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
      bus->registerService(name, QDBusConnectionInterface::DontQueueService,
                           QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid()) {
    error = reply.error().message();
    return NameClaim::Failed;
  }
  return reply.value() == QDBusConnectionInterface::ServiceRegistered ? NameClaim::Owned : NameClaim::Taken;
}

Status handOver(QDBusConnection& connection, const QStringList& fontFiles) {
  for (const QString& path : fontFiles) {
    QDBusMessage call = QDBusMessage::createMethodCall(bus::kServiceName, bus::kApplicationPath,
                                                       QString::fromLatin1(bus::kApplicationInterface), QStringLiteral("Open"));
    call << path;
    const QDBusMessage reply = connection.call(call, QDBus::Block, 20000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
      return Status::failure("the running editor could not open " + path.toStdString() + ": " +
                             reply.errorMessage().toStdString());
    }
  }
  return Status::success();
}

}  // namespace kernova
