#pragma once
// One editor per session: the first instance owns the bus name; a later one hands
// its font files to it through Open and leaves.
#include <QDBusConnection>
#include <QStringList>

#include "common/Status.h"

namespace kernova {

enum class NameClaim { Owned, Taken, Failed };

// Asks the bus for `name` without queueing: Taken when another process owns it.
NameClaim claimBusName(QDBusConnection& connection, const QString& name, QString& error);

// Opens each file (absolute paths) in the running editor. Fails on the first error
// reply, with its message.
Status handOver(QDBusConnection& connection, const QStringList& fontFiles);

}  // namespace kernova
