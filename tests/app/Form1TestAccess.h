#pragma once
// What tests read and set of the main window's own state; Form1 names this struct its one
// test-access friend. `peek(form).strokeLog()` reads as the window's accessor would.
#include "app/Form1.h"

struct Form1TestAccess {
  Form1& form;

  StrokeLog& strokeLog() const { return form.m_strokeLog; }
  brush::BrushEngine& brushEngine() const { return *form.m_brush; }
  int32_t currentCharCode() const { return form.m_currentCharCode; }
  void setCurrentCharCode(int32_t code) const { form.m_currentCharCode = code; }
  bool clearPending() const { return form.m_clearPending; }
  bool editorLinked() const { return form.m_editorLinked; }
  bool editorUnavailable() const { return form.m_editorUnavailable; }
  int32_t BMin() const { return form.m_BMin; }
  int32_t BMax() const { return form.m_BMax; }
  int32_t fonttype() const { return form.fonttype(); }  // 0 unknown, 1 Latin, 2 Japanese
  editor::EditorLink& editorLink() const { return form.editorLink(); }
};

inline Form1TestAccess peek(Form1& form) { return {form}; }
