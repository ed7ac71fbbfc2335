#pragma once
// The connection to the font editor and the small operations built on it. Every
// operation reconnects first (attach or start, make sure a document is open, probe
// the font type), so a document the user opened or switched to in the editor in the
// meantime is picked up. Editor calls that fail are skipped as the callers expect;
// only the connection itself talks to the user, through `Prompts` (message boxes
// titled with the main window's caption) and `EditorWindow`.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/BusContract.h"
#include "common/Status.h"
#include "editor/EditorAutomation.h"
#include "prompts/Prompts.h"

namespace editor {

// What the link needs of the main window.
class EditorWindow {
 public:
  virtual ~EditorWindow() = default;
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

// Whether a document of `type` holds `code`, by the editor's contract: Latin, the
// single-byte codes whose CP1252 character is printable; Japanese, the printable single
// bytes of CP932 and the double-byte codes outside the user-defined area whose
// character CP932 writes back as that same code.
bool inEditorCodeSet(FontType type, int32_t code);

// A side-bearing text as the editor takes it: the leading number (blanks skipped,
// stops at the first character that cannot continue it, none gives 0), rounded to
// the nearest integer with halves to even; outside the 16-bit range gives 0.
int16_t readSideBearing(const QString& text);

class EditorLink {
 public:
  // Questions go to `prompts`, titled `caption`.
  EditorLink(EditorLauncher& launcher, EditorWindow& window, Prompts& prompts, QString caption);

  bool connectEditor(bool showWindows);
  void editorSetCode(int32_t code);
  void editorNextCode();
  void editorPrevCode();
  Status editorReplaceGlyph(const QString& path);
  Status editorSetSideBearings(int16_t left, int16_t right);
  // Many glyphs in one call (see EditorDocument::ImportBitmaps); `replaced` counts
  // those the editor took.
  Status editorImportBitmaps(const std::vector<GlyphImage>& glyphs, bool setBearings, int16_t left,
                             int16_t right, int32_t& replaced);
  // `setcode` on the current document without the connected guard (typed characters).
  void tellCode(int32_t code);
  void showEditorWindows();

  // Nothing until a connection has told the font's type.
  std::optional<FontType> fonttype() const { return m_fonttype; }
  void resetFontType() { m_fonttype.reset(); }
  bool hasApplication() const { return m_editorApp != nullptr; }

 private:
  enum class DocumentChoice { Ready, Cancelled, Failed };
  bool attachOrStart();
  bool notAnswering();
  DocumentChoice askForDocument();
  DocumentChoice createDocument();
  void probeFontType();
  void keepReferenceFaceSuitable();
  void stepCode(bool (EditorDocument::*step)());

  Prompts::Answer ask(const QString& text, Prompts::Buttons buttons);

  EditorLauncher& m_launcher;
  EditorWindow& m_window;
  Prompts& m_prompts;
  QString m_caption;
  std::shared_ptr<EditorApplication> m_editorApp;
  std::shared_ptr<EditorDocument> m_editorDoc;
  bool m_editorConnected = false;
  std::optional<FontType> m_fonttype;
};

// Shut-down: when the font was created or opened at the prompt and the running
// editor's document is unsaved, asks whether to save it. Never starts an editor.
void offerToSaveFont(EditorLauncher& launcher, EditorWindow& window, Prompts& prompts,
                     const QString& caption);

}  // namespace editor
