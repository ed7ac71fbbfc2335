// kernova: the font editor. One instance per session, reached over the session bus
// as "Kernova.Application"; font files named on the command line are opened, and so
// are the documents an editor that crashed left recovery copies of.
#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "kernova/app/BusService.h"
#include "kernova/app/DocumentSet.h"
#include "kernova/app/MainWindow.h"
#include "kernova/app/SingleInstance.h"

namespace {

QStringList absoluteFontFiles(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Kernova font editor"));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("fonts"), QStringLiteral("TrueType files to open"),
                               QStringLiteral("[font.ttf...]"));
  parser.process(app);
  QStringList files;
  for (const QString& file : parser.positionalArguments()) files << QFileInfo(file).absoluteFilePath();
  return files;
}

int handOverAndLeave(QDBusConnection& bus, const QStringList& files) {
  const Status status = kernova::handOver(bus, files);
  if (status) return 0;
  std::fprintf(stderr, "kernova: %s\n", status.message().c_str());
  return 1;
}

void openAtStart(kernova::DocumentSet& documents, const QStringList& files) {
  for (const QString& file : files) {
    int number = 0;
    const Status status = documents.open(file, number);
    if (status) continue;
    std::fprintf(stderr, "kernova: %s\n", status.message().c_str());
    documents.report(QStringLiteral("Open failed: %1").arg(QString::fromStdString(status.message())));
  }
}

// One recovered document per turn of the event loop, after the bus name is claimed,
// so clients are served in between.
void openRecoveredLater(kernova::DocumentSet& documents, std::vector<kernova::RecoveryEntry> entries) {
  if (entries.empty()) return;
  QTimer::singleShot(0, &documents, [&documents, entries = std::move(entries)]() mutable {
    const kernova::RecoveryEntry entry = entries.front();
    entries.erase(entries.begin());
    int number = 0;
    const Status status = documents.openRecovered(entry, number);
    documents.report(status ? QStringLiteral("Recovered %1").arg(entry.name)
                            : QStringLiteral("Recovering %1 failed: %2")
                                  .arg(entry.name, QString::fromStdString(status.message())));
    openRecoveredLater(documents, std::move(entries));
  });
}

kernova::WindowHooks windowHooks(kernova::MainWindow& window) {
  kernova::WindowHooks hooks;
  hooks.windowId = [&window] { return window.nativeWindowId(); };
  hooks.showWindow = [&window] {
    window.show();
    window.raise();
  };
  // exit(), not quit(): quit() closes the window first, which would ask about
  // unsaved work in a dialog, and a bus call never waits on a dialog.
  hooks.quit = [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); }); };
  return hooks;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Kernova"));
  const QStringList files = absoluteFontFiles(app);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected() && bus.interface()->isServiceRegistered(bus::kServiceName)) {
    return handOverAndLeave(bus, files);
  }

  kernova::DocumentSet documents;
  documents.setRecoveryFolder(kernova::RecoveryStore::defaultFolder());
  kernova::MainWindow window(documents);
  kernova::BusService service(documents, windowHooks(window));

  // Objects and start-up fonts are in place before the name appears, so a client
  // that waits for the name can call at once.
  Status registered = service.registerObjects(bus);
  openAtStart(documents, files);
  QString claimError;
  const auto claim = registered ? kernova::claimBusName(bus, bus::kServiceName, claimError)
                                : kernova::NameClaim::Failed;
  if (claim == kernova::NameClaim::Taken) return handOverAndLeave(bus, files);
  if (claim == kernova::NameClaim::Failed) {
    const QString why = registered ? claimError : QString::fromStdString(registered.message());
    std::fprintf(stderr, "kernova: running without the bus service: %s\n", qPrintable(why));
    documents.report(QStringLiteral("No bus service: %1").arg(why));
  }
  window.show();
  openRecoveredLater(documents, documents.recoverable());
  const int result = app.exec();
  // A blocking call after the last reply: the replies already queued (Quit's) reach
  // their callers before the process ends.
  if (claim == kernova::NameClaim::Owned) bus.interface()->unregisterService(bus::kServiceName);
  return result;
}
