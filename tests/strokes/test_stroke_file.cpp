// Stroke files: the exact text written, the bounded reader, atomic saving and the
// damaged-file path.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "brush/StrokeReplay.h"
#include "canvas/RetainedImage.h"
#include "strokes/StrokeFile.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;
using strokefile::LoadOutcome;

namespace {

const std::string kFourLineExample = "1,3,120,345\r\n2,3,121,350\r\n2,4,123,358\r\n3,0,0,0\r\n";

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "strokefile-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
  }
  const fs::path& path() const { return m_path; }
  fs::path operator/(const std::string& name) const { return m_path / name; }

 private:
  fs::path m_path;
};

std::vector<std::string> folderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void addStroke(StrokeLog& log, int32_t x) {
  log.appendStrokeRecord(StrokeKind::Begin, x, 10, 3);
  log.appendStrokeRecord(StrokeKind::Line, x + 1, 20, 4);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
}

StrokeLog logOf(int strokes) {
  StrokeLog log;
  for (int i = 0; i < strokes; ++i) addStroke(log, 10 * i);
  return log;
}

// A log that previously held records, so a load that fails must visibly empty it.
StrokeLog nonEmptyLog() { return logOf(2); }

}  // namespace

TEST(StrokeFileFormat, WritesKindWidthXYWithCrLf) {
  StrokeLog log;
  log.appendStrokeRecord(StrokeKind::Begin, 120, 345, 3);
  log.appendStrokeRecord(StrokeKind::Line, 121, 350, 3);
  log.appendStrokeRecord(StrokeKind::Line, 123, 358, 4);
  log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  EXPECT_EQ(strokefile::formatStrokeRecords(log), kFourLineExample);
}

TEST(StrokeFileFormat, EmptyLogIsZeroBytesOnDisk) {
  TempFolder folder;
  StrokeLog log;
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", log));
  EXPECT_EQ(fs::file_size(folder / "a.log"), 0u);
  StrokeLog loaded = nonEmptyLog();
  EXPECT_EQ(strokefile::readStrokeFile(folder / "a.log", loaded).outcome, LoadOutcome::Loaded);
  EXPECT_EQ(loaded.logEnd(), 0);
  EXPECT_EQ(loaded.redoLimit(), 0);
}

TEST(StrokeFileFormat, ExtremeValuesRoundTrip) {
  StrokeLog log;
  log.appendStrokeRecord(int16_t(-32768), INT32_MIN, INT32_MAX, -1);
  log.appendStrokeRecord(int16_t(32767), 0, -5, INT32_MAX);
  const std::string text = strokefile::formatStrokeRecords(log);
  EXPECT_EQ(text, "-32768,-1,-2147483648,2147483647\r\n32767,2147483647,0,-5\r\n");
  StrokeLog back;
  ASSERT_TRUE(strokefile::parseStrokeRecords(text, back));
  ASSERT_EQ(back.logEnd(), 2);
  EXPECT_EQ(back.at(0), log.at(0));
  EXPECT_EQ(back.at(1), log.at(1));
}

TEST(StrokeFileFormat, SavingAfterTwoUndosWritesOnlyLiveStrokes) {
  TempFolder folder;
  StrokeLog log = logOf(3);
  log.undoStroke();
  log.undoStroke();
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", log));
  EXPECT_EQ(readBytes(folder / "a.log"), "1,3,0,10\r\n2,4,1,20\r\n3,0,0,0\r\n");
  StrokeLog loaded;
  ASSERT_EQ(strokefile::readStrokeFile(folder / "a.log", loaded).outcome, LoadOutcome::Loaded);
  EXPECT_EQ(loaded.logEnd(), 3);
  loaded.redoStroke();
  EXPECT_EQ(loaded.logEnd(), 3) << "after a load nothing is left to redo";
}

TEST(StrokeFileLoad, FifteenHundredLinesGrowCapacityTo2048) {
  std::string text;
  for (int i = 0; i < 1500; ++i) text += "2," + std::to_string(i % 9) + "," + std::to_string(i) + ",7\r\n";
  StrokeLog log;
  ASSERT_TRUE(strokefile::parseStrokeRecords(text, log));
  EXPECT_EQ(log.logEnd(), 1500);
  EXPECT_EQ(log.redoLimit(), 1500);
  EXPECT_EQ(log.logCapacity(), 2048);
  EXPECT_EQ(log.at(1499), (StrokeRecord{2, 1499, 7, 1499 % 9}));
}

