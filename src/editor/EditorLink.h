#pragma once
// The connection to the font editor and the small operations built on it. Every
// operation reconnects first (attach or start, make sure a document is open, probe
// the font type), so a document the user opened or switched to in the editor in the
// meantime is picked up. Editor calls that fail are skipped as the callers expect;
// only the connection itself talks to the user, through `EditorWindow`.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "editor/EditorAutomation.h"
#include "common/BusContract.h"
#include "common/Status.h"

namespace editor {

// What the link needs of the main window.
class EditorWindow {
 public:
  enum class Buttons { Ok, YesNo, YesNoCancel };
  enum class Answer { Ok, Yes, No, Cancel };
  virtual ~EditorWindow() = default;
  // A message box titled with the window caption, no icon.
  virtual Answer ask(const QString& text, Buttons buttons) = 0;
  virtual void setStatusText(const QString& text) = 0;  // LabelStat
  virtual int32_t currentCharCode() const = 0;
  virtual void setCurrentCharCode(int32_t code) = 0;
  // 128 when the reference label's font supports Japanese (Shift-JIS), else 0.
  virtual int referenceCharSet() const = 0;
  virtual void setReferenceFace(const QString& face) = 0;  // fires the face handling
  virtual void showMainWindow() = 0;
  // Maps the editor's window (native id, 0 for none) without moving or restacking it.
  virtual void showEditorWindow(uint32_t windowId) = 0;
  // A font document was created or opened at the no-font-open prompt.
  virtual void editorLinked() = 0;
};

using ::FontType;

inline constexpr uint16_t kProbeCode = 0x82A0;  // hiragana A in Shift-JIS

// Codes read from the editor come back as signed 16-bit values.
int32_t toUnsigned16(int32_t value);

// A side-bearing text as the editor takes it: the leading number (blanks skipped,
// stops at the first character that cannot continue it, none gives 0), rounded to
// the nearest integer with halves to even; outside the 16-bit range gives 0.
int16_t readSideBearing(const QString& text);

class EditorLink {
 public:
  EditorLink(EditorLauncher& launcher, EditorWindow& window);

  bool connectEditor(bool showWindows);
  void editorSetCode(int32_t code);
  void editorNextCode();
  void editorPrevCode();
  Status editorReplaceGlyph(const QString& path);
  Status editorSetSideBearings(int16_t left, int16_t right);
  // `setcode` on the current document without the connected guard (typed characters).
  void tellCode(int32_t code);
  void showEditorWindows();

  bool editorConnected() const { return m_editorConnected; }
  // Nothing until a connection has told the font's type.
  std::optional<FontType> fonttype() const { return m_fonttype; }
  void resetFontType() { m_fonttype.reset(); }
  bool hasApplication() const { return m_editorApp != nullptr; }
  bool hasDocument() const { return m_editorDoc != nullptr; }

 private:
  enum class DocumentChoice { Ready, Cancelled, Failed };
  bool attachOrStart();
  bool notAnswering();
  DocumentChoice askForDocument();
  DocumentChoice createDocument();
  void probeFontType();
  void keepReferenceFaceSuitable();
  void stepCode(bool (EditorDocument::*step)());

  EditorLauncher& m_launcher;
  EditorWindow& m_window;
  std::shared_ptr<EditorApplication> m_editorApp;
  std::shared_ptr<EditorDocument> m_editorDoc;
  bool m_editorConnected = false;
  std::optional<FontType> m_fonttype;
};

// Shut-down: when the font was created or opened at the prompt and the running
// editor's document is unsaved, asks whether to save it. Never starts an editor.
void offerToSaveFont(EditorLauncher& launcher, EditorWindow& window);

}  // namespace editor
