#include "core/storage/production_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/sys/file_io.h"

namespace quillet {
namespace {

constexpr std::string_view kEventNames[] = {"STARTED", "PASS", "FAIL", "SKIPPED"};

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Whether the file's last byte is a line break; an empty file counts as ending in one.
bool EndsWithLineBreak(int fd, off_t size) {
  char last = '\n';
  return size == 0 || (::pread(fd, &last, 1, size - 1) == 1 && last == '\n');
}

// The fields of one CSV record without its line break; nothing when a quote is left open or
// stray characters follow a closing quote.
std::optional<std::vector<std::string>> SplitCsv(std::string_view text) {
  std::vector<std::string> fields(1);
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"' && fields.back().empty()) {
      for (++i;; ++i) {
        if (i >= text.size()) return std::nullopt;
        if (text[i] != '"') {
          fields.back() += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
          fields.back() += '"';
          ++i;
        } else {
          break;
        }
      }
      ++i;
      if (i < text.size() && text[i] != ',') return std::nullopt;
    }
    if (i >= text.size()) break;
    if (text[i] == ',') {
      fields.emplace_back();
    } else {
      fields.back() += text[i];
    }
    ++i;
  }
  return fields;
}

std::optional<uint32_t> Digits(std::string_view text) {
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  uint32_t value = 0;
  for (char c : text) value = value * 10 + static_cast<uint32_t>(c - '0');
  return value;
}

}  // namespace

std::string ProductionLogPath(const std::string& settings_path) {
  return FolderOf(settings_path) + kProductionLogName;
}

std::string FormatLogSn(SplitDecimal sn) {
  char text[24];
  std::snprintf(text, sizeof text, "%08u%08u", sn.high, sn.low);
  return text;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string FoldLines(std::string_view text) {
  std::string folded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      folded += text[i];
    } else if (i == 0 || (text[i - 1] != '\r' && text[i - 1] != '\n')) {
      folded += ' ';
    }
  }
  return folded;
}

std::string FormatProductionLine(const ProductionLogLine& line) {
  return CsvField(line.time) + ',' + std::to_string(line.socket) + ',' +
         (line.sn ? FormatLogSn(*line.sn) : "") + ',' +
         std::string(kEventNames[static_cast<int>(line.event)]) + ',' + CsvField(FoldLines(line.message)) +
         '\n';
}

std::optional<ProductionLogLine> ParseProductionLine(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  const auto fields = SplitCsv(text);
  if (!fields || fields->size() != 5) return std::nullopt;
  const auto& f = *fields;
  ProductionLogLine line;
  line.time = f[0];
  if (f[1].size() != 1 || f[1][0] < '0' || f[1][0] > '4') return std::nullopt;
  line.socket = static_cast<uint8_t>(f[1][0] - '0');
  if (!f[2].empty()) {
    const auto high = f[2].size() == 16 ? Digits(std::string_view(f[2]).substr(0, 8)) : std::nullopt;
    const auto low = f[2].size() == 16 ? Digits(std::string_view(f[2]).substr(8)) : std::nullopt;
    if (!high || !low) return std::nullopt;
    line.sn = SplitDecimal{*high, *low};
  }
  const auto event = std::find(std::begin(kEventNames), std::end(kEventNames), f[3]);
  if (event == std::end(kEventNames)) return std::nullopt;
  line.event = static_cast<LogEvent>(event - std::begin(kEventNames));
  line.message = f[4];
  return line;
}

int AppendProductionLines(const std::string& log_path, std::span<const ProductionLogLine> lines) {
  const int fd = ::open(log_path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return 0;
  struct stat status {};
  bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (ok && status.st_size == 0) {
    // A new file: its name must reach the disk too, or the lines could vanish with it.
    ok = WriteAll(fd, kProductionLogHeader) && ::fdatasync(fd) == 0 && SyncFolderOf(log_path);
  }
  std::string lead = ok && !EndsWithLineBreak(fd, status.st_size) ? "\n" : "";
  for (std::size_t i = 0; ok && i < lines.size(); ++i) {
    ok = WriteAll(fd, lead + FormatProductionLine(lines[i])) && ::fdatasync(fd) == 0;
    lead.clear();
  }
  return ::close(fd) == 0 && ok ? 1 : 0;
}

std::vector<ProductionLogLine> ReadProductionTail(const std::string& log_path, std::size_t tail_bytes) {
  std::vector<ProductionLogLine> lines;
  const int fd = ::open(log_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return lines;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return lines;
  }
  const off_t size = status.st_size;
  const off_t from = size > static_cast<off_t>(tail_bytes) ? size - static_cast<off_t>(tail_bytes) : 0;
  std::string text(static_cast<std::size_t>(size - from), '\0');
  std::size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t n =
        ::pread(fd, text.data() + filled, text.size() - filled, from + static_cast<off_t>(filled));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  text.resize(filled);
  std::size_t at = 0;
  if (from > 0) {  // the tail starts inside a line: drop what precedes the first whole one
    at = text.find('\n');
    at = at == std::string::npos ? text.size() : at + 1;
  }
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (auto line = ParseProductionLine(std::string_view(text).substr(at, end - at))) lines.push_back(*line);
    at = end + 1;
  }
  return lines;
}

}  // namespace quillet
