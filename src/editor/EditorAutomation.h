#pragma once
// The font editor's automation interface as the tool calls it: an application object
// and its font documents, members called by name. Every call can fail (the editor
// missing, dead, hung or answering nonsense); a failed call returns false or nothing,
// and the callers decide whether to ignore it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace editor {

// A glyph for the batch import: its code and the bytes of its bitmap file.
struct GlyphImage {
  int32_t code = 0;
  std::vector<uint8_t> bmp;
};

class EditorDocument {
 public:
  virtual ~EditorDocument() = default;
  virtual std::optional<std::string> Name() = 0;
  // The current code; codes from 0x8000 may come back negative.
  virtual std::optional<int16_t> getcode(int16_t zero, bool flag) = 0;
  // The low 16 bits of `code` are used; a code outside the document is ignored.
  virtual bool setcode(int16_t zero, int32_t code, bool flag) = 0;
  virtual bool viewnextcode() = 0;
  virtual bool viewpreviouscode() = 0;
  virtual bool selectall() = 0;
  virtual bool Delete() = 0;
  virtual bool ImportBmpfile(const std::string& path) = 0;
  virtual bool unselectall() = 0;
  virtual bool SetLeftRightSidebearing(int16_t left, int16_t right, bool flag) = 0;
  virtual std::optional<bool> saved() = 0;
  virtual bool save() = 0;
  // setcode + selectall + Delete + ImportBmpfile + unselectall (+ the side bearings
  // when `setBearings`) for every glyph in one call; codes outside the document are
  // skipped and the current code stays. The number replaced; nothing when the call
  // failed (an editor without the batch member always fails it).
  virtual std::optional<int32_t> ImportBitmaps(const std::vector<GlyphImage>& glyphs, bool setBearings,
                                               int16_t left, int16_t right) {
    (void)glyphs, (void)setBearings, (void)left, (void)right;
    return std::nullopt;
  }
};

class EditorApplication {
 public:
  virtual ~EditorApplication() = default;
  // The open document, null when none is open, nothing when the call failed: an
  // editor that does not answer is not one without a document.
  virtual std::optional<std::shared_ptr<EditorDocument>> ActiveDocument() = 0;
  // type 1 Latin, 0 Japanese; null on failure.
  virtual std::shared_ptr<EditorDocument> NewFile(int16_t type, bool visible) = 0;
  virtual std::optional<uint32_t> hWnd() = 0;
};

// Finds the editor: a running instance, or a new one started and waited for.
class EditorLauncher {
 public:
  virtual ~EditorLauncher() = default;
  virtual std::shared_ptr<EditorApplication> attach() = 0;  // null when none runs
  virtual std::shared_ptr<EditorApplication> start() = 0;   // null when it cannot start
  // Hands each code the user picks in the editor's window to `handler`, from the event
  // loop (codes from 0x8000 may come negative). One handler; a later call replaces it.
  // An editor that sends no such news never calls it.
  virtual void followPickedCodes(std::function<void(int32_t code)> handler) { (void)handler; }
};

}  // namespace editor
