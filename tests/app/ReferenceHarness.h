#pragma once
// A main window built with fakes in a temporary working directory, for the reference
// character and glyph export tests. main() comes from tests/support/QtTestMain.cpp.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <memory>

#include "app/Form1.h"
#include "tests/support/FakeBrushHost.h"
#include "tests/support/FakePrompts.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    Form1Services services;
    services.prompts = &prompts;
    services.random = &random;
    services.workingDirectory = m_dir.path().toStdString();
    window = std::make_unique<Form1>(services);
  }
  void TearDown() override { window.reset(); }

  QString workingDirectory() const { return m_dir.path(); }

  FakePrompts prompts;
  FixedRandom random;
  std::unique_ptr<Form1> window;

 private:
  QTemporaryDir m_dir;
};
