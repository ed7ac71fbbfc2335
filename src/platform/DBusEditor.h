#pragma once
// The editor's automation interface over the session bus (the contract of
// "Kernova.Application"). Members are called by name with arguments in the
// contract's exact D-Bus types; every call has a timeout, and an error reply, a
// timeout or a reply of the wrong type is a failed call; after a timeout the same
// editor's calls fail at once until an attach finds it answering again (a hung
// editor costs one timeout, not one per call). An owner of the name that does not
// answer is still attached to, never replaced by a second editor. Proxies address the
// owner's unique name, so a proxy from an editor that has gone never reaches a
// newly started one.
#include <QDBusConnection>
#include <QString>
#include <memory>
#include <set>

#include "common/BusContract.h"
#include "editor/EditorAutomation.h"

namespace platform {

struct BusTimeouts {
  int callMs = 5000;
  int importMs = 20000;
  int startMs = 10000;  // waiting for a started editor's name
  int pollMs = 50;
};


class PickedCodeReceiver;

class DBusEditorLauncher final : public editor::EditorLauncher {
 public:
  // start() runs `program`, or when it is empty the first "kernova" found beside this
  // program's executable or on PATH; with no such executable it asks the bus to
  // start the editor from its service file (bus activation).
  explicit DBusEditorLauncher(QDBusConnection connection = QDBusConnection::sessionBus(),
                              QString program = {}, BusTimeouts timeouts = {});
  ~DBusEditorLauncher() override;

  std::shared_ptr<editor::EditorApplication> attach() override;
  std::shared_ptr<editor::EditorApplication> start() override;
  // Listens to CurrentCodeChanged of every document of whoever owns the editor's name.
  void followPickedCodes(std::function<void(int32_t code)> handler) override;

 private:
  QString ownerOfName() const;
  QString editorProgram() const;
  std::shared_ptr<editor::EditorApplication> activate();

  QDBusConnection m_connection;
  QString m_program;
  BusTimeouts m_timeouts;
  // Owners that let a call time out; shared with the proxies handed out.
  std::shared_ptr<std::set<QString>> m_silentOwners;
  std::unique_ptr<PickedCodeReceiver> m_picks;
};

}  // namespace platform
