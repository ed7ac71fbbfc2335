#pragma once
// The one way files of both programs reach the disk: the bytes go to a new hidden file
// beside the target, are flushed, and the temporary file is renamed over the target,
// after which the folder is synced. A reader therefore sees the old file or the new
// one, never a part, and a failure at any step leaves the old file as it was.
//
// A target that is a symbolic link is replaced at the link's final destination, so the
// user's link survives. An existing target keeps its permission bits. Temporaries left
// behind by a process that died mid-save are removed at the next save of the same target.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace common {

// Which step of a write failed, with the system's error number.
struct WriteResult {
  enum class Step { Done, Create, Write, Flush, Replace };
  Step step = Step::Done;
  int error = 0;

  bool ok() const { return step == Step::Done; }
  explicit operator bool() const { return ok(); }
  // An English text such as "cannot write: No space left on device".
  std::string describe() const;
  // The same for the lettering tool's Japanese messages: "書き込めません (<reason>)".
  std::string describeJapanese() const;
};

WriteResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);
WriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view text);

}  // namespace common
