#pragma once
// The About box: a fixed modal dialog with the program's icon, title, version and
// requirement note, a button that closes it and one that opens the maker's page.
// The system information button lies below the client area, out of view.
#include <QDialog>

class QLabel;
class QPushButton;
class Prompts;
namespace platform {
class RegistryLookup;
class UrlOpener;
}  // namespace platform

class frmAbout : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTwipsPerPixel = 15;
  static constexpr const char* kTitle = "DERUZI ZAZA RURID";
  static constexpr const char* kDescription =
      "* You need to have Wacom Tablet and Kernova 3.20 or later installed.";

  struct Services {
    platform::UrlOpener& urls;
    platform::RegistryLookup& registry;
    Prompts& prompts;
  };

  // `owner` is the main window: the dialog takes its caption when it loads.
  frmAbout(QWidget* owner, const Services& services);

  void Form_Load();
  void cmdOK_Click();
  void Command1_Click();
  void cmdSysInfo_Click();

  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* cmdSysInfo = nullptr;

 private:
  void createControls();

  Services m_services;
};
