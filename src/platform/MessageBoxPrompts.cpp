#include "platform/MessageBoxPrompts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A box that, when `answerOnly`, has no escape answer: Esc and the window's close
// button do nothing, so only one of its buttons answers it.
class AnswerBox final : public QMessageBox {
 public:
  AnswerBox(const QString& title, const QString& text, StandardButtons buttons, QWidget* parent,
            bool answerOnly)
      : QMessageBox(NoIcon, title, text, buttons, parent), m_answerOnly(answerOnly) {
    connect(this, &QMessageBox::buttonClicked, this, [this] { m_answered = true; });
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (m_answerOnly && event->key() == Qt::Key_Escape) return event->accept();
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (m_answerOnly && !m_answered) return event->ignore();
    QMessageBox::closeEvent(event);
  }

 private:
  bool m_answerOnly;
  bool m_answered = false;
};

}  // namespace

namespace platform {

Prompts::Answer MessageBoxPrompts::ask(const QString& title, const QString& text,
                                       Buttons buttons) {
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  if (buttons == Buttons::YesNo) standard = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel)
    standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  if (buttons == Buttons::RetryClose) standard = QMessageBox::Retry | QMessageBox::Cancel;
  // The texts break lines with carriage returns, which a label does not.
  QString shown = text;
  shown.replace('\r', '\n');
  // A Yes/No question (and Retry or Close Anyway) has no escape answer: the user picks
  // one. A Yes/No/Cancel box takes Esc and closing as Cancel.
  const bool answerOnly = buttons == Buttons::YesNo || buttons == Buttons::RetryClose;
  AnswerBox box(title, shown, standard, m_parent, answerOnly);
  if (answerOnly) box.setWindowFlag(Qt::WindowCloseButtonHint, false);
  box.setWindowModality(Qt::ApplicationModal);
  if (buttons == Buttons::RetryClose) {
    box.button(QMessageBox::Retry)->setText(QStringLiteral("再試行"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("保存せずに閉じる"));
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Retry: return Answer::Retry;
    default:
      if (buttons == Buttons::Ok) return Answer::Ok;
      return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

}  // namespace platform
