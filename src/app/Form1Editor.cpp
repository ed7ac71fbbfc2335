// The font editor bridge: connection, character navigation, glyph transfer.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <functional>
#include <utility>

#include "app/Form1.h"
#include "editor/EditorLink.h"
#include "editor/SystemCodePage.h"
#include "platform/ForeignWindow.h"
#include "reference/ReferenceFace.h"
#include "reference/ReferenceLabel.h"

namespace {

const QString kEditorUnavailable =
    QStringLiteral("Kernovaが起動できないか、Kernovaとの連動がキャンセルされました。");

// Hands every key press that carries a character (and every committed input-method
// text) to the handler before the field inserts it; the handler returns true to keep
// the field from inserting it. Control chords are left to the menu shortcuts, and
// Enter and Tab, which a one-line field does not take as text, to the field.
class KeyPressFilter final : public QObject {
 public:
  KeyPressFilter(QObject* parent, std::function<bool(const QString&)> handler)
      : QObject(parent), m_handler(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool chord = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
      if (!key->text().isEmpty() && !chord && !isFieldKey(key->key()) && m_handler(key->text()))
        return true;
    } else if (event->type() == QEvent::InputMethod) {
      const auto* input = static_cast<QInputMethodEvent*>(event);
      if (!input->commitString().isEmpty() && m_handler(input->commitString())) return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  static bool isFieldKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab;
  }

  std::function<bool(const QString&)> m_handler;
};

}  // namespace

// The window as the editor link sees it, and the link itself.
struct Form1::EditorBridge final : editor::EditorWindow {
  EditorBridge(Form1& form, editor::EditorLauncher& launcher, Prompts& prompts)
      : m_form(form), m_launcher(launcher), link(launcher, *this, prompts, kCaption) {}

  void setStatusText(const QString& text) override { m_form.LabelStat->setText(text); }
  int32_t currentCharCode() const override { return m_form.m_currentCharCode; }
  void setCurrentCharCode(int32_t code) override { m_form.moveToCharacter(code); }
  int referenceCharSet() const override {
    return reference::faceCharacterSet(m_form.LabelChar->realisedFace());
  }
  void setReferenceFace(const QString& face) override { m_form.TextFace->setText(face); }
  void showMainWindow() override { m_form.show(); }
  void showEditorWindow(uint32_t windowId) override { platform::showForeignWindow(windowId); }
  void editorLinked() override { m_form.m_editorLinked = true; }

  editor::EditorLauncher& launcher() { return m_launcher; }

 private:
  Form1& m_form;
  editor::EditorLauncher& m_launcher;

 public:
  editor::EditorLink link;
};

void Form1::EditorBridgeDeleter::operator()(EditorBridge* bridge) const { delete bridge; }

Form1::EditorBridge& Form1::editorBridge() {
  if (!m_editorBridge) {
    m_editorBridge.reset(new EditorBridge(*this, *m_services.editor, *m_prompts));
    m_services.editor->followPickedCodes([this](int32_t code) { followEditorCode(code); });
    // A key whose switch was refused is not inserted: the field keeps the character.
    TextChar->installEventFilter(new KeyPressFilter(TextChar, [this](const QString& text) {
      m_switchRefused = false;
      TextChar_KeyPress(codeOf(text));
      return std::exchange(m_switchRefused, false);
    }));
  }
  return *m_editorBridge;
}

editor::EditorLink& Form1::editorLink() { return editorBridge().link; }

int32_t Form1::fonttype() {
  const std::optional<FontType> type = editorBridge().link.fonttype();
  if (!type) return 0;
  return *type == FontType::Latin ? 1 : 2;
}

// Unknown until a connection has probed the font; asking does not connect.
std::optional<FontType> Form1::editorFontType() const {
  return m_editorBridge ? m_editorBridge->link.fonttype() : std::nullopt;
}

QString Form1::characterOf(int32_t code) const {
  return editor::characterOfCode(code, editorFontType());
}

int16_t Form1::codeOf(const QString& text) const { return editor::codeOfText(text, editorFontType()); }

// The first activation's connection; on failure the editor controls stay off. The
// font's type is known from here on, and with it the code page the character shows in.
void Form1::initialiseEditor() {
  editor::EditorLink& link = editorBridge().link;
  link.resetFontType();
  if (link.connectEditor(true)) {
    link.editorSetCode(m_currentCharCode);
    restoreCharacter(m_currentCharCode);
    return;
  }
  m_editorUnavailable = true;
  LabelStat->setText(kEditorUnavailable);
  setEditorControlsEnabled(false);
}

