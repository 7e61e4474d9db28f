#include "core/sys/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace quillet {
namespace {

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<FileBytes> ReadFileLimited(const std::string& path, std::size_t max_bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // One byte past the limit tells a file that goes on from one that ends there. A regular file's
  // size says how much to expect, so the bytes are read in place without growing the buffer; the
  // loop still decides, since a file may change while it is read.
  const std::size_t most = max_bytes + 1;
  struct stat status {};
  const bool sized = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  std::vector<uint8_t> bytes(std::min(most, sized ? static_cast<std::size_t>(status.st_size) + 1 : 65536));
  std::size_t filled = 0;
  while (filled < most) {
    if (filled == bytes.size()) bytes.resize(std::min(most, 2 * bytes.size()));
    const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  FileBytes result;
  result.truncated = filled > max_bytes;
  bytes.resize(std::min(filled, max_bytes));
  result.bytes = std::move(bytes);
  return result;
}

int WriteFileAtomically(const std::string& path, std::span<const uint8_t> content, Durability durability) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return 0;
  ::fchmod(fd, 0644);
  const bool ok = WriteAll(fd, content.data(), content.size()) &&
                  (durability == Durability::kRenameOnly || ::fsync(fd) == 0);
  if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  return durability == Durability::kRenameOnly || SyncFolderOf(path) ? 1 : 0;
}

bool SyncFolderOf(const std::string& path) {
  const std::string folder = FolderOf(path);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  ::close(fd);
  return ok;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace quillet
