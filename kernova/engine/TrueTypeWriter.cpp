// compileTrueType and saveTrueType.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "kernova/engine/SfntTables.h"
#include "kernova/engine/SfntWriter.h"
#include "kernova/engine/TrueType.h"

namespace kernova {
namespace {

std::string systemError(int error) { return std::strerror(error); }

// Creates a new, not yet existing file beside `target`; the process umask applies.
// Returns the descriptor or -1 with errno set.
int createTemporary(const std::filesystem::path& target, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath =
        target.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += size_t(written);
  }
  return true;
}

// An existing font keeps its permission bits when it is replaced.
void keepPermissions(int fd, const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
    ::fchmod(fd, existing.st_mode & 07777);
}

// Makes the rename itself durable; a folder that cannot be synced is no failure.
void syncFolder(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

Status writeAndReplace(const std::vector<uint8_t>& bytes, const std::filesystem::path& target) {
  std::string tempPath;
  int fd = createTemporary(target, tempPath);
  if (fd < 0)
    return Status::failure("Cannot create a file beside \"" + target.string() +
                           "\": " + systemError(errno));
  keepPermissions(fd, target);
  bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(tempPath.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(tempPath.c_str());
    return Status::failure("Cannot save the font \"" + target.string() +
                           "\": " + systemError(error));
  }
  syncFolder(target);
  return Status::success();
}

}  // namespace

std::vector<uint8_t> compileTrueType(const FontDocument& document) {
  using namespace sfnt;
  FontLayout layout = layoutFont(document);
  GlyfAndLoca outlines = compileGlyf(layout);
  std::vector<Table> tables = {
      {makeTag("head"), compileHead(layout, outlines.longOffsets)},
      {makeTag("hhea"), compileHhea(layout)},
      {makeTag("maxp"), compileMaxp(layout)},
      {makeTag("OS/2"), compileOs2(layout)},
      {makeTag("hmtx"), compileHmtx(layout)},
      {makeTag("cmap"), compileCmap(layout)},
      {makeTag("loca"), std::move(outlines.loca)},
      {makeTag("glyf"), std::move(outlines.glyf)},
      {makeTag("name"), compileName(layout)},
      {makeTag("post"), compilePost(layout)},
  };
  return assembleFont(std::move(tables));
}

Status saveTrueType(const FontDocument& document, const std::string& path) {
  if (path.empty()) return Status::failure("No file name was given for the font.");
  if (Status limits = sfnt::checkTrueTypeLimits(document); !limits)
    return Status::failure("Cannot save the font \"" + path + "\": " + limits.message());
  return writeAndReplace(compileTrueType(document), std::filesystem::path(path));
}

}  // namespace kernova
