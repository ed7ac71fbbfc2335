#pragma once
// A main window built with `fakes` in a throw-away working directory; a test sets up the
// fakes it drives before build() or open(). main() is tests/support/QtTestMain.cpp's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "app/Form1.h"
#include "editor/SystemCodePage.h"
#include "reference/ReferenceLabel.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"
#include "widgets/PictureBox.h"

class AppTest : public ::testing::Test {
 protected:
  void TearDown() override {
    form.reset();
    editor::setSystemCodePage(std::nullopt);
  }

  Form1& build() {
    form.reset();  // before a service it used goes
    services.workingDirectory = m_dir.path().toStdString();
    fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
    return *form;
  }
  // The window on `code` under code page `page`, activated: it connects to `editor`.
  void open(std::shared_ptr<fake::Application> editor, int32_t code,
            codepage::CodePage page = codepage::CodePage::Cp1252) {
    editor::setSystemCodePage(page);
    fakes.editor.running = std::move(editor);
    peek(build()).setCurrentCharCode(code);
    form->Form_Activate();
  }
  void openLatin(int32_t code = 0x41) { open(fake::runningEditor(fake::latinCodes(), code), code); }
  void openJapanese(codepage::CodePage page) { open(fake::runningEditor(fake::japaneseCodes(), 0x82A0), 0x82A0, page); }
  fake::Document& document() { return *fakes.editor.running->document(); }
  size_t imports() { return document().imports.size(); }
  // The character of the newest imported bitmap, read from its file name.
  QString lastImport() { return QString::fromStdString(document().imports.back()).section("srfm_dots", 1); }
  // A mouse event at canvas point `p`, as Qt delivers it to the canvas.
  void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPointF p,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = p + QPointF(1, 1);  // the canvas border
    QMouseEvent event(type, local, form->PictureDOT->mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(form->PictureDOT, &event);
  }
  // A vertical stroke of two 10-pixel steps from (x, 100), as Qt delivers it.
  void drawStroke(int x = 100) {
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPointF(x, 100));
    for (int y : {110, 120}) mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPointF(x, y));
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(x, 120));
  }
  int32_t code() { return peek(*form).currentCharCode(); }
  int32_t records() { return peek(*form).strokeLog().logEnd(); }
  QString workingDirectory() const { return m_dir.path(); }
  std::filesystem::path dataFile(const QString& name) const {
    return (m_dir.path() + "/data/" + name).toStdString();
  }

  Form1Services services;
  FakeServices fakes;
  FakePrompts& prompts = fakes.prompts;
  std::unique_ptr<Form1> form;

 private:
  QTemporaryDir m_dir;
};
