#pragma once
// The main-window fields an operation drives besides what the Reporter shows (status line,
// progress bar, PASS, FAIL and WARNING windows): the port field, the "Prog. Type" field, the S/N
// and Chip Counter boxes, and the window's cancel path. The window implements it by running each
// call on the user-interface thread while the worker waits, the CLI by keeping what it prints,
// tests by recording.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

class OperationDisplay {
 public:
  virtual ~OperationDisplay() = default;
  // The port field: the port's short name, or "COM???" while scanning.
  virtual void ShowPortField(const std::string& text) = 0;
  // The "Prog. Type" field.
  virtual void ShowProgrammerType(const std::string& word) = 0;
  // The S/N box, after the serial number has stepped (the two 8-digit halves).
  virtual void ShowSerialNumber(uint32_t high, uint32_t low) = 0;
  // The Chip Counter box, after the counter has stepped.
  virtual void ShowChipCounter(uint32_t counter) = 0;
  // The main window's cancel path (GUI.LOG is written and the program ends), run when a firmware
  // file is missing.
  virtual void CancelProgram() = 0;

  // For a front end that explains more than the window does (the window keeps its own texts):
  // the search is about to reflash the Programmer with another firmware variant.
  virtual void AnnounceFirmwareSwitch(std::string_view /*from_word*/, std::string_view /*to_word*/) {}
  // A firmware transfer starts or ends. Cut off inside it, the Programmer waits in the transfer
  // until it gives up; a front end that can be interrupted lets the transfer finish first.
  virtual void TransferStarted() {}
  virtual void TransferEnded() {}
  // Windows a Read Chip or an information report opens and waits for (the window runs them on the
  // user-interface thread while the worker waits). The viewer shows the workbench's read results;
  // the CONFIG view shows read-back bytes (stored order, as the job's ConfigBytes) of a part code
  // with the part's editor in view mode.
  virtual void ShowReadChipViewer() {}
  virtual void ShowConfigView(uint32_t /*part_code*/, const std::array<uint8_t, 8>& /*bytes*/) {}
};

// A display for runs that show none of these fields (verbs without a Programmer, benchmarks).
class NullOperationDisplay : public OperationDisplay {
 public:
  void ShowPortField(const std::string&) override {}
  void ShowProgrammerType(const std::string&) override {}
  void ShowSerialNumber(uint32_t, uint32_t) override {}
  void ShowChipCounter(uint32_t) override {}
  void CancelProgram() override {}
};

}  // namespace quillet
