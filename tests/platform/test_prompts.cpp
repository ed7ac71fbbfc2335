// Message boxes: a Yes/No question (and Retry or Close Anyway) has no escape answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/MessageBoxPrompts.h"

namespace {

// Regression: Esc on the Latin / Japanese question answered No, a Japanese font.
TEST(MessageBoxPrompts, EscAndTheCloseButtonDoNotAnswerAQuestionWithoutCancel) {
  struct Case { Prompts::Buttons buttons; QMessageBox::StandardButton click; Prompts::Answer answer; };
  for (const Case& c : {Case{Prompts::Buttons::YesNo, QMessageBox::Yes, Prompts::Answer::Yes},
                        Case{Prompts::Buttons::RetryClose, QMessageBox::Retry, Prompts::Answer::Retry}}) {
    platform::MessageBoxPrompts prompts(nullptr);
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QTest::keyClick(box, Qt::Key_Escape);
      box->close();
      stillOpen = box->isVisible();
      box->button(c.click)->click();
    });
    EXPECT_EQ(prompts.ask("DeruziZazaRurid", "?", c.buttons), c.answer);
    EXPECT_TRUE(stillOpen) << int(c.buttons);
  }
}

}  // namespace