TEST(StrokeFileLoad, ExactlyOneMoreThanCapacityGrows) {
  std::string text;
  for (int i = 0; i < 1024; ++i) text += "2,1,1,1\r\n";
  StrokeLog log;
  ASSERT_TRUE(strokefile::parseStrokeRecords(text, log));
  EXPECT_EQ(log.logCapacity(), 1024);
  ASSERT_TRUE(strokefile::parseStrokeRecords(text + "3,0,0,0\r\n", log));
  EXPECT_EQ(log.logCapacity(), 2048);
  EXPECT_EQ(log.logEnd(), 1025);
}

TEST(StrokeFileLoad, RecordCutShortYieldsEmptyLog) {
  StrokeLog log = nonEmptyLog();
  const Status status = strokefile::parseStrokeRecords("1,3,120,345\r\n2,3,121\r\n", log);
  EXPECT_FALSE(status);
  EXPECT_EQ(log.logEnd(), 0) << "records read before the failure are not kept";
  EXPECT_EQ(log.redoLimit(), 0);
}

TEST(StrokeFileLoad, FieldThatIsNotANumberFailsNamingTheLine) {
  for (const char* text : {"1,3,120,345\r\n2,x,121,350\r\n", "1,3,120,345\r\n2,3,12 1,350\r\n",
                           "1,3,120,345\r\n2,-,121,350\r\n", "1,3,120,345\r\n2,3,,350\r\n",
                           "1,3,120,345\r\n2,3,121,\r\n", "1,3,120,345\r\n\xEF\xBB\xBF"}) {
    StrokeLog log = nonEmptyLog();
    const Status status = strokefile::parseStrokeRecords(text, log);
    EXPECT_FALSE(status) << text;
    EXPECT_NE(status.message().find("2行目"), std::string::npos) << status.message();
    EXPECT_EQ(log.logEnd(), 0);
  }
}

TEST(StrokeFileLoad, FieldsOutsideTheirWidthAreFailures) {
  for (const char* text : {"32768,1,1,1", "-32769,1,1,1", "2,2147483648,1,1", "2,1,-2147483649,1",
                           "2,1,1,99999999999999999999999999999999"}) {
    StrokeLog log;
    EXPECT_FALSE(strokefile::parseStrokeRecords(text, log)) << text;
    EXPECT_EQ(log.logEnd(), 0);
  }
  StrokeLog log;
  ASSERT_TRUE(strokefile::parseStrokeRecords("-32768,2147483647,-2147483648,+5", log));
  EXPECT_EQ(log.at(0), (StrokeRecord{-32768, -2147483647 - 1, 5, 2147483647}));
}

TEST(StrokeFileLoad, FieldsMaySpanLinesAndBlankLinesAreSkipped) {
  StrokeLog log;
  ASSERT_TRUE(strokefile::parseStrokeRecords("1\r\n3\n120 , 345\r\n\r\n\n2,3,121,350", log));
  ASSERT_EQ(log.logEnd(), 2);
  EXPECT_EQ(log.at(0), (StrokeRecord{1, 120, 345, 3}));
  EXPECT_EQ(log.at(1), (StrokeRecord{2, 121, 350, 3}));
}

TEST(StrokeFileLoad, ChunkBoundariesDoNotChangeTheResult) {
  const std::string text = "1,3,120,345\r\n\r\n2, -3 ,121,350\r" + kFourLineExample;
  StrokeLog whole;
  ASSERT_TRUE(strokefile::parseStrokeRecords(text, whole));
  for (size_t split = 0; split <= text.size(); ++split) {
    StrokeLog log;
    strokefile::StrokeTextParser parser(log);
    ASSERT_TRUE(parser.feed(std::string_view(text).substr(0, split)));
    ASSERT_TRUE(parser.feed(std::string_view(text).substr(split)));
    ASSERT_TRUE(parser.finish()) << split;
    ASSERT_EQ(log.logEnd(), whole.logEnd()) << split;
    for (int32_t i = 0; i < log.logEnd(); ++i) ASSERT_EQ(log.at(i), whole.at(i)) << split;
  }
}

TEST(StrokeFileLoad, OverlongLineIsRejectedAfterTheCap) {
  const std::string atCap(strokefile::kMaxLineLength - 7, ' ');
  StrokeLog log;
  EXPECT_TRUE(strokefile::parseStrokeRecords(atCap + "2,1,1,1\r\n", log));
  EXPECT_FALSE(strokefile::parseStrokeRecords(atCap + " 2,1,1,1\r\n", log));
  strokefile::StrokeTextParser parser(log);
  const std::string megabyte(1 << 20, '7');
  EXPECT_FALSE(parser.feed(megabyte));
  EXPECT_FALSE(parser.feed("1,1,1,1\r\n")) << "a failed parser stays failed";
  EXPECT_FALSE(parser.finish());
  EXPECT_EQ(log.logEnd(), 0);
}

