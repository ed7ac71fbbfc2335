#include "strokes/StrokeFile.h"

#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace strokefile {

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr int64_t kMagnitudeLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;

std::string systemReason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

// Appends the decimal form of `value`.
void appendNumber(std::string& out, int32_t value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// Closes `fd` on every path out of a scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

std::string formatStrokeRecords(const StrokeLog& log) {
  std::string out;
  out.reserve(size_t(log.logEnd()) * 20);
  for (int32_t i = 0; i < log.logEnd(); ++i) {
    const StrokeRecord& r = log.at(i);
    appendNumber(out, r.kind);
    out += ',';
    appendNumber(out, r.width);
    out += ',';
    appendNumber(out, r.x);
    out += ',';
    appendNumber(out, r.y);
    out += "\r\n";
  }
  return out;
}

// --- parsing

StrokeTextParser::StrokeTextParser(StrokeLog& log) : m_log(log) { m_log.clearStrokeLog(); }

Status StrokeTextParser::feed(std::string_view bytes) {
  if (!m_failed) {
    for (const char c : bytes)
      if (!consume(c)) break;
  }
  return m_failed ? Status::failure(m_failure) : Status::success();
}

Status StrokeTextParser::finish() {
  if (!m_failed && (m_token != Token::Empty || m_afterComma)) endField(true);
  if (!m_failed && m_field != 0) fail("最後の記録が途中で終わっています");
  if (m_failed) return Status::failure(m_failure);
  m_log.setLoaded(m_count);
  return Status::success();
}

bool StrokeTextParser::consume(char c) {
  if (c == '\n' && m_afterCr) {  // the LF of a CR LF pair
    m_afterCr = false;
    return true;
  }
  m_afterCr = c == '\r';
  if (c == '\r' || c == '\n') return lineEnd();
  if (++m_lineLength > kMaxLineLength) return fail("行が長すぎます");
  if (c >= '0' && c <= '9') {
    if (m_token == Token::Trailing) return fail("数値の中に空白があります");
    m_token = Token::Digits;
    m_value = m_value * 10 + (c - '0');
    return m_value <= kMagnitudeLimit || fail("値が範囲外です");
  }
  switch (c) {
    case ',':
      if (!endField(false)) return false;
      m_afterComma = true;
      return true;
    case ' ':
    case '\t':
      if (m_token == Token::Sign) return fail("数値ではない値があります");
      if (m_token == Token::Digits) m_token = Token::Trailing;
      return true;
    case '-':
    case '+':
      if (m_token != Token::Empty) return fail("数値ではない値があります");
      m_token = Token::Sign;
      m_negative = c == '-';
      return true;
    default:
      return fail("数値ではない値があります");
  }
}

bool StrokeTextParser::lineEnd() {
  const bool blank = m_token == Token::Empty && !m_afterComma;
  if (!blank && !endField(true)) return false;
  ++m_line;
  m_lineLength = 0;
  return true;
}

// Ends the current field at a comma or a line end and stores it.
bool StrokeTextParser::endField(bool atLineEnd) {
  if (m_token == Token::Empty) return fail(atLineEnd ? "行末の欄が空です" : "欄が空です");
  if (m_token == Token::Sign) return fail("数値ではない値があります");
  const int64_t value = m_negative ? -m_value : m_value;
  m_token = Token::Empty;
  m_negative = false;
  m_value = 0;
  m_afterComma = false;
  return storeField(value);
}

// Fields come as kind, width, x, y; the fourth completes a record.
bool StrokeTextParser::storeField(int64_t value) {
  const bool isKind = m_field == 0;
  const int64_t low = isKind ? std::numeric_limits<int16_t>::min()
                             : std::numeric_limits<int32_t>::min();
  const int64_t high = isKind ? std::numeric_limits<int16_t>::max()
                              : std::numeric_limits<int32_t>::max();
  if (value < low || value > high) return fail("値が範囲外です");
  m_fields[m_field++] = int32_t(value);
  if (m_field < 4) return true;
  m_field = 0;
  if (m_count >= kMaxRecords) return fail("記録が多すぎます");
  m_log.ensureSlot(m_count);
  m_log.slot(m_count) = StrokeRecord{int16_t(m_fields[0]), m_fields[2], m_fields[3], m_fields[1]};
  ++m_count;
  return true;
}

bool StrokeTextParser::fail(const std::string& reason) {
  m_failed = true;
  m_failure = std::to_string(m_line) + "行目: " + reason;
  m_log.clearStrokeLog();
  return false;
}

Status parseStrokeRecords(std::string_view text, StrokeLog& log) {
  StrokeTextParser parser(log);
  if (Status fed = parser.feed(text); !fed) return fed;
  return parser.finish();
}

// --- files

namespace {

// Feeds the whole of an open regular file to the parser, never more than kMaxFileBytes.
LoadResult parseOpenFile(int fd, StrokeTextParser& parser, StrokeLog& log) {
  const auto buffer = std::make_unique<char[]>(kReadChunk);
  int64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.get(), kReadChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) break;
    if (got < 0 || (total += got) > kMaxFileBytes) {
      log.clearStrokeLog();
      return {LoadOutcome::Damaged,
              got < 0 ? "読み込めません" + systemReason(errno) : "ファイルが大きすぎます"};
    }
    if (Status fed = parser.feed({buffer.get(), size_t(got)}); !fed)
      return {LoadOutcome::Damaged, fed.message()};
  }
  if (Status done = parser.finish(); !done) return {LoadOutcome::Damaged, done.message()};
  if (replayCost(log, kCanvasSide, kCanvasSide) > kMaxReplayNs) {
    log.clearStrokeLog();
    return {LoadOutcome::Damaged, "描くのに時間がかかりすぎます"};
  }
  return {LoadOutcome::Loaded, {}};
}

}  // namespace

LoadResult readStrokeFile(const std::filesystem::path& path, StrokeLog& log) {
  StrokeTextParser parser(log);
  // Non-blocking, so that opening a FIFO planted under the name cannot hang.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {LoadOutcome::Missing, {}};
    return {LoadOutcome::Damaged, "開けません" + systemReason(errno)};
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0)
    return {LoadOutcome::Damaged, "開けません" + systemReason(errno)};
  if (!S_ISREG(info.st_mode)) return {LoadOutcome::Damaged, "通常のファイルではありません"};
  if (info.st_size > kMaxFileBytes) return {LoadOutcome::Damaged, "ファイルが大きすぎます"};
  return parseOpenFile(file.get(), parser, log);
}

Status writeStrokeFile(const std::filesystem::path& path, const StrokeLog& log) {
  const common::WriteResult written = common::writeFileAtomically(path, formatStrokeRecords(log));
  if (written) return Status::success();
  return Status::failure(written.describeJapanese());
}

Status moveDamagedFileAside(const std::filesystem::path& path, std::filesystem::path& movedTo) {
  for (int n = 1; n <= 1000; ++n) {
    std::filesystem::path candidate = path;
    candidate += n == 1 ? ".damaged" : ".damaged" + std::to_string(n);
    int result = ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // The file system cannot refuse to replace; check first instead.
      std::error_code error;
      if (std::filesystem::symlink_status(candidate, error).type() !=
          std::filesystem::file_type::not_found)
        continue;
      result = ::rename(path.c_str(), candidate.c_str());
    }
    if (result == 0) {
      movedTo = candidate;
      return Status::success();
    }
    if (errno != EEXIST) return Status::failure("退避できません" + systemReason(errno));
  }
  return Status::failure("退避先の名前が尽きました");
}

}  // namespace strokefile
