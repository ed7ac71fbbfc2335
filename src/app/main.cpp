// The tool's entry point: builds the production services and hands them to the window.
#include <QApplication>
#include <random>

#include "about/ProgramIcon.h"
#include "app/Form1.h"
#include "platform/DBusEditor.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/RegistryLookup.h"
#include "platform/SettingsStore.h"
#include "platform/TabletLayer.h"
#include "platform/TerminationSignals.h"
#include "platform/UrlOpener.h"

namespace {

// The brush's scatter, seeded afresh at every start.
class MersenneRandom final : public brush::RandomSource {
 public:
  double next() override { return m_distribution(m_engine); }

 private:
  std::mt19937 m_engine{std::random_device{}()};
  std::uniform_real_distribution<double> m_distribution{0.0, 1.0};
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  QApplication::setApplicationName("deruzizazarurid");
  QApplication::setWindowIcon(about::programIcon());

  platform::MessageBoxPrompts prompts;
  MersenneRandom random;
  const std::unique_ptr<TabletLayer> tablet = platform::makeTabletLayer();
  platform::IniSettingsStore settings;
  platform::DBusEditorLauncher editor;
  platform::DesktopUrlOpener urls;
  platform::NoRegistryLookup registry;
  Form1 window({.prompts = &prompts, .random = &random, .tablet = tablet.get(),
                .settings = &settings, .editor = &editor, .urls = &urls, .registry = &registry,
                .workingDirectory = {}});
  prompts.setParent(&window);  // message boxes before this (start-up) have no owner yet
  platform::closeOnTerminationSignals(&window);
  window.show();
  return app.exec();
}
