#include "core/comisp/com_port_memory.h"

#include <algorithm>

#include "core/report/reporter.h"
#include "core/serial/port_name.h"
#include "core/sys/file_io.h"

namespace quillet {

std::string ComPortFilePath(const std::string& settings_path) {
  return FolderOf(settings_path) + kComPortFileName;
}

std::string ComPortNameFromContent(std::span<const uint8_t> content) {
  if (content.size() > kMaxPortNameLength) return "";
  if (!content.empty() && content.back() == '\n') content = content.first(content.size() - 1);
  if (!content.empty() && content.back() == '\r') content = content.first(content.size() - 1);
  const bool control =
      std::any_of(content.begin(), content.end(), [](uint8_t b) { return b < 0x20 || b == 0x7F; });
  if (control) return "";
  return std::string(content.begin(), content.end());
}

std::optional<std::string> ReadComPortFile(const std::string& path) {
  const auto file = ReadFileLimited(path, kMaxPortNameLength);
  if (!file) return std::nullopt;
  if (file->truncated) return std::string();
  return ComPortNameFromContent(file->bytes);
}

int WriteComPortFile(const std::string& path, const std::string& device_path) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(device_path.data());
  return WriteFileAtomically(path, {bytes, device_path.size()});
}

int RememberChipPort(const std::string& path, const std::string& device_path, Reporter& reporter) {
  if (WriteComPortFile(path, device_path)) return 1;
  reporter.ShowFail("'GUI_ComPortISP.LOG' cannot be saved !");
  return 0;
}

}  // namespace quillet
