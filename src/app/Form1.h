#pragma once
// The main window: every control, the run-time state, the menus, and the event
// handlers under their given names. Handlers stay thin; the work is in the area
// libraries (brush, strokes, input, reference, editor, glyph). The handlers of each
// area are defined in a file of their own (Form1<Area>.cpp).
#include <QMainWindow>
#include <QString>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/ReplayCheckpoints.h"
#include "brush/BrushEngine.h"
#include "common/BusContract.h"
#include "input/PacketTracker.h"
#include "canvas/Colour.h"
#include "strokes/StrokeLog.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class PictureBox;
class Prompts;
class RetainedImage;
class ReferenceLabel;
class Status;
class TabletLayer;
namespace editor {
class EditorLauncher;
class EditorLink;
}
namespace platform {
class SettingsStore;
class UrlOpener;
class RegistryLookup;
}  // namespace platform

// What the window reaches outside itself: `main` passes the production services, tests
// pass fakes. Every pointer is required and must outlive the window.
struct Form1Services {
  Prompts* prompts = nullptr;
  brush::RandomSource* random = nullptr;
  TabletLayer* tablet = nullptr;
  platform::SettingsStore* settings = nullptr;
  editor::EditorLauncher* editor = nullptr;
  platform::UrlOpener* urls = nullptr;
  platform::RegistryLookup* registry = nullptr;
  std::filesystem::path workingDirectory;  // empty: the process's current directory
};

class Form1 : public QMainWindow, public brush::BrushHost {
  Q_OBJECT
  // The one way in for tests to state the window keeps to itself (tests/app/Form1TestAccess.h).
  friend struct Form1TestAccess;

 public:
  explicit Form1(const Form1Services& services, QWidget* parent = nullptr);
  ~Form1() override;

  static constexpr const char* kCaption = "DeruziZazaRurid";

  // --- application shell: start-up, first activation, shut-down, menus
  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void mnuFileExit_Click();
  void mnuEditKernova_Click();
  void mnuEditClear_Click();
  void mnuEditUnDo_Click();
  void mnuEditReDo_Click();
  void mnuEditNextChar_Click();
  void mnuEditPrevChar_Click();
  void mnuEditSendAll_Click();
  void mnuHelpAbout_Click();
  void mnuTovaneAtelier_Click();

  // --- settings store and brush presets
  void loadSettings();
  void saveSettings();
  void CommandPreset_Click(int index);
  void CommandUsePreset_Click(int index);

  // --- pen input
  void openTablet();
  void closeTablet();
  void CommandResetTablet_Click();
  // Drains the tablet's queue and shows the readout; false, changing nothing, when no
  // context is open.
  bool readTabletPackets();
  void Form_MouseMove(int button, int shift, float x, float y);
  void drawPressureBar(int position, Colour colour) override;

  // --- brush engine
  void PictureDOT_MouseDown(int button, int shift, float x, float y);
  void PictureDOT_MouseMove(int button, int shift, float x, float y);
  void PictureDOT_MouseUp(int button, int shift, float x, float y);
  void updateW(double step) { m_brush->updateW(step); }
  void Timer1_Timer();
  void SliderMin_Scroll();
  void SliderMax_Scroll();

  // --- stroke log and stroke files
  void CommandClear_Click();
  void ensureDataFolder();
  static QString strokeFileName(int32_t code);
  bool saveStrokeFile(const QString& path);  // false when the file could not be written
  void loadStrokeFile(const QString& path);
  void CommandSave_Click();
  void CommandLoad_Click();
  // The canvas as live drawing left it for `log`, without the reference character.
  // Touches nothing of the window, so it may run beside it.
  static void composeStrokes(const StrokeLog& log, RetainedImage& target);

  // --- font editor bridge
  void TextChar_KeyPress(int16_t keyAscii);
  void TextChar_Change();
  void CommandNext_Click();
  void CommandPrev_Click();
  void CommandNext2_Click() { CommandNext_Click(); }
  void CommandPrev2_Click() { CommandPrev_Click(); }
  void CheckAuto_Click();
  void CheckSync_Click();
  void CommandKernova_Click();
  void CommandKernova2_Click() { CommandKernova_Click(); }
  void CheckSB_Click();
  // A code the user picked in the editor's window: taken as if the character had been
  // typed, through the same switch as Next/Prev. While the window is busy (a modal box
  // open, a stroke being drawn, a switch under way) the newest such code waits and is
  // taken when it is done.
  void followEditorCode(int32_t code);

