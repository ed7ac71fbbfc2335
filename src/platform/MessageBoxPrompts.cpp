#include "platform/MessageBoxPrompts.h"

#include <QMessageBox>

namespace platform {

Prompts::Answer MessageBoxPrompts::ask(const QString& title, const QString& text,
                                       Buttons buttons) {
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  if (buttons == Buttons::YesNo) standard = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel)
    standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  // The texts break lines with carriage returns, which a label does not.
  QString shown = text;
  shown.replace('\r', '\n');
  QMessageBox box(QMessageBox::NoIcon, title, shown, standard, m_parent);
  box.setWindowModality(Qt::ApplicationModal);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
      if (buttons == Buttons::Ok) return Answer::Ok;
      return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

}  // namespace platform
