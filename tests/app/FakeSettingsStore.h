#pragma once
// An in-memory settings store that remembers every write and can be told to fail.
#include <map>
#include <optional>

#include "platform/SettingsStore.h"

struct FakeSettingsStore : platform::SettingsStore {
  std::map<QString, QString> values;
  std::vector<Entries> writes;
  std::optional<std::string> failure;  // set: every write fails with this message

  std::optional<QString> value(const QString& key) const override {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  Status setValues(const Entries& entries) override {
    writes.push_back(entries);
    if (failure) return Status::failure(*failure);
    for (const auto& [key, text] : entries) values[key] = text;
    return Status::success();
  }
};
