// The INI settings store: where it lives (the config home is a throw-away folder set by
// the test main), values kept as strings, files it refuses to read. Replacing the file
// whole is the atomic writer's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/SettingsStore.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

struct SettingsStoreFixture : ::testing::Test {
  QTemporaryDir dir;
  QString iniFile() const { return dir.path() + "/tovane.ini"; }
};

}  // namespace

TEST(SettingsStoreLocation, UserScopeFileIsTovaneIniInTheConfigHome) {
  platform::IniSettingsStore store;
  const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
  ASSERT_FALSE(home.isEmpty());
  EXPECT_EQ(store.fileName(), home + "/tovane/tovane.ini");
  EXPECT_TRUE(store.setValues({{"Char", "65"}})) << "the folder is made";
}

// A hand-edited file is read as text and still saved over; values stay strings.
TEST_F(SettingsStoreFixture, ValuesAreStringsUnderTheSectionAndHandEditsAreReadAsText) {
  std::ofstream(iniFile().toStdString()) << "[DERUZIZAZARURID]\nChar=1, 2\n\x01\x02garbage\n[x\n";
  platform::IniSettingsStore store(iniFile());
  EXPECT_EQ(store.value("Char"), QString("1, 2"));
  const platform::SettingsStore::Entries entries = {{"Char", "65"}, {"RefFace", "ＭＳ Ｐゴシック"},
                                                    {"LSB", "@odd"}, {"RSB", "a, b"}, {"BMin", ""}};
  ASSERT_TRUE(store.setValues(entries));
  platform::IniSettingsStore reread(iniFile());
  for (const auto& [key, text] : entries) EXPECT_EQ(reread.value(key), text) << key.toStdString();
}

// Regression: a FIFO under the name hung the start before the window appeared, and a
// 20 MB file was parsed once per key.
TEST_F(SettingsStoreFixture, OnlyARegularFileOfSaneSizeIsReadAndAnythingElseIsMovedAside) {
  const std::string path = iniFile().toStdString();
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"huge", [&] { writeBytes(path, "[DERUZIZAZARURID]\nChar=66\n" + std::string(2 << 20, '\n')); }},
      {"fifo", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }}};
  for (const auto& [name, plant] : cases) {
    plant();
    platform::IniSettingsStore store(iniFile());
    EXPECT_EQ(store.value("Char"), std::nullopt) << name;
    EXPECT_TRUE(store.loadProblem().contains("既定値")) << name;
    EXPECT_TRUE(fs::exists(path + ".damaged")) << name;
    ASSERT_TRUE(store.setValues({{"Char", "65"}})) << name;
    EXPECT_EQ(platform::IniSettingsStore(iniFile()).value("Char"), QString("65")) << name;
    fs::remove_all(path + ".damaged");
    fs::remove_all(path);
  }
}

TEST_F(SettingsStoreFixture, UnwritableLocationIsAFailureNamingTheFile) {
  std::ofstream((dir.path() + "/blocker").toStdString()) << "a file, not a folder";
  platform::IniSettingsStore store(dir.path() + "/blocker/tovane.ini");
  const Status status = store.setValues({{"Char", "65"}});
  EXPECT_NE(status.message().find("blocker/tovane.ini"), std::string::npos) << status.message();
  EXPECT_EQ(store.value("Char"), std::nullopt);
}
