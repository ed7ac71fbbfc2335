#pragma once
// Prompts that answer from a script and remember what was asked.
#include <deque>
#include <functional>
#include <vector>

#include "prompts/Prompts.h"

struct FakePrompts : Prompts {
  struct Asked {
    QString title, text;
    Buttons buttons;
  };
  std::deque<Answer> answers;  // empty: Ok for Ok boxes, Cancel otherwise
  std::vector<Asked> asked;
  std::function<void()> onAsk;  // runs while the question is open

  Answer ask(const QString& title, const QString& text, Buttons buttons) override {
    asked.push_back({title, text, buttons});
    if (onAsk) onAsk();
    if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};
