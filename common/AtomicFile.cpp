#include "common/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

namespace common {
namespace {

namespace fs = std::filesystem;

fs::path folderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : "."; }

// The prefix of every temporary file of `target`: ".<name>.tmp-".
std::string temporaryPrefix(const fs::path& target) {
  return "." + target.filename().string() + ".tmp-";
}

// Follows a chain of symbolic links from `path` to the file it finally names (at most
// 40 links, like the kernel); a path that is not a link comes back unchanged.
fs::path finalTarget(const fs::path& path) {
  fs::path current = path;
  std::error_code error;
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(current, error)); ++hop) {
    const fs::path link = fs::read_symlink(current, error);
    if (error) break;
    current = link.is_absolute() ? link : folderOf(current) / link;
  }
  return current;
}

// Opens a new, unique temporary file ".<name>.tmp-<pid>-<n>" beside `target`.
int createTemporary(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folderOf(target) / (temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                                    std::to_string(counter++));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// True when the temporary's name carries the id of a process that no longer runs.
bool isStale(const std::string& name, const std::string& prefix) {
  const std::string rest = name.substr(prefix.size());
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos) return false;
  pid_t pid = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (rest[i] < '0' || rest[i] > '9' || pid > 4'000'000) return false;
    pid = pid * 10 + (rest[i] - '0');
  }
  if (pid == ::getpid()) return false;
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporaries of dead processes, in today's hidden form and in the visible
// "<name>.tmp-<pid>-<n>" form that earlier versions of the editor left.
void removeStaleTemporaries(const fs::path& target) {
  const std::string prefixes[] = {temporaryPrefix(target), target.filename().string() + ".tmp-"};
  std::error_code error;
  for (fs::directory_iterator it(folderOf(target), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    for (const std::string& prefix : prefixes)
      if (name.compare(0, prefix.size(), prefix) == 0 && isStale(name, prefix))
        ::unlink(it->path().c_str());
  }
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    data += written;
    size -= size_t(written);
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no failure.
void syncFolder(const fs::path& target) {
  const int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string WriteResult::describe() const {
  static const char* const kWhat[] = {"", "cannot create a file beside it", "cannot write",
                                      "cannot flush to disk", "cannot replace it"};
  if (ok()) return {};
  return std::string(kWhat[int(step)]) + ": " + std::strerror(error);
}

std::string WriteResult::describeJapanese() const {
  static const char* const kWhat[] = {"", "一時ファイルを作成できません", "書き込めません",
                                      "ディスクに書き出せません", "置き換えられません"};
  if (ok()) return {};
  return std::string(kWhat[int(step)]) + " (" + std::strerror(error) + ")";
}

WriteResult writeFileAtomically(const fs::path& path, std::span<const uint8_t> bytes) {
  const fs::path target = finalTarget(path);
  removeStaleTemporaries(target);
  fs::path temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return {WriteResult::Step::Create, errno};
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(fd, old.st_mode & 07777);
  WriteResult result;
  if (!writeAll(fd, bytes.data(), bytes.size()))
    result = {WriteResult::Step::Write, errno};
  else if (::fsync(fd) != 0)
    result = {WriteResult::Step::Flush, errno};
  if (::close(fd) != 0 && result.ok()) result = {WriteResult::Step::Write, errno};
  if (result.ok() && ::rename(temporary.c_str(), target.c_str()) != 0)
    result = {WriteResult::Step::Replace, errno};
  if (!result.ok()) {
    ::unlink(temporary.c_str());
    return result;
  }
  syncFolder(target);
  return result;
}

WriteResult writeFileAtomically(const fs::path& path, std::string_view text) {
  return writeFileAtomically(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace common
