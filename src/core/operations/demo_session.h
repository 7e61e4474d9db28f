#pragma once
// Demo mode: the program runs against simulated devices (a Programmer and a Gang Programmer that
// quillet-sim serves on pseudo-terminals, started as children of this program and ending with it),
// and keeps its settings, port memory, production log and firmware files in a folder of its own,
// so that a machine without hardware shows the whole program and the real GUI.LOG is never touched.
#include <memory>
#include <string>
#include <vector>

#include "core/sys/child_process.h"

namespace quillet {

class DemoSession {
 public:
  // Prepares the folder (with invented firmware files) and starts the devices; 0 with `error` set
  // when that fails.
  int Start(std::string& error);
  // The port scan of this process sees the demo's terminals only.
  void RestrictPortScan() const;

  const std::string& folder() const { return folder_; }  // ends with '/'
  const std::string& programmer_port() const { return programmer_port_; }
  const std::string& gang_port() const { return gang_port_; }

 private:
  int StartDevice(const std::string& simulator, const std::vector<std::string>& arguments, std::string& port,
                  std::string& error);

  std::string folder_;
  std::string programmer_port_;
  std::string gang_port_;
  std::vector<std::unique_ptr<ChildProcess>> devices_;
};

// $XDG_STATE_HOME/quillet-demo, else ~/.local/state/quillet-demo, else /tmp/quillet-demo-<uid>.
std::string DemoFolder();
// $QUILLET_SIM, else quillet-sim beside this executable, else in the build tree's sim folder.
std::string FindSimulator();

}  // namespace quillet