void Form1::askToSaveEditorFont() {
  if (!m_editorLinked) return;
  EditorBridge& bridge = editorBridge();
  editor::offerToSaveFont(bridge.launcher(), bridge, *m_prompts, kCaption);
}

void Form1::showCodeDisplay() { LabelCode->setText(reference::codeCaption(m_currentCharCode)); }

// Backspace selects the space character.
void Form1::showCharacter() {
  if (m_currentCharCode == 8) m_currentCharCode = 32;
  LabelChar->setText(characterOf(m_currentCharCode));
}

// Without the connected guard, so typing reconnects after a failed connection.
void Form1::tellEditorCode() { editorBridge().link.tellCode(m_currentCharCode); }

// The one switch every change of the current character goes through. When the old
// character's strokes cannot be saved the switch is refused: the window stays on the
// old character with its strokes, and LabelStat says why.
bool Form1::switchCharacter(int32_t oldCode) {
  if (!saveStrokeFile(strokeFileName(oldCode))) {
    restoreCharacter(oldCode);
    m_syncSkipCount = 0;  // the field's change events are over: its text is restored
    m_switchRefused = true;
    LabelStat->setText(LabelStat->text() + "。文字を切り替えません");
    return false;
  }
  showCodeDisplay();
  loadStrokeFile(strokeFileName(m_currentCharCode));
  redrawCanvas();
  showStatusCount();
  return true;
}

// A change of the character from outside the navigation handlers: the editor's code,
// the cap of a new Latin font, the fall-back of a Western reference face. Before
// start-up has loaded the strokes there is nothing to save or load yet.
bool Form1::moveToCharacter(int32_t code) {
  const int32_t oldCode = m_currentCharCode;
  if (code == oldCode) return true;
  m_currentCharCode = code;
  if (m_strokesLoaded && !switchCharacter(oldCode)) return false;
  restoreCharacter(code);
  return true;
}

// Shows `code` as the current character without raising the field's change handling.
void Form1::restoreCharacter(int32_t code) {
  m_currentCharCode = code;
  const QString character = characterOf(code);
  {
    const QSignalBlocker blocker(TextChar);
    TextChar->setText(character);
  }
  LabelChar->setText(character);
  showCodeDisplay();
}

// Runs before the field inserts the key. On a Japanese font the character is taken
// from the field's text by TextChar_Change instead.
void Form1::TextChar_KeyPress(int16_t keyAscii) {
  const int32_t oldCode = m_currentCharCode;
  if (checkValue(CheckSync) != 0) syncTransfer();
  if (editorBridge().link.fonttype() != FontType::Japanese) {
    m_currentCharCode = keyAscii;
    tellEditorCode();
    // Only the change events that really follow are swallowed: clearing a field
    // that holds text, and the field inserting a printable key. A count left over
    // would swallow a later Sync transfer.
    const bool inserts = keyAscii < 0 || (keyAscii >= 32 && keyAscii != 127);
    m_syncSkipCount = int(!TextChar->text().isEmpty()) + int(inserts);
    TextChar->setText(QString());
    showCharacter();
  }
  showCodeDisplay();
  if (m_currentCharCode != oldCode && !switchCharacter(oldCode)) tellEditorCode();
}

// Keeps one character: the last when the caret is past the first, else the first.
// Setting the text runs TextChar_Change again, nested.
void Form1::keepOneCharacter(const QString& text) {
  const QList<uint> characters = text.toUcs4();
  if (characters.size() <= 1) return;
  const uint kept = TextChar->cursorPosition() > 1 ? characters.back() : characters.front();
  TextChar->setText(QString::fromUcs4(reinterpret_cast<const char32_t*>(&kept), 1));
}

void Form1::TextChar_Change() {
  if (checkValue(CheckSync) != 0) syncTransfer();
  keepOneCharacter(TextChar->text());
  const QString kept = TextChar->text();
  if (kept.isEmpty() || editorBridge().link.fonttype() != FontType::Japanese) return;
  const int32_t leftCode = m_currentCharCode;
  m_currentCharCode = editor::toUnsigned16(codeOf(kept));
  tellEditorCode();
  showCharacter();
  // A nested pass has already switched when the code no longer differs.
  if (m_currentCharCode != leftCode && !switchCharacter(leftCode)) tellEditorCode();
}