  // --- glyph bitmap
  QString exportGlyphBitmap();
  // Send All Written Characters: every character with a stroke file in the editor's
  // code set is drawn again from its strokes off the screen and sent as the Kernova
  // button sends it (side bearings when SetSB is ticked); characters without ink are
  // skipped. The current character's strokes are saved first and its canvas is left
  // alone; the editor returns to it at the end. A progress box counts and can cancel.
  void sendAllWrittenCharacters();

  // --- reference character and canvas recomposition
  void TextFace_Change();
  void CheckRefChar_Click();
  void LabelChar_MouseDown(int button, int shift, float x, float y);
  void LabelChar_MouseMove(int button, int shift, float x, float y);
  void LabelChar_MouseUp(int button, int shift, float x, float y);
  void LabelChar_DblClick();
  void redrawCanvas();

  // --- state read by the areas (tests read the rest through Form1TestAccess)
  RetainedImage& canvas();
  std::filesystem::path workingDirectory() const;

  // --- controls (named as the design names them)
  PictureBox* PictureDOT = nullptr;
  std::unique_ptr<RetainedImage> PictureTemp;  // off-screen composition surface
  QLabel* Label4 = nullptr;
  QLabel* Label2 = nullptr;
  QSlider* SliderMin = nullptr;
  QSlider* SliderMax = nullptr;
  QLabel* LabelMin = nullptr;
  QLabel* LabelMax = nullptr;
  std::array<QPushButton*, 3> CommandPreset{};
  std::array<QPushButton*, 3> CommandUsePreset{};
  QCheckBox* CheckSumiro = nullptr;
  QLineEdit* TextChar = nullptr;
  QLabel* LabelCode = nullptr;
  QPushButton* CommandPrev = nullptr;
  QPushButton* CommandNext = nullptr;
  QPushButton* CommandKernova = nullptr;
  QCheckBox* CheckAuto = nullptr;
  QCheckBox* CheckSync = nullptr;
  QCheckBox* CheckSB = nullptr;
  QLineEdit* TextLSB = nullptr;
  QLineEdit* TextRSB = nullptr;
  QCheckBox* CheckRefChar = nullptr;
  ReferenceLabel* LabelChar = nullptr;
  QLineEdit* TextFace = nullptr;
  QLabel* LabelCurFace = nullptr;
  PictureBox* PictureTabletPressure = nullptr;
  QCheckBox* CheckMouseMode = nullptr;
  QPushButton* CommandResetTablet = nullptr;
  PictureBox* PictureMouseIndicator = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* LabelStatus = nullptr;
  QPushButton* CommandSave = nullptr;
  QPushButton* CommandLoad = nullptr;
  QPushButton* CommandClear = nullptr;
  QPushButton* CommandKernova2 = nullptr;
  QPushButton* CommandPrev2 = nullptr;
  QPushButton* CommandNext2 = nullptr;
  QLabel* LabelStat = nullptr;
  QLabel* Label1 = nullptr;
  QTimer* Timer1 = nullptr;

  QAction* mnuFileExit = nullptr;
  QAction* mnuEditKernova = nullptr;
  QAction* mnuEditClear = nullptr;
  QAction* mnuEditUnDo = nullptr;
  QAction* mnuEditReDo = nullptr;
  QAction* mnuEditNextChar = nullptr;
  QAction* mnuEditPrevChar = nullptr;
  QAction* mnuEditSendAll = nullptr;
  QAction* mnuHelpAbout = nullptr;
  QAction* mnuTovaneAtelier = nullptr;

  // Check box values as the design counts them: 0 unticked, 1 ticked, 2 grey.
  static int checkValue(const QCheckBox* box);
  static void setCheckValue(QCheckBox* box, int value);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // layout (Form1.cpp)
  void createControls();
  void createMenus();
  void connectHandlers();
  void setEditorControlsEnabled(bool enabled);
  void showStatusCount();
  // The status line's text for a failed operation: what failed, with the library's detail.
  void showFailure(const QString& what, const Status& failure);

  // The edge to the brush engine: the event with the newest tablet reading, and the
  // brush controls, as values (Form1Tablet.cpp, Form1Brush.cpp).
  brush::PenSample penSample(int button, int shift, float x, float y);
  static int64_t penTime();
  void brushOptionsChanged();

