#include "cli/verb_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "core/sys/file_io.h"

namespace quillet::cli {

void AddOutputOptions(CLI::App& verb, OutputOptions& options, bool json) {
  verb.add_flag("-q,--quiet", options.quiet, "say nothing when it succeeds (failures are still said)");
  if (json) verb.add_flag("--json", options.json, "print the result as JSON on stdout");
}

int UsageError(const std::string& what, const std::string& hint) {
  std::cerr << kProgram << ": " << what << "\n";
  if (!hint.empty()) std::cerr << "  " << hint << "\n";
  return 2;
}

std::string ReadFailureReason(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  int error = errno;
  if (fd >= 0) {
    struct stat status {};
    char byte;
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
      error = EISDIR;
    } else {
      error = ::read(fd, &byte, 1) < 0 ? errno : 0;
    }
    ::close(fd);
  }
  return path + ": " + (error ? std::strerror(error) : "cannot be read");
}

std::optional<std::string> UnreadableReason(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 && errno == ENOENT) return std::nullopt;
  if (!S_ISDIR(status.st_mode) && ReadFileLimited(path, 1)) return std::nullopt;
  return ReadFailureReason(path);
}

std::string WriteFailureReason(const std::string& path) {
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  struct stat status {};
  int error = 0;
  if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    error = EISDIR;
  } else if (::stat(folder.c_str(), &status) != 0) {
    error = errno;
  } else if (!S_ISDIR(status.st_mode)) {
    error = ENOTDIR;
  } else if (::access(folder.c_str(), W_OK) != 0) {
    error = errno;
  }
  return path + ": " + (error ? std::strerror(error) : "cannot be written");
}

nlohmann::ordered_json ResultJson(const ConsoleReporter& reporter) {
  nlohmann::ordered_json json;
  json["result"] = reporter.Failed() ? "FAIL" : "PASS";
  if (reporter.Failed()) {
    json["message"] = reporter.Fails().front().message;
    json["detail"] = reporter.Fails().front().detail;
  } else {
    json["message"] = reporter.Passes().empty() ? "" : reporter.Passes().back();
  }
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const auto& warning : reporter.Warnings())
    warnings.push_back({{"message", warning.message}, {"detail", warning.detail}});
  json["warnings"] = warnings;
  return json;
}

void PrintJson(const nlohmann::ordered_json& json) {
  std::cout << json.dump(2) << "\n";
}

std::string HelpFooter(const std::string& exit_codes, const std::string& variables,
                       const std::string& example) {
  std::string text = "\n" + exit_codes + "\n";
  if (!variables.empty()) text += "\nEnvironment:\n" + variables;
  return text + "\nExample:\n  " + example + "\n";
}

}  // namespace quillet::cli