void Form1::stepCharacter(bool next) {
  const int32_t oldCode = m_currentCharCode;
  m_switching = true;  // a code the editor sends meanwhile waits for the step
  if (checkValue(CheckSync) != 0) {
    syncTransfer();
    QCoreApplication::processEvents();
  }
  editor::EditorLink& link = editorBridge().link;
  // The editor's new code comes through moveToCharacter, which switches; a refused
  // switch puts the editor back on the character kept.
  m_switchRefused = false;
  next ? link.editorNextCode() : link.editorPrevCode();
  if (std::exchange(m_switchRefused, false)) link.editorSetCode(oldCode);
  const QString character = characterOf(m_currentCharCode);
  // The field raises a change event only when its text really changes.
  m_syncSkipCount = TextChar->text() != character ? 1 : 0;
  TextChar->setText(character);
  LabelChar->setText(character);
  showCodeDisplay();
  m_switching = false;
  takeFollowedCode();
}

// The wait is polled rather than hooked to every way a box can close.
constexpr int kFollowRetryMs = 100;

bool Form1::busyForFollowing() const {
  return m_switching || QApplication::activeModalWidget() != nullptr || m_brush->strokeActive();
}

void Form1::followEditorCode(int32_t code) {
  m_followedCode = editor::toUnsigned16(code);
  takeFollowedCode();
}

// Sync sends the character being left first, which puts the editor on it; the editor
// goes back to the picked code afterwards (a move over the bus sends no news back), or
// stays on the old one when its strokes could not be saved.
void Form1::takeFollowedCode() {
  if (!m_followedCode) return;
  if (busyForFollowing()) {
    if (!m_followRetry) {
      m_followRetry = new QTimer(this);
      m_followRetry->setSingleShot(true);
      m_followRetry->setInterval(kFollowRetryMs);
      connect(m_followRetry, &QTimer::timeout, this, &Form1::takeFollowedCode);
    }
    m_followRetry->start();
    return;
  }
  const int32_t code = *std::exchange(m_followedCode, std::nullopt);
  if (code == m_currentCharCode) return;
  m_switching = true;
  const bool sync = checkValue(CheckSync) != 0;
  if (sync) syncTransfer();
  const bool moved = moveToCharacter(code);
  if (sync || !moved) editorBridge().link.editorSetCode(m_currentCharCode);
  m_switching = false;
  takeFollowedCode();  // a code picked meanwhile
}

void Form1::CommandNext_Click() { stepCharacter(true); }
void Form1::CommandPrev_Click() { stepCharacter(false); }

void Form1::CheckAuto_Click() { CheckSync->setEnabled(checkValue(CheckAuto) == 0); }

// Switching Sync on starts with no transfers to swallow: a count set while Sync was
// off belongs to change events that have already passed.
void Form1::CheckSync_Click() {
  CheckAuto->setEnabled(checkValue(CheckSync) == 0);
  if (checkValue(CheckSync) != 0) m_syncSkipCount = 0;
}

void Form1::CheckSB_Click() {
  const bool on = checkValue(CheckSB) == 1;
  TextLSB->setEnabled(on);
  TextRSB->setEnabled(on);
}

// The transfer Sync makes before a character is left: swallowed while syncSkipCount
// counts, and skipped when the canvas holds no ink, so that leaving an empty canvas (a
// fresh working folder, a Clear) never wipes the editor's glyph. A press of Kernova
// still sends what the canvas holds.
void Form1::syncTransfer() {
  if (m_syncSkipCount > 0) {
    --m_syncSkipCount;
    return;
  }
  if (canvasHasInk()) CommandKernova_Click();
}

// The transfer. A bitmap that could not be written abandons it (the export has put
// its message in LabelStat), so the editor never traces a stale or partial file.
void Form1::CommandKernova_Click() {
  if (checkValue(CheckSync) != 0 && m_syncSkipCount > 0) {
    --m_syncSkipCount;
    return;
  }
  const QString path = exportGlyphBitmap();
  if (path.isEmpty()) return;
  editor::EditorLink& link = editorBridge().link;
  if (!link.connectEditor(false)) return;
  link.editorSetCode(m_currentCharCode);
  const Status replaced = link.editorReplaceGlyph(path);
  if (!replaced) showFailure("Kernovaへ文字を読み込めませんでした", replaced);
  if (checkValue(CheckSB) == 1) {
    link.editorSetSideBearings(editor::readSideBearing(TextLSB->text()),
                               editor::readSideBearing(TextRSB->text()));
  }
  if (checkValue(CheckAuto) != 0 && checkValue(CheckSync) == 0) CommandNext_Click();
}
