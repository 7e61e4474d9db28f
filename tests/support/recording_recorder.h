#pragma once
// A production recorder that writes each call down as a line for a golden transcript, and can
// refuse the reservation or the commit as a settings file that cannot be written would.
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "core/storage/production_recorder.h"

namespace quillet::test_support {

class RecordingRecorder : public ProductionRecorder {
 public:
  int ChipsStarting(std::span<const ChipStart> chips, const ProductionTally& reserved) override {
    std::string line = "starting";
    for (const ChipStart& chip : chips) line += " [" + std::to_string(chip.socket) + Sn(chip.sn) + "]";
    lines.push_back(line + " reserve" + Sn(reserved.sn) + " " + std::to_string(reserved.counter));
    return refuse_start ? 0 : 1;
  }
  int ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) override {
    static const char* const kResults[] = {" passed]", " failed]", " skipped]"};
    std::string line = "finished";
    for (const ChipOutcome& chip : chips)
      line += " [" + std::to_string(chip.socket) + Sn(chip.sn) + kResults[static_cast<int>(chip.result)];
    std::string message = chips.empty() ? "" : chips[0].message;
    for (std::size_t at; (at = message.find('\n')) != std::string::npos;) message.replace(at, 1, "\\n");
    lines.push_back(line + " \"" + message + "\" commit" + Sn(committed.sn) + " " +
                    std::to_string(committed.counter));
    return refuse_finish ? 0 : 1;
  }
  std::string Text() const {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
  }

  std::vector<std::string> lines;
  bool refuse_start = false;
  bool refuse_finish = false;

 private:
  static std::string Sn(const std::optional<SplitDecimal>& sn) { return sn ? " " + FormatSnValue(*sn) : ""; }
};

}  // namespace quillet::test_support
