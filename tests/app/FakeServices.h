#pragma once
// The main window's outside services as fakes: no tablet driver, empty settings, no
// editor, a browser that opens nothing, an empty registry, until a test says otherwise.
#include <QUrl>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/Form1.h"
#include "platform/RegistryLookup.h"
#include "platform/SettingsStore.h"
#include "platform/UrlOpener.h"
#include "tests/editor/FakeEditor.h"
#include "tests/input/FakeTabletLayer.h"
#include "tests/support/FakeBrushHost.h"
#include "tests/support/FakePrompts.h"

// An in-memory settings store that remembers every write and can be told to fail.
struct FakeSettingsStore : platform::SettingsStore {
  std::map<QString, QString> values;
  std::vector<Entries> writes;
  std::optional<std::string> failure;  // set: every write fails with this message
  std::function<void()> onWrite;       // runs as each write begins

  std::optional<QString> value(const QString& key) const override {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  Status setValues(const Entries& entries) override {
    if (onWrite) onWrite();
    writes.push_back(entries);
    if (failure) return Status::failure(*failure);
    for (const auto& [key, text] : entries) values[key] = text;
    return Status::success();
  }
};

struct FakeUrlOpener : platform::UrlOpener {
  std::vector<QUrl> opened;
  bool openUrl(const QUrl& url) override {
    opened.push_back(url);
    return false;  // a browser that fails: nothing may be shown
  }
};

struct FakeRegistry : platform::RegistryLookup {
  std::map<QString, QString> values;  // "key|value" -> text
  std::optional<QString> GetKeyValue(Root, const QString& key, const QString& value) override {
    const auto found = values.find(key + "|" + value);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

struct FakeServices {
  FakePrompts prompts;
  FixedRandom random;
  FakeTabletLayer tablet;
  FakeSettingsStore settings;
  fake::Launcher editor;
  FakeUrlOpener urls;
  FakeRegistry registry;

  FakeServices() { tablet.isPresent = false; }

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
