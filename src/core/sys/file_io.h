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

// kSynced flushes the content to the disk before the rename and the folder after it, so the file
// survives a power loss whole and under its name; kRenameOnly leaves that to the system, for outputs that are
// simply made again (converted images), where the wait would dominate.
enum class Durability { kSynced, kRenameOnly };

// 1 when the whole content is under `path`, 0 when anything failed (the old file, if any, is then
// untouched and no temporary is left; only when the folder cannot be flushed after the rename is the
// new content in place, though not yet safe on the disk).
int WriteFileAtomically(const std::string& path, std::span<const uint8_t> content,
                        Durability durability = Durability::kSynced);

// Flushes the folder that holds `path` (its entries: a new or renamed name) to the disk. True as
// well where the file system cannot flush a folder, since nothing more can be done there.
bool SyncFolderOf(const std::string& path);

// The folder part of a path including its final '/', or "" for a bare file name.
std::string FolderOf(const std::string& path);

}  // namespace quillet
