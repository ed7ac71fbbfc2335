// Stroke files: the sample files under tests/data/strokefile, the exact text written,
// the streaming parser's record cap, what a file may be and the damaged-file path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "strokes/StrokeFile.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;
using strokefile::LoadOutcome;

namespace {

StrokeLog logOf(int strokes) {
  StrokeLog log;
  for (int i = 0; i < strokes; ++i) {
    log.appendStrokeRecord(StrokeKind::Begin, 10 * i, 10, 3);
    log.appendStrokeRecord(StrokeKind::Line, 10 * i + 1, 20, 4);
    log.appendStrokeRecord(StrokeKind::End, 0, 0, 0);
  }
  return log;
}

std::string repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// "name.N.log": N is the record count of a good file, the line a bad file's message names.
std::optional<int> numberInName(const fs::path& file) {
  const std::string stem = file.stem().string();
  const size_t dot = stem.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  return std::stoi(stem.substr(dot + 1));
}

}  // namespace

// Good files load; bad files are refused with the log emptied. Their round trip and
// any chunking of them are the fuzzer's, seeded from the same folders.
TEST(StrokeFileSamples, GoodFilesLoadAndBadFilesAreRefused) {
  const fs::path samples = fs::path(std::getenv("DZ_SOURCE_DIR")) / "tests/data/strokefile";
  int seen = 0;
  for (const bool good : {true, false}) {
    for (const auto& entry : fs::directory_iterator(samples / (good ? "good" : "bad"))) {
      SCOPED_TRACE(entry.path().string());
      ++seen;
      StrokeLog log = logOf(2);
      const strokefile::LoadResult result = strokefile::readStrokeFile(entry.path(), log);
      const std::optional<int> number = numberInName(entry.path());
      EXPECT_EQ(result.outcome, good ? LoadOutcome::Loaded : LoadOutcome::Damaged) << result.message;
      EXPECT_EQ(log.logEnd(), good ? number.value_or(log.logEnd()) : 0);
      if (!good && number) {
        EXPECT_EQ(result.message.rfind(std::to_string(*number) + "行目", 0), 0u) << result.message;
      }
    }
  }
  EXPECT_GE(seen, 20);
}

TEST(StrokeFileFormat, WritesKindWidthXYWithCrLfAndOnlyTheLiveStrokes) {
  TempFolder folder;
  StrokeLog log = logOf(3);
  log.undoStroke();
  log.undoStroke();
  ASSERT_TRUE(strokefile::writeStrokeFile(folder / "a.log", log));
  EXPECT_EQ(readBytes(folder / "a.log"), "1,3,0,10\r\n2,4,1,20\r\n3,0,0,0\r\n");
  EXPECT_FALSE(strokefile::writeStrokeFile(folder / "missing/a.log", log).message().empty());
}

TEST(StrokeFileLoad, RecordCountIsCappedAndAFailedParserStaysFailed) {
  StrokeLog log;
  strokefile::StrokeTextParser parser(log);
  ASSERT_TRUE(parser.feed(repeated("2,1,1,1\n", strokefile::kMaxRecords)));
  EXPECT_FALSE(parser.feed("3,0,0,0\n"));
  EXPECT_FALSE(parser.feed("\n"));
  EXPECT_FALSE(parser.finish());
  EXPECT_EQ(log.logEnd(), 0);
}

// Missing is the empty log; what is no regular file, too big or too slow to draw is
// damaged. Regression: files within the old limits froze the window for seconds:
// 200,000 canvas-filling records took 43 s to draw.
TEST(StrokeFileRead, MissingIsTheEmptyLogAndWhatIsNoRegularFileOrTooSlowToDrawIsDamaged) {
  TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo.log").c_str(), 0600), 0);
  { std::ofstream(folder / "huge.log"); }
  fs::resize_file(folder / "huge.log", uint64_t(strokefile::kMaxFileBytes) + 1);  // sparse
  writeBytes(folder / "blots.log", repeated("1,2000,256,256\r\n3,0,0,0\r\n", 10'000));
  writeBytes(folder / "sweeps.log", repeated("1,250,0,0\r\n2,250,511,511\r\n2,250,0,400\r\n3,0,0,0\r\n", 5'000));
  writeBytes(folder / "many.log", repeated("1,20,100,100\r\n2,20,103,101\r\n2,21,106,103\r\n3,0,0,0\r\n", 25'000));
  const std::pair<const char*, LoadOutcome> cases[] = {
      {"none.log", LoadOutcome::Missing},   {"many.log/none.log", LoadOutcome::Missing},
      {"fifo.log", LoadOutcome::Damaged},   {"huge.log", LoadOutcome::Damaged},
      {"blots.log", LoadOutcome::Damaged},  {"sweeps.log", LoadOutcome::Damaged},
      {"many.log", LoadOutcome::Loaded}};
  for (const auto& [name, outcome] : cases) {
    StrokeLog log = logOf(2);
    const auto result = strokefile::readStrokeFile(folder / name, log);
    EXPECT_EQ(result.outcome, outcome) << name;
    EXPECT_EQ(result.message.empty(), outcome != LoadOutcome::Damaged) << name;
    EXPECT_EQ(log.logEnd() == 0, outcome != LoadOutcome::Loaded) << name;
  }
}

TEST(StrokeFileDamaged, MovesAsideWithoutReplacingEarlierCopies) {
  TempFolder folder;
  const fs::path file = folder / "srfm_data0041.log";
  fs::path movedTo;
  for (const char* text : {"first", "second"}) {
    writeBytes(file, text);
    ASSERT_TRUE(strokefile::moveDamagedFileAside(file, movedTo));
  }
  EXPECT_EQ(movedTo, folder / "srfm_data0041.log.damaged2");
  EXPECT_EQ(readBytes(folder / "srfm_data0041.log.damaged"), "first");
  EXPECT_FALSE(strokefile::moveDamagedFileAside(file, movedTo)) << "nothing left to move";
}
