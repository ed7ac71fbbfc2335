#pragma once
// Message boxes as the tool's logic asks them: a title, the exact text and the listed
// buttons, answered with the button pressed. Widget-free, so the editor link and the
// windows ask the same way and tests script the answers; the production implementation
// is platform::MessageBoxPrompts.
#include <QString>

class Prompts {
 public:
  // RetryClose: "再試行" answers Retry, "保存せずに閉じる" (close anyway) answers Cancel.
  enum class Buttons { Ok, YesNo, YesNoCancel, RetryClose };
  enum class Answer { Ok, Yes, No, Cancel, Retry };
  virtual ~Prompts() = default;
  virtual Answer ask(const QString& title, const QString& text, Buttons buttons) = 0;
};
