#include "platform/Prompts.h"

#include <QMessageBox>
#include <QPushButton>

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
  QMessageBox box(QMessageBox::NoIcon, title, shown, standard, m_parent);
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
