#pragma once
// A production recorder that writes each call down as a line of text for a golden transcript, and
// can refuse the next start as a full disk would.
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
    lines.push_back(line + " reserve" + Tally(reserved));
    return refuse_start ? 0 : 1;
  }
  int ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) override {
    static const char* const kResults[] = {"passed", "failed", "skipped"};
    std::string line = "finished";
    for (const ChipOutcome& chip : chips) {
      line += " [" + std::to_string(chip.socket) + Sn(chip.sn) + " " +
              kResults[static_cast<int>(chip.result)] + "]";
    }
    if (!chips.empty()) line += " \"" + Escaped(chips[0].message) + "\"";
    lines.push_back(line + " commit" + Tally(committed));
    return 1;
  }
  std::string Text() const {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
  }

  std::vector<std::string> lines;
  bool refuse_start = false;

 private:
  static std::string Sn(const std::optional<SplitDecimal>& sn) {
    if (!sn) return "";
    char text[24];
    std::snprintf(text, sizeof text, " %08u,%08u", sn->high, sn->low);
    return text;
  }
  static std::string Tally(const ProductionTally& tally) {
    return Sn(tally.sn) + " " + std::to_string(tally.counter);
  }
  static std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
  }
};

}  // namespace quillet::test_support
