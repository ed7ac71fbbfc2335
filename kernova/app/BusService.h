#pragma once
// The editor's bus contract, served under the name "Kernova.Application": the
// application object /Application (interface Kernova.Application) and one object
// /Documents/N per document (interface Kernova.Document). A call never waits on a
// dialog: a failure is a Kernova.Error.* reply and a line in the status bar. Calls on
// a closed document get Kernova.Error.NoDocument. A code the user picks in the window
// goes out as the document's CurrentCodeChanged signal.
#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <optional>

#include "kernova/app/BusObject.h"
#include "kernova/app/DocumentSet.h"
#include "common/BusContract.h"
#include "common/Status.h"

namespace kernova {

// What the service needs of the window.
struct WindowHooks {
  std::function<uint()> windowId;    // hWnd: the native window id, 0 when there is none
  std::function<void()> showWindow;  // NewFile(..., visible = true)
  std::function<void()> quit;        // Quit; must return at once (queue the quit): the reply goes after it
};

class BusService : public QObject {
  Q_OBJECT

 public:
  BusService(DocumentSet& documents, WindowHooks hooks, QObject* parent = nullptr);

  // Registers /Application and the /Documents subtree (not the bus name).
  Status registerObjects(QDBusConnection& connection);

  static QString documentPath(int number);  // "/Documents/N"; "/" for 0, no document

 private:
  using DocumentHandler = BusReply (BusService::*)(int number, FontDocument& document,
                                                   const QVariantList& arguments);
  BusInterface applicationInterface();
  BusInterface documentInterface();
  BusMethod documentMethod(const char* name, const char* in, const char* out,
                           QStringList argumentNames, DocumentHandler handler);
  BusTarget resolveDocument(const QString& path) const;
  BusProperty infoProperty(const char* name, std::string FontInfo::*field);
  void sendCurrentCodeChanged(int number, int code);

  BusReply newFile(const QVariantList& arguments);
  BusReply openFile(const QVariantList& arguments);
  BusReply quit();
  BusReply getcode(int number, FontDocument& document, const QVariantList& arguments);
  BusReply setcode(int number, FontDocument& document, const QVariantList& arguments);
  BusReply viewnextcode(int number, FontDocument& document, const QVariantList& arguments);
  BusReply viewpreviouscode(int number, FontDocument& document, const QVariantList& arguments);
  BusReply selectall(int number, FontDocument& document, const QVariantList& arguments);
  BusReply deleteSelection(int number, FontDocument& document, const QVariantList& arguments);
  BusReply unselectall(int number, FontDocument& document, const QVariantList& arguments);
  BusReply importBmpfile(int number, FontDocument& document, const QVariantList& arguments);
  BusReply setLeftRightSidebearing(int number, FontDocument& document, const QVariantList& arguments);
  BusReply importBitmaps(int number, FontDocument& document, const QVariantList& arguments);
  BusReply undo(int number, FontDocument& document, const QVariantList& arguments);
  BusReply redo(int number, FontDocument& document, const QVariantList& arguments);
  BusReply save(int number, FontDocument& document, const QVariantList& arguments);
  BusReply saveAs(int number, FontDocument& document, const QVariantList& arguments);
  BusReply close(int number, FontDocument& document, const QVariantList& arguments);
  BusReply install(int number, FontDocument& document, const QVariantList& arguments);

  BusReply failed(const char* errorName, const QString& member, const Status& status);
  BusReply changed(int number, const QString& action);

  DocumentSet& m_documents;
  WindowHooks m_hooks;
  BusObject* m_applicationObject = nullptr;
  BusObject* m_documentObjects = nullptr;
  std::optional<QDBusConnection> m_connection;  // where the objects are registered
};

}  // namespace kernova
