#pragma once
// A scripted stand-in for the font editor: documents with a code order, what reached
// them, and switches that make single members fail.
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/EditorAutomation.h"

namespace fake {

inline std::vector<uint16_t> latinCodes() {
  std::vector<uint16_t> codes;
  for (uint16_t c = 0x20; c <= 0xFF; ++c)
    if (c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) codes.push_back(c);
  return codes;
}

inline std::vector<uint16_t> japaneseCodes() {
  std::vector<uint16_t> codes;
  for (uint16_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
  for (uint16_t c = 0x829F; c <= 0x82F1; ++c) codes.push_back(c);  // hiragana
  return codes;
}

class Document final : public editor::EditorDocument {
 public:
  Document(std::vector<uint16_t> codes, uint16_t current) : codes(std::move(codes)), current(current) {}

  std::optional<std::string> Name() override { return called("Name") ? std::optional<std::string>("Font1") : std::nullopt; }
  std::optional<int16_t> getcode(int16_t, bool) override {
    return called("getcode") ? std::optional(int16_t(current)) : std::nullopt;
  }
  bool setcode(int16_t, int32_t code, bool) override {
    if (!called("setcode")) return false;
    setcodes.push_back(uint16_t(code));
    if (std::find(codes.begin(), codes.end(), uint16_t(code)) != codes.end()) current = uint16_t(code);
    return true;
  }
  bool viewnextcode() override { return called("viewnextcode") && step(+1); }
  bool viewpreviouscode() override { return called("viewpreviouscode") && step(-1); }
  bool selectall() override { return called("selectall"); }
  bool Delete() override { return called("Delete"); }
  bool ImportBmpfile(const std::string& path) override {
    if (!called("ImportBmpfile")) return false;
    imports.push_back(path);
    saved_ = false;
    return true;
  }
  bool unselectall() override { return called("unselectall"); }
  bool SetLeftRightSidebearing(int16_t left, int16_t right, bool) override {
    return called("SetLeftRightSidebearing") && (bearings.emplace_back(left, right), true);
  }
  std::optional<bool> saved() override { return called("saved") ? std::optional(saved_) : std::nullopt; }
  bool save() override { return called("save") && (saved_ = true); }
  std::optional<int32_t> ImportBitmaps(const std::vector<editor::GlyphImage>& glyphs, bool setBearings, int16_t left,
                                       int16_t right) override {
    if (!called("ImportBitmaps")) return std::nullopt;
    for (const editor::GlyphImage& glyph : glyphs) {
      batchImports.push_back(glyph);
      if (setBearings) bearings.emplace_back(left, right);
    }
    if (onBatch) onBatch();
    return int32_t(glyphs.size());
  }

  std::set<std::string> failing;
  std::vector<uint16_t> codes;
  uint16_t current;
  std::vector<uint16_t> setcodes;
  std::vector<std::string> imports;  // the bitmap paths imported
  std::vector<std::pair<int16_t, int16_t>> bearings;
  std::vector<editor::GlyphImage> batchImports;
  std::function<void()> onBatch;  // runs inside each ImportBitmaps call
  bool saved_ = true;

 private:
  bool called(const char* member) { return !failing.count(member); }
  bool step(int direction) {  // stays put at either end of the order
    const std::ptrdiff_t size = std::ssize(codes), at = std::find(codes.begin(), codes.end(), current) - codes.begin();
    if (at < size && at + direction >= 0 && at + direction < size) current = codes[size_t(at + direction)];
    return true;
  }
};

class Application final : public editor::EditorApplication {
 public:
  std::optional<std::shared_ptr<editor::EditorDocument>> ActiveDocument() override {
    if (hung) return std::nullopt;
    return active;
  }
  std::shared_ptr<editor::EditorDocument> NewFile(int16_t type, bool) override {
    if (!newFileFails) active = std::make_shared<Document>(type == 1 ? latinCodes() : japaneseCodes(), 0x41);
    return newFileFails ? nullptr : active;
  }
  std::optional<uint32_t> hWnd() override { return 0x2a00005; }

  std::shared_ptr<Document> document() const { return std::static_pointer_cast<Document>(active); }

  std::shared_ptr<editor::EditorDocument> active;
  bool newFileFails = false;
  bool hung = false;  // holds the bus name but answers nothing
};

class Launcher final : public editor::EditorLauncher {
 public:
  std::shared_ptr<editor::EditorApplication> attach() override { return running; }
  std::shared_ptr<editor::EditorApplication> start() override {
    if (startable) running = startable;
    return startable;
  }
  void followPickedCodes(std::function<void(int32_t)> handler) override { pick = std::move(handler); }

  std::shared_ptr<Application> running;    // attach finds it
  std::shared_ptr<Application> startable;  // start() makes it run
  std::function<void(int32_t)> pick;  // what the tool does with a code picked in the editor
};

// An editor running with one document open.
inline std::shared_ptr<Application> runningEditor(std::vector<uint16_t> codes, uint16_t current) {
  auto app = std::make_shared<Application>();
  app->active = std::make_shared<Document>(std::move(codes), current);
  return app;
}

}  // namespace fake