  // brush::BrushHost
  void appendStrokeRecord(StrokeKind kind, int32_t x, int32_t y, int32_t width) override;
  void clearPressureBar() override;
  void setMouseIndicator(Colour colour) override;

  // Each area's start-up and shut-down work (defined in the area's file).
  void initialiseEditor();
  void askToSaveEditorFont();
  void captureReference(RetainedImage& target);

  Form1Services m_services;
  Prompts* m_prompts = nullptr;

  StrokeLog m_strokeLog;
  ReplayCheckpoints m_replayCheckpoints;
  std::unique_ptr<brush::BrushEngine> m_brush;

  // application shell
  bool m_firstActivation = false;
  bool m_unloaded = false;
  QString m_dotsBasePath;
  bool m_editorLinked = false;
  bool m_editorUnavailable = false;
  int32_t m_currentCharCode = 33;
  // The log belongs to m_currentCharCode only once start-up has loaded it; a change of
  // the character before that (a face read from the settings) has no strokes to save.
  bool m_strokesLoaded = false;
  bool m_switchRefused = false;  // the last switch could not save the old strokes
  bool m_clearPending = false;
  // The strokes a Clear emptied when they could not be saved first; UnDo brings them back.
  std::optional<StrokeLog> m_unsavedClearedLog;
  int32_t m_syncSkipCount = 0;

  // width limits and presets
  int32_t m_BMin = 1;
  int32_t m_BMax = 20;
  std::array<int32_t, 4> m_presetMin{};
  std::array<int32_t, 4> m_presetMax{};
  std::array<int32_t, 4> m_presetMode{};

  // pen input
  int32_t m_tabletContext = 0;
  TabletLayer* m_tablet = nullptr;
  TabletContextSpec m_tabletContextSpec;
  input::PacketTracker m_packets;

  // reference character
  QString m_lastRefFace;
  double m_refLabelMaxWidth = 37.0;
  double m_refLabelMaxHeight = 37.0;
  bool m_refLabelDragging = false;
  double m_refLabelLastX = 0;
  double m_refLabelLastY = 0;
  void followCharacterSet(int charSet);
  void resizeReferenceLabel(float x, float y);

  // font editor bridge
  struct EditorBridge;
  // EditorBridge is complete only in Form1Editor.cpp, which defines its deletion.
  struct EditorBridgeDeleter {
    void operator()(EditorBridge* bridge) const;
  };
  std::unique_ptr<EditorBridge, EditorBridgeDeleter> m_editorBridge;
  EditorBridge& editorBridge();
  editor::EditorLink& editorLink();  // for the areas outside Form1Editor.cpp
  bool switchCharacter(int32_t oldCode);
  bool moveToCharacter(int32_t code);
  void restoreCharacter(int32_t code);
  void showCodeDisplay();
  void showCharacter();
  void tellEditorCode();
  void keepOneCharacter(const QString& text);
  void stepCharacter(bool next);
  void syncTransfer();
  bool busyForFollowing() const;
  void takeFollowedCode();
  std::optional<int32_t> m_followedCode;
  QTimer* m_followRetry = nullptr;
  bool m_switching = false;
  bool canvasHasInk();
  int32_t fonttype();  // 0 unknown, 1 Latin, 2 Japanese
  std::optional<FontType> editorFontType() const;
  // A character and its code through the tool's one code-page rule.
  QString characterOf(int32_t code) const;
  int16_t codeOf(const QString& text) const;

  // settings store and stroke files
  QString m_startupNotice;
  std::vector<QString> m_protectedStrokeFiles;  // damaged, and could not be moved aside
  platform::SettingsStore& settingsStore() { return *m_services.settings; }
  void loadCheck(QCheckBox* box, int value, void (Form1::*handler)());
  void loadCharSetting(const platform::SettingsStore& store);
  void loadPresetSettings(const platform::SettingsStore& store);
  void loadReferenceLabelSettings(const platform::SettingsStore& store);
  std::filesystem::path strokeFilePath(const QString& path) const;
  bool isProtectedStrokeFile(const QString& path) const;
  void setProtectedStrokeFile(const QString& path, bool isProtected);
  void reportPersistenceProblem(const QString& message);
  void reportSaveFailure(const QString& message, bool losesWork);
  void saveStrokesAtClose();
  void showStartupNotice();
};
