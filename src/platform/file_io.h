#pragma once
// Whole-file reads and writes. Writes go to a temporary file in the same folder that is then
// renamed over the target, so a crash or a full disk never leaves a half-written file behind.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillet {

// The file's bytes, or nothing when it cannot be opened or read. At most max_bytes are read, so a
// huge or endless file costs no more than the caller can use; `truncated` tells whether more followed.
struct FileBytes {
  std::vector<uint8_t> bytes;
  bool truncated = false;
};
std::optional<FileBytes> ReadFileLimited(const std::string& path, std::size_t max_bytes);

// 1 when the whole content is on disk under `path`, 0 when anything failed (the old file, if any,
// is then untouched).
int WriteFileAtomically(const std::string& path, std::span<const uint8_t> content);

// The folder part of a path including its final '/', or "" for a bare file name.
std::string FolderOf(const std::string& path);

}  // namespace quillet
