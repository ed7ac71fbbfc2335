#pragma once
// Prompts as QMessageBoxes: texts shown exactly as given, with no icon,
// application-modal, over the parent window.
#include "prompts/Prompts.h"

class QWidget;

namespace platform {

class MessageBoxPrompts final : public Prompts {
 public:
  // The parent may be set later: main builds the prompts before the window they serve.
  explicit MessageBoxPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
  void setParent(QWidget* parent) { m_parent = parent; }
  Answer ask(const QString& title, const QString& text, Buttons buttons) override;

 private:
  QWidget* m_parent;
};

}  // namespace platform
