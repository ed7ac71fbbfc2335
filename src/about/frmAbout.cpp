#include "about/frmAbout.h"

#include <QLabel>
#include <QPushButton>

#include "about/AboutActions.h"
#include "about/ProgramIcon.h"

namespace {

// Client area of 7140 x 1065 twips.
constexpr int kClientWidth = 476;
constexpr int kClientHeight = 71;

// Places `widget` at a rectangle given in twips.
// Narrows the label's font until its one line of text fits: the note was laid out for
// a bitmap font narrower than the faces found here.
void fitText(QLabel* label) {
  QFont font = label->font();
  while (font.pixelSize() > 8 &&
         QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
    font.setPixelSize(font.pixelSize() - 1);
  label->setFont(font);
}

template <typename W>
W* placeTwips(W* widget, int left, int top, int width, int height) {
  constexpr int t = frmAbout::kTwipsPerPixel;
  widget->setGeometry(left / t, top / t, width / t, height / t);
  return widget;
}

}  // namespace

frmAbout::frmAbout(QWidget* owner, const Services& services)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services) {
  setWindowTitle(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  createControls();
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
  connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
  Form_Load();
}

void frmAbout::createControls() {
  const QIcon icon = about::programIcon();
  setWindowIcon(icon);
  picIcon = placeTwips(new QLabel(this), 120, 120, 540, 540);
  picIcon->setPixmap(icon.pixmap(36, 36));
  lblTitle = placeTwips(new QLabel(kTitle, this), 840, 120, 2085, 240);
  lblVersion = placeTwips(new QLabel(this), 3120, 120, 1725, 225);
  lblDescription = placeTwips(new QLabel(kDescription, this), 120, 720, 5445, 210);
  fitText(lblDescription);
  cmdOK = placeTwips(new QPushButton("OK", this), 5520, 120, 1515, 345);
  cmdOK->setDefault(true);
  Command1 = placeTwips(new QPushButton("tovane atelier...", this), 5520, 600, 1515, 375);
  Command1->setAutoDefault(false);
  cmdSysInfo = placeTwips(new QPushButton("&System Info", this), 5160, 1080, 1275, 225);
  cmdSysInfo->setAutoDefault(false);
}

void frmAbout::Form_Load() {
  if (parentWidget()) setWindowTitle(parentWidget()->windowTitle());
  lblVersion->setText(about::versionText());
}

// Esc reaches reject() and closes the dialog the same way.
void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::Command1_Click() { about::openMakerPage(m_services.urls); }

void frmAbout::cmdSysInfo_Click() {
  about::StartSysInfo(m_services.registry, m_services.prompts, windowTitle());
}
