#pragma once
// The per-character stroke files: one text line per record, "kind,width,x,y" CR LF,
// in log order from index 0 to logEnd - 1; an empty log is a zero-byte file.
//
// Design note: missing, damaged and loaded.
// - Missing: the file (or a folder on its path) does not exist. That is the ordinary
//   case of a character never drawn; it yields an empty log and nothing else.
// - Damaged: the path exists but cannot be read completely as records: it cannot be
//   opened or read, is not a regular file, is larger than any stroke file can be, or
//   its text breaks the format (a record cut short, a field that is not a number, a
//   number out of its field's range, a line longer than kMaxLineLength, more than
//   kMaxRecords records), or it would take longer to draw than kMaxReplayNs. A damaged
//   file also yields an empty log; the caller moves it aside so that the next save
//   cannot overwrite what is left in it. So every file is loaded and drawn in well under
//   a second, or refused.
// Reading is streamed through a fixed buffer and bounded by kMaxRecords, so hostile
// content is rejected without unbounded memory or time. Saving is atomic: the text
// goes to a temporary file in the same folder, which is flushed to disk and then
// renamed over the old file; a failed save leaves the old file as it was.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Status.h"
#include "strokes/StrokeLog.h"

namespace strokefile {

inline constexpr int32_t kMaxRecords = 1'000'000;
// The canvas the files are drawn on, and the most its drawing may cost (replayCost).
inline constexpr int kCanvasSide = 512;
inline constexpr int64_t kMaxReplayNs = 500'000'000;
// Longest accepted line; a line written by formatStrokeRecords is at most 45 bytes.
inline constexpr size_t kMaxLineLength = 256;
// Largest accepted file: room for kMaxRecords padded lines; anything larger is damaged.
inline constexpr int64_t kMaxFileBytes = int64_t(kMaxRecords) * 64;

// The file text of records 0..logEnd - 1.
std::string formatStrokeRecords(const StrokeLog& log);

// Reads records incrementally. Fields are separated by a comma or by line ends (CR,
// LF or CR LF; blank lines are skipped); blanks and tabs around a number are allowed.
// `kind` must fit 16 bits, width, x and y 32 bits. After the first failure every
// further call fails with the same message.
class StrokeTextParser {
 public:
  explicit StrokeTextParser(StrokeLog& log);

  Status feed(std::string_view bytes);
  // Ends the input: a record cut short is a failure. On success the log holds the
  // records with logEnd = redoLimit = their count; on failure the log is empty.
  Status finish();

 private:
  enum class Token { Empty, Sign, Digits, Trailing };
  bool consume(char c);
  bool lineEnd();
  bool endField(bool atLineEnd);
  bool storeField(int64_t value);
  bool fail(const std::string& reason);

  StrokeLog& m_log;
  Token m_token = Token::Empty;
  bool m_negative = false;
  int64_t m_value = 0;
  int m_field = 0;
  int32_t m_fields[4] = {};
  int32_t m_count = 0;
  bool m_afterComma = false;
  bool m_afterCr = false;
  size_t m_lineLength = 0;
  int64_t m_line = 1;
  bool m_failed = false;
  std::string m_failure;
};

// Parses a whole text into `log` (see StrokeTextParser).
Status parseStrokeRecords(std::string_view text, StrokeLog& log);

enum class LoadOutcome { Loaded, Missing, Damaged };

struct LoadResult {
  LoadOutcome outcome = LoadOutcome::Loaded;
  std::string message;  // why the file counts as damaged
};

// Empties `log`, then fills it from the file at `path`. Missing and damaged files
// leave the log empty (logEnd = redoLimit = 0).
LoadResult readStrokeFile(const std::filesystem::path& path, StrokeLog& log);

// Writes records 0..logEnd - 1 to `path` atomically. On failure the old file, if
// any, is unchanged and no temporary file is left behind.
Status writeStrokeFile(const std::filesystem::path& path, const StrokeLog& log);


// Renames a damaged file to "<name>.damaged" in its folder, or "<name>.damaged2",
// "<name>.damaged3", ... when that exists; never replaces an existing file. On
// success `movedTo` is the new path.
Status moveDamagedFileAside(const std::filesystem::path& path, std::filesystem::path& movedTo);

}  // namespace strokefile
