#pragma once
// The main window's outside services as fakes, for what a test does not drive itself: no
// tablet driver, an empty settings store, no editor running or startable, a browser that
// opens nothing, a registry that finds nothing.
#include <QUrl>
#include <vector>

#include "app/Form1.h"
#include "platform/RegistryLookup.h"
#include "platform/UrlOpener.h"
#include "tests/app/FakeSettingsStore.h"
#include "tests/editor/FakeEditor.h"
#include "tests/input/FakeTabletLayer.h"
#include "tests/support/FakeBrushHost.h"
#include "tests/support/FakePrompts.h"

struct FakeUrlOpener : platform::UrlOpener {
  std::vector<QUrl> opened;
  bool openUrl(const QUrl& url) override {
    opened.push_back(url);
    return false;  // a browser that fails: nothing may be shown
  }
};

struct FakeServices {
  FakePrompts prompts;
  FixedRandom random;
  FakeTabletLayer tablet = [] {
    FakeTabletLayer missing;
    missing.isPresent = false;
    return missing;
  }();
  FakeSettingsStore settings;
  fake::Launcher editor;
  FakeUrlOpener urls;
  platform::NoRegistryLookup registry;

  // Points every service the test left unset at its fake.
  void fillIn(Form1Services& services) {
    if (!services.prompts) services.prompts = &prompts;
    if (!services.random) services.random = &random;
    if (!services.tablet) services.tablet = &tablet;
    if (!services.settings) services.settings = &settings;
    if (!services.editor) services.editor = &editor;
    if (!services.urls) services.urls = &urls;
    if (!services.registry) services.registry = &registry;
  }
};
