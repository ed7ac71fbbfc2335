// The atomic file writer: a replaced file keeps its permissions and links, temporaries
// of dead saves go, and whichever step fails, the old file stays byte for byte, nothing
// is left beside it, and the failure names the step.
#include "common/AtomicFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <optional>

#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;

// Files may grow to `bytes` only while it lives: a full disk for the writes.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing the test
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{bytes, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
  rlimit old{};
};

TEST(AtomicFile, AFailedStepLeavesTheOldFileAndNoTemporary) {
  struct Case { const char* name; const char* target; rlim_t fileSizeLimit; common::WriteResult::Step step; };
  for (const Case& c : {Case{"disk full", "font.ttf", 100, common::WriteResult::Step::Write},
                        Case{"a folder in the way", "folder", 0, common::WriteResult::Step::Replace},
                        Case{"no folder", "missing/font.ttf", 0, common::WriteResult::Step::Create}}) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    fs::create_directory(folder / "folder");
    writeBytes(folder / "font.ttf", "old");
    std::optional<FileSizeLimit> full;
    if (c.fileSizeLimit) full.emplace(c.fileSizeLimit);
    const common::WriteResult result = common::writeFileAtomically(folder / c.target, std::string(4096, 'n'));
    EXPECT_EQ(result.step, c.step);
    EXPECT_NE(result.error, 0);
    EXPECT_EQ(readBytes(folder / "font.ttf"), "old");
    EXPECT_TRUE(fs::is_directory(folder / "folder"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 2) << "a temporary is left";
  }
}

TEST(AtomicFile, ReplacesThroughLinksKeepingPermissionsAndRemovesDeadSavesTemporaries) {
  TempFolder folder;
  fs::create_directory(folder / "elsewhere");
  writeBytes(folder / "elsewhere/real.log", "old contents, longer than the new");
  fs::permissions(folder / "elsewhere/real.log", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("elsewhere/real.log", folder / "a.log");
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  writeBytes(folder / "elsewhere" / (".real.log.tmp-" + std::to_string(dead) + "-0"), "left by a killed save");
  ASSERT_TRUE(common::writeFileAtomically(folder / "a.log", std::string_view("new")));
  EXPECT_TRUE(fs::is_symlink(folder / "a.log"));
  EXPECT_EQ(readBytes(folder / "elsewhere/real.log"), "new");
  EXPECT_EQ(fs::status(folder / "elsewhere/real.log").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "elsewhere"), fs::directory_iterator()), 1);
}

}  // namespace
