#pragma once
// The tool's window driving a real kernova on the session bus, for benchmarks: attaches
// to a running editor or starts `kernova` from DZ_BIN_DIR (the build's own otherwise),
// works and keeps its settings in `home`, and quits the editor it started when it goes.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <memory>

#include "app/Form1.h"
#include "common/BusContract.h"
#include "platform/DBusEditor.h"
#include "platform/SettingsStore.h"
#include "prompts/Prompts.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"

inline QString editorProgram() {
  const QByteArray binDir = qgetenv("DZ_BIN_DIR");
  return binDir.isEmpty() ? QStringLiteral(KERNOVA_EXECUTABLE) : QString(binDir) + "/kernova";
}

class RealEditorWindow {
 public:
  // Opens on `firstCode` and connects at once (the prompts answer the font questions).
  RealEditorWindow(const QTemporaryDir& home, Prompts& prompts, int32_t firstCode)
      : m_launcher(QDBusConnection::sessionBus(), editorProgram()),
        m_ownEditor(!m_launcher.attach()),
        m_settings(home.filePath("tovane.ini")) {
    m_fakes.random.value = 0.5;
    Form1Services services;
    services.prompts = &prompts;
    services.editor = &m_launcher;
    services.workingDirectory = home.path().toStdString();
    services.settings = &m_settings;
    m_fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
    peek(*form).setCurrentCharCode(firstCode);
    form->Form_Activate();
  }
  ~RealEditorWindow() {
    form.reset();
    if (!m_ownEditor) return;
    QDBusMessage quit = QDBusMessage::createMethodCall(bus::kServiceName, bus::kApplicationPath,
                                                       "Kernova.Application", "Quit");
    QDBusConnection::sessionBus().call(quit, QDBus::Block, 5000);
  }

 private:
  platform::DBusEditorLauncher m_launcher;
  bool m_ownEditor;
  FakeServices m_fakes;
  platform::IniSettingsStore m_settings;

 public:
  std::unique_ptr<Form1> form;
};
