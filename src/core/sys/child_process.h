#pragma once
// A helper program run as a child of this one: its standard output is read line by line, and it
// ends with this program (it is sent SIGTERM when this process dies, and when the object goes).
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace quillet {

class ChildProcess {
 public:
  // Starts `program` with `arguments`; IsRunning() tells whether it started.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool IsRunning() const { return pid_ > 0; }
  // The next line of the child's output, without its line end; nothing when the child has closed
  // its output or `timeout_ms` passed without a whole line.
  std::optional<std::string> ReadLine(int timeout_ms);
  // SIGTERM, then waits for the child.
  void Stop();

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  std::string buffer_;
};

// The path of the running executable's folder, ending in '/'.
std::string ExecutableFolder();

}  // namespace quillet