TEST(StrokeFileLoad, RecordCountIsCapped) {
  std::string block;
  for (int i = 0; i < 8192; ++i) block += "2,1,1,1\n";
  StrokeLog log;
  strokefile::StrokeTextParser parser(log);
  int64_t fed = 0;
  while (fed + 8192 <= strokefile::kMaxRecords) {
    ASSERT_TRUE(parser.feed(block));
    fed += 8192;
  }
  for (; fed < strokefile::kMaxRecords; ++fed) ASSERT_TRUE(parser.feed("2,1,1,1\n"));
  EXPECT_FALSE(parser.feed("3,0,0,0\n"));
  EXPECT_EQ(log.logEnd(), 0);
}

// Regression: files within the old limits froze the window for seconds: 200,000
// canvas-filling records took 43 s to draw.
TEST(StrokeFileLoad, AFileThatWouldTakeTooLongToDrawIsDamaged) {
  TempFolder folder;
  auto repeated = [](const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
  };
  const std::pair<std::string, LoadOutcome> cases[] = {
      {repeated("1,2000,256,256\r\n3,0,0,0\r\n", 10'000), LoadOutcome::Damaged},
      {repeated("1,250,0,0\r\n2,250,511,511\r\n2,250,0,400\r\n3,0,0,0\r\n", 5'000), LoadOutcome::Damaged},
      {repeated("1,20,100,100\r\n2,20,103,101\r\n2,21,106,103\r\n3,0,0,0\r\n", 25'000), LoadOutcome::Loaded}};
  for (const auto& [text, outcome] : cases) {
    writeBytes(folder / "a.log", text);
    StrokeLog log = nonEmptyLog();
    EXPECT_EQ(strokefile::readStrokeFile(folder / "a.log", log).outcome, outcome) << text.substr(0, 30);
  }
  StrokeLog wide, wider;
  wide.appendStrokeRecord(StrokeKind::Begin, 256, 256, 1500);
  wider.appendStrokeRecord(StrokeKind::Begin, 256, 256, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(replayCost(wide, 512, 512), replayCost(wider, 512, 512))
      << "a width beyond the canvas costs no more than the canvas";
}

TEST(StrokeFileLoad, HostileValuesReplayWithoutHarm) {
  StrokeLog log;
  ASSERT_TRUE(strokefile::parseStrokeRecords(
      "1,2147483647,256,256\r\n2,-2147483648,-2147483648,2147483647\r\n"
      "10,-5,2147483647,-2147483648\r\n2,2147483647,2147483647,2147483647\r\n7,1,1,1\r\n3,0,0,0",
      log));
  RetainedImage image(512, 512);
  replayStrokes(log, image, 0, log.logEnd() - 1);
  RetainedImage centreOnly(512, 512);
  replayStrokes(log, centreOnly, 0, 0);
  EXPECT_EQ(centreOnly.image().pixel(0, 0), 0xFF000000u) << "a vast dot covers the canvas";
  EXPECT_EQ(centreOnly.image().pixel(511, 511), 0xFF000000u);
}

TEST(StrokeFileRead, MissingFileOrFolderIsTheOrdinaryEmptyLog) {
  TempFolder folder;
  for (const fs::path& path : {folder / "none.log", folder / "nofolder/none.log"}) {
    StrokeLog log = nonEmptyLog();
    const auto result = strokefile::readStrokeFile(path, log);
    EXPECT_EQ(result.outcome, LoadOutcome::Missing);
    EXPECT_EQ(log.logEnd(), 0);
  }
}

TEST(StrokeFileRead, ReadsTheFourLineExample) {
  TempFolder folder;
  writeBytes(folder / "a.log", kFourLineExample);
  StrokeLog log;
  ASSERT_EQ(strokefile::readStrokeFile(folder / "a.log", log).outcome, LoadOutcome::Loaded);
  ASSERT_EQ(log.logEnd(), 4);
  EXPECT_EQ(log.at(2), (StrokeRecord{2, 123, 358, 4}));
}

TEST(StrokeFileRead, UnreadableThingsAreDamagedNotMissing) {
  TempFolder folder;
  fs::create_directory(folder / "dir.log");
  ASSERT_EQ(::mkfifo((folder / "fifo.log").c_str(), 0600), 0);
  writeBytes(folder / "junk.log", std::string("\x7F" "ELF\0\0\0", 7));
  { std::ofstream(folder / "huge.log"); }
  fs::resize_file(folder / "huge.log", uint64_t(strokefile::kMaxFileBytes) + 1);  // sparse
  for (const char* name : {"dir.log", "fifo.log", "junk.log", "huge.log"}) {
    StrokeLog log = nonEmptyLog();
    const auto result = strokefile::readStrokeFile(folder / name, log);
    EXPECT_EQ(result.outcome, LoadOutcome::Damaged) << name;
    EXPECT_FALSE(result.message.empty()) << name;
    EXPECT_EQ(log.logEnd(), 0) << name;
  }
}

TEST(StrokeFileWrite, ReplacesTheOldFileAndLeavesNoTemporary) {
  TempFolder folder;
  writeBytes(folder / "a.log", "old contents that are longer than the new ones\r\n");
  ::chmod((folder / "a.log").c_str(), 0640);
  StrokeLog log;
  addStroke(log, 5);
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", log));
  EXPECT_EQ(readBytes(folder / "a.log"), "1,3,5,10\r\n2,4,6,20\r\n3,0,0,0\r\n");
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"a.log"});
  EXPECT_EQ(fs::status(folder / "a.log").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(StrokeFileWrite, SaveFailingMidwayLeavesOldFileByteForByte) {
  TempFolder folder;
  const std::string old = kFourLineExample;
  writeBytes(folder / "a.log", old);
  const StrokeLog big = logOf(5000);
  // A file-size limit makes the write fail part of the way through, for real.
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Status status = strokefile::writeStrokeFile(folder / "a.log", big);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(status);
  EXPECT_FALSE(status.message().empty());
  EXPECT_EQ(readBytes(folder / "a.log"), old);
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"a.log"});
}

TEST(StrokeFileWrite, FailsCleanlyWhenTheTargetCannotBeReplaced) {
  TempFolder folder;
  fs::create_directory(folder / "a.log");
  writeBytes(folder / "a.log" / "inside", "keep");
  EXPECT_FALSE(strokefile::writeStrokeFile(folder / "a.log", logOf(1)));
  EXPECT_EQ(readBytes(folder / "a.log" / "inside"), "keep");
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"a.log"});
  EXPECT_FALSE(strokefile::writeStrokeFile(folder / "missing/a.log", logOf(1)));
}

// A save killed mid-way leaves its hidden temporary behind; the next save removes it.
TEST(StrokeFileWrite, TemporaryOfADeadSaveIsRemovedAtTheNextSave) {
  TempFolder folder;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  writeBytes(folder / (".a.log.tmp-" + std::to_string(dead) + "-0"), std::string(4096, '1'));
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", logOf(1)));
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"a.log"});
}

TEST(StrokeFileWrite, ALinkedFileStaysALinkAndItsTargetGetsTheNewText) {
  TempFolder folder;
  fs::create_directory(folder / "elsewhere");
  writeBytes(folder / "elsewhere" / "real.log", kFourLineExample);
  fs::create_symlink("elsewhere/real.log", folder / "a.log");
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", logOf(1)));
  EXPECT_TRUE(fs::is_symlink(folder / "a.log"));
  EXPECT_EQ(readBytes(folder / "elsewhere" / "real.log"), "1,3,0,10\r\n2,4,1,20\r\n3,0,0,0\r\n");
}

TEST(StrokeFileDamaged, MovesAsideWithoutReplacingEarlierCopies) {
  TempFolder folder;
  const fs::path file = folder / "srfm_data0041.log";
  fs::path movedTo;
  writeBytes(file, "first");
  ASSERT_TRUE(strokefile::moveDamagedFileAside(file, movedTo));
  EXPECT_EQ(movedTo, folder / "srfm_data0041.log.damaged");
  writeBytes(file, "second");
  ASSERT_TRUE(strokefile::moveDamagedFileAside(file, movedTo));
  EXPECT_EQ(movedTo, folder / "srfm_data0041.log.damaged2");
  EXPECT_EQ(readBytes(folder / "srfm_data0041.log.damaged"), "first");
  EXPECT_EQ(readBytes(folder / "srfm_data0041.log.damaged2"), "second");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(strokefile::moveDamagedFileAside(file, movedTo)) << "nothing left to move";
}
