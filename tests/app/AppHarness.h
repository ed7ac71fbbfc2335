#pragma once
// A main window built with fakes in a throw-away working directory. A test sets the
// services it drives (tablet, settings, editor) before build(); the rest are fakes.
// main() comes from tests/support/QtTestMain.cpp.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "app/Form1.h"
#include "reference/ReferenceLabel.h"
#include "tests/app/FakeServices.h"
#include "tests/app/Form1TestAccess.h"

class AppTest : public ::testing::Test {
 protected:
  void TearDown() override { form.reset(); }

  Form1& build() {
    form.reset();  // before a service it used goes
    services.prompts = &prompts;
    services.random = &random;
    services.workingDirectory = m_dir.path().toStdString();
    m_fakes.fillIn(services);
    form = std::make_unique<Form1>(services);
    return *form;
  }
  QString workingDirectory() const { return m_dir.path(); }

  Form1Services services;
  FakePrompts prompts;
  FixedRandom random;
  std::unique_ptr<Form1> form;

 private:
  QTemporaryDir m_dir;
  FakeServices m_fakes;
};
