#include "app/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "common/Status.h"

#include "reference/ReferenceFace.h"
#include "reference/ReferenceLabel.h"
#include "widgets/PictureBox.h"

namespace {

// The drawing area of the canvas; the picture box adds a one-pixel border.
constexpr int kCanvasSize = 512;
// Client area below the menu bar: the design's 663 x 627 outer window less its frame.
constexpr int kClientWidth = 657;
constexpr int kClientHeight = 581;

template <typename W>
W* place(W* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  return place(new QLabel(text, parent), x, y, w, h);
}

QPushButton* button(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  auto* b = place(new QPushButton(text, parent), x, y, w, h);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

QCheckBox* checkBox(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  return place(new QCheckBox(text, parent), x, y, w, h);
}

QLineEdit* textBox(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  auto* edit = place(new QLineEdit(text, parent), x, y, w, h);
  edit->setTextMargins(0, 0, 0, 0);
  return edit;
}

QSlider* slider(QWidget* parent, int x, int y) {
  auto* s = place(new QSlider(Qt::Horizontal, parent), x, y, 265, 15);
  s->setRange(1, 250);
  s->setSingleStep(1);
  s->setPageStep(5);
  return s;
}

// A text field takes the keys of its own editing commands (undo, redo, copy) before
// any shortcut; the menu's shortcuts act whichever control has the focus, so the
// fields are kept from claiming those.
class MenuShortcutsFirst final : public QObject {
 public:
  MenuShortcutsFirst(QObject* parent, QList<QAction*> actions)
      : QObject(parent), m_actions(std::move(actions)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
      for (const QAction* action : m_actions) {
        if (action->shortcut() == pressed) {
          event->ignore();
          return true;
        }
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QList<QAction*> m_actions;
};

void rule(QWidget* parent, int x0, int y, int x1) {
  auto* line = place(new QFrame(parent), x0, y, x1 - x0 + 1, 1);
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, QColor(128, 128, 128));
  line->setPalette(palette);
}

}  // namespace

Form1::Form1(const Form1Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_prompts(services.prompts),
      m_tablet(services.tablet) {
  setWindowTitle(kCaption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  reference::installFaceSubstitutions();
  createControls();
  createMenus();
  m_brush = std::make_unique<brush::BrushEngine>(PictureDOT->picture(), *this, *services.random,
                                                 PictureTabletPressure->picture().width());
  brushOptionsChanged();
  connectHandlers();
  Form_Load();
}

Form1::~Form1() = default;

RetainedImage& Form1::canvas() { return PictureDOT->picture(); }

std::filesystem::path Form1::workingDirectory() const {
  if (!m_services.workingDirectory.empty()) return m_services.workingDirectory;
  std::error_code error;
  return std::filesystem::current_path(error);
}

void Form1::createControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  QFont font = client->font();
  font.setPixelSize(11);
  client->setFont(font);
  setCentralWidget(client);

  PictureDOT = place(new PictureBox(kCanvasSize, kCanvasSize, true, client), 8, 40, 514, 514);
  PictureDOT->setCursor(Qt::CrossCursor);
  PictureDOT->setFocusPolicy(Qt::ClickFocus);  // a click leaves the text fields
  PictureTemp = std::make_unique<RetainedImage>(kCanvasSize, kCanvasSize);
  Label4 = label(client, "Min:", 8, 8, 25, 17);
  Label2 = label(client, "Max:", 8, 24, 25, 17);
  SliderMin = slider(client, 32, 8);
  SliderMax = slider(client, 32, 24);
  LabelMin = label(client, "0", 304, 8, 17, 17);
  LabelMax = label(client, "0", 304, 24, 17, 17);
  for (int i = 0; i < 3; ++i) {
    CommandPreset[i] = button(client, "", 328 + 64 * i, 8, 9, 7);
    CommandUsePreset[i] = button(client, "999,999", 328 + 64 * i, 16, 61, 20);
  }
  CheckSumiro = checkBox(client, "SumiroMode", 528, 8, 97, 17);
  TextChar = textBox(client, "", 528, 40, 25, 18);
  TextChar->setToolTip("文字");
  LabelCode = label(client, "", 560, 44, 41, 17);
  CommandPrev = button(client, "<<", 600, 40, 25, 17);
  CommandPrev->setToolTip("前の文字");
  CommandNext = button(client, ">>", 624, 40, 25, 17);
  CommandNext->setToolTip("次の文字");
  CommandKernova = button(client, "Kernova", 528, 64, 121, 17);
  CommandKernova->setToolTip("Kernovaへ文字の読み込み");
  CheckAuto = checkBox(client, "Auto", 528, 84, 49, 17);
  CheckSync = checkBox(client, "Sync", 600, 84, 49, 17);
  CheckSB = checkBox(client, "SetSB", 528, 112, 57, 17);
  CheckSB->setToolTip("Kernovaへの読み込み時にサイドベアリングを設定");
  TextLSB = textBox(client, "", 584, 112, 33, 18);
  TextLSB->setToolTip("左サイドベアリング");
  TextRSB = textBox(client, "", 616, 112, 33, 18);
  TextRSB->setToolTip("右サイドベアリング");
  CheckRefChar = checkBox(client, "RefferOtherFont", 528, 144, 105, 17);
  CheckRefChar->setToolTip("文字見本を表示する");
  LabelChar = place(new ReferenceLabel(client), 528, 164, 37, 37);
  LabelChar->setToolTip("文字見本");
  TextFace = textBox(client, "ＭＳ Ｐゴシック", 568, 164, 81, 18);
  TextFace->setToolTip("参照するフォントのフェイス名");
  LabelCurFace = label(client, "-", 570, 188, 79, 17);
  LabelCurFace->setToolTip("実際に表示されているフォントのフェイス名");
  PictureTabletPressure = place(new PictureBox(121, 9, false, client), 528, 216, 121, 9);
  PictureTabletPressure->picture().setBackColor(colours::White);
  PictureTabletPressure->picture().clear();
  CheckMouseMode = checkBox(client, "Mouse Mode", 596, 228, 57, 25);
  CommandResetTablet = button(client, "RstTablet", 528, 232, 65, 17);
  PictureMouseIndicator = place(new PictureBox(9, 9, false, client), 680, 240, 9, 9);
  PictureMouseIndicator->picture().setBackColor(colours::White);
  PictureMouseIndicator->picture().clear();
  Label3 = label(client, "DataNum:", 528, 268, 49, 17);
  LabelStatus = label(client, "", 584, 268, 65, 17);
  CommandSave = button(client, "Save", 528, 288, 57, 17);
  CommandLoad = button(client, "Load", 592, 288, 57, 17);
  CommandClear = button(client, "Clear", 528, 320, 121, 66);
  CommandKernova2 = button(client, "Kernova", 528, 392, 121, 107);
  CommandPrev2 = button(client, "<<", 528, 504, 57, 49);
  CommandNext2 = button(client, ">>", 592, 504, 57, 49);
  LabelStat = label(client, "", 8, 560, 641, 17);
  Label1 = label(client, "", 680, 0, 121, 233);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  rule(client, 0, 0, 656);
  rule(client, 0, 0, 120);
  for (int y : {32, 104, 136, 208, 256, 312}) rule(client, 528, y, 648);
  Timer1 = new QTimer(this);
  Timer1->setInterval(25);
  client->setMouseTracking(true);
  setMouseTracking(true);
}

void Form1::createMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  mnuFileExit = file->addAction("Exit");
  QMenu* edit = menuBar()->addMenu("&Edit");
  mnuEditKernova = edit->addAction("Kernova");
  mnuEditKernova->setShortcut(QKeySequence("Ctrl+T"));
  mnuEditClear = edit->addAction("Clear");
  mnuEditClear->setShortcut(QKeySequence("Ctrl+C"));
  mnuEditUnDo = edit->addAction("UnDo");
  mnuEditUnDo->setShortcut(QKeySequence("Ctrl+Z"));
  mnuEditReDo = edit->addAction("ReDo");
  mnuEditReDo->setShortcut(QKeySequence("Ctrl+Y"));
  mnuEditNextChar = edit->addAction("Next Char");
  mnuEditNextChar->setShortcut(QKeySequence("Ctrl+N"));
  mnuEditPrevChar = edit->addAction("Prev Char");
  mnuEditPrevChar->setShortcut(QKeySequence("Ctrl+P"));
  mnuEditSendAll = edit->addAction("Send All Written Characters");
  mnuEditSendAll->setShortcut(QKeySequence("Ctrl+Shift+T"));
  QMenu* help = menuBar()->addMenu("&Help");
  mnuHelpAbout = help->addAction("About...");
  mnuTovaneAtelier = help->addAction("Go To Tovane Atelier...");
  const QList<QAction*> shortcuts = {mnuEditKernova, mnuEditClear,    mnuEditUnDo,
                                     mnuEditReDo,    mnuEditNextChar, mnuEditPrevChar, mnuEditSendAll};
  for (QAction* action : shortcuts) action->setShortcutContext(Qt::ApplicationShortcut);
  auto* menuFirst = new MenuShortcutsFirst(this, shortcuts);
  for (QLineEdit* field : {TextChar, TextLSB, TextRSB, TextFace})
    field->installEventFilter(menuFirst);
  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

void Form1::connectHandlers() {
  connect(PictureDOT, &PictureBox::mouseDown, this, &Form1::PictureDOT_MouseDown);
  connect(PictureDOT, &PictureBox::mouseMove, this, &Form1::PictureDOT_MouseMove);
  connect(PictureDOT, &PictureBox::mouseUp, this, &Form1::PictureDOT_MouseUp);
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(SliderMin, &QSlider::valueChanged, this, [this] { SliderMin_Scroll(); });
  connect(SliderMax, &QSlider::valueChanged, this, [this] { SliderMax_Scroll(); });
  for (int i = 0; i < 3; ++i) {
    connect(CommandPreset[i], &QPushButton::clicked, this, [this, i] { CommandPreset_Click(i); });
    connect(CommandUsePreset[i], &QPushButton::clicked, this,
            [this, i] { CommandUsePreset_Click(i); });
  }
  connect(CommandClear, &QPushButton::clicked, this, &Form1::CommandClear_Click);
  connect(CommandSave, &QPushButton::clicked, this, &Form1::CommandSave_Click);
  connect(CommandLoad, &QPushButton::clicked, this, &Form1::CommandLoad_Click);
  connect(CommandResetTablet, &QPushButton::clicked, this, &Form1::CommandResetTablet_Click);
  connect(CommandKernova, &QPushButton::clicked, this, &Form1::CommandKernova_Click);
  connect(CommandKernova2, &QPushButton::clicked, this, &Form1::CommandKernova2_Click);
  connect(CommandNext, &QPushButton::clicked, this, &Form1::CommandNext_Click);
  connect(CommandPrev, &QPushButton::clicked, this, &Form1::CommandPrev_Click);
  connect(CommandNext2, &QPushButton::clicked, this, &Form1::CommandNext2_Click);
  connect(CommandPrev2, &QPushButton::clicked, this, &Form1::CommandPrev2_Click);
  connect(CheckAuto, &QCheckBox::stateChanged, this, [this] { CheckAuto_Click(); });
  connect(CheckSync, &QCheckBox::stateChanged, this, [this] { CheckSync_Click(); });
  connect(CheckSB, &QCheckBox::stateChanged, this, [this] { CheckSB_Click(); });
  connect(CheckRefChar, &QCheckBox::stateChanged, this, [this] { CheckRefChar_Click(); });
  connect(CheckSumiro, &QCheckBox::stateChanged, this, &Form1::brushOptionsChanged);
  connect(CheckMouseMode, &QCheckBox::stateChanged, this, &Form1::brushOptionsChanged);
  connect(TextChar, &QLineEdit::textChanged, this, [this] { TextChar_Change(); });
  connect(TextFace, &QLineEdit::textChanged, this, [this] { TextFace_Change(); });
  connect(LabelChar, &ReferenceLabel::mouseDown, this, &Form1::LabelChar_MouseDown);
  connect(LabelChar, &ReferenceLabel::mouseMove, this, &Form1::LabelChar_MouseMove);
  connect(LabelChar, &ReferenceLabel::mouseUp, this, &Form1::LabelChar_MouseUp);
  connect(LabelChar, &ReferenceLabel::doubleClicked, this, &Form1::LabelChar_DblClick);
  connect(mnuFileExit, &QAction::triggered, this, &Form1::mnuFileExit_Click);
  connect(mnuEditKernova, &QAction::triggered, this, &Form1::mnuEditKernova_Click);
  connect(mnuEditClear, &QAction::triggered, this, &Form1::mnuEditClear_Click);
  connect(mnuEditUnDo, &QAction::triggered, this, &Form1::mnuEditUnDo_Click);
  connect(mnuEditReDo, &QAction::triggered, this, &Form1::mnuEditReDo_Click);
  connect(mnuEditNextChar, &QAction::triggered, this, &Form1::mnuEditNextChar_Click);
  connect(mnuEditPrevChar, &QAction::triggered, this, &Form1::mnuEditPrevChar_Click);
  connect(mnuEditSendAll, &QAction::triggered, this, &Form1::mnuEditSendAll_Click);
  connect(mnuHelpAbout, &QAction::triggered, this, &Form1::mnuHelpAbout_Click);
  connect(mnuTovaneAtelier, &QAction::triggered, this, &Form1::mnuTovaneAtelier_Click);
}

int Form1::checkValue(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
  }
}

void Form1::setCheckValue(QCheckBox* box, int value) {
  if (value == 2) box->setTristate(true);
  box->setCheckState(value == 0 ? Qt::Unchecked
                                : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void Form1::showStatusCount() {
  LabelStatus->setText(QString::fromStdString(statusText(m_strokeLog.logEnd())));
}

void Form1::showFailure(const QString& what, const Status& failure) {
  LabelStat->setText(what + "（" + QString::fromStdString(failure.message()) + "）");
}

// Start-up, in the fixed order; each area's step is its own function.
void Form1::Form_Load() {
  m_firstActivation = true;
  m_editorLinked = false;
  m_editorUnavailable = false;
  ensureDataFolder();
  const std::filesystem::path cwd = workingDirectory();
  m_dotsBasePath = QString::fromStdString(cwd.string()) + "/data/srfm_dots";
  loadSettings();
  m_refLabelMaxWidth = 37.0;
  m_refLabelMaxHeight = 37.0;
  m_refLabelDragging = false;
  m_clearPending = false;
  m_syncSkipCount = 0;
  loadStrokeFile(strokeFileName(m_currentCharCode));
  m_strokesLoaded = true;
  showStatusCount();
  m_tabletContext = 0;
  openTablet();
  showStartupNotice();
  Timer1->start();
}

void Form1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_firstActivation)
    QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
}

// The one-time work of the first activation: draw the canvas, apply the reference
// face, connect to the editor.
void Form1::Form_Activate() {
  if (!m_firstActivation) return;
  m_firstActivation = false;
  QCoreApplication::processEvents();
  redrawCanvas();
  TextFace_Change();
  initialiseEditor();
}

void Form1::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

// Shut-down, in the fixed order; never cancelled. From the editor question on,
// every failure is ignored.
void Form1::Form_Unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  Timer1->stop();
  if (checkValue(CheckSync) != 0) syncTransfer();
  saveStrokesAtClose();
  saveSettings();
  askToSaveEditorFont();
  closeTablet();
}

void Form1::mnuFileExit_Click() { close(); }

void Form1::mnuEditKernova_Click() {
  if (!m_editorUnavailable) CommandKernova_Click();
}

void Form1::mnuEditClear_Click() { CommandClear_Click(); }

void Form1::mnuEditNextChar_Click() {
  if (!m_editorUnavailable) CommandNext_Click();
}

void Form1::mnuEditPrevChar_Click() {
  if (!m_editorUnavailable) CommandPrev_Click();
}

void Form1::mnuEditSendAll_Click() {
  if (!m_editorUnavailable) sendAllWrittenCharacters();
}

void Form1::setEditorControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           CommandPrev, CommandNext, CommandKernova, CheckAuto, CheckSync, CheckSB, TextLSB,
           TextRSB, CommandKernova2, CommandPrev2, CommandNext2})
    w->setEnabled(enabled);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
  Form_MouseMove(PictureBox::buttonBits(event->buttons()),
                 PictureBox::modifierBits(event->modifiers()), float(event->position().x()),
                 float(event->position().y()));
}
