// The Programmer link against any answers: every step returns 1 or 0 within bounded (virtual) time,
// reports the failure it returns, and leaves the link able to find a healthy Programmer next.
//
// Input: a plan byte, then the device's answers. Every byte or block the program writes releases the
// next answer, a length byte and that many bytes; length 0xFF cuts the line until the port is opened
// again. Once the answers are spent the device is silent.
#include <array>
#include <deque>
#include <memory>
#include <optional>

#include "core/programmer/programmer_link.h"
#include "fuzz_support.h"

using namespace quillet;

namespace {

constexpr char kPortName[] = "fuzz:1";
constexpr uint8_t kCutLine = 0xFF;
constexpr Millis kLongestStep{120000};

struct Line {
  VirtualClock clock;
  std::span<const uint8_t> script;  // answers still to come
  std::deque<uint8_t> pending;      // answered, not yet read
  bool cut = false;
  bool open = false;
  std::optional<uint8_t> healthy_type;  // once set: a Programmer of this type code at version 0x0710
  uint8_t ack = kProgrammerAck;

  void Answer(std::span<const uint8_t> written) {
    if (healthy_type) {
      if (written.size() == 1 && written[0] == kTypeQuery) pending.push_back(*healthy_type);
      if (written.size() == 1 && written[0] == kVersionQuery)
        pending.insert(pending.end(), {ack, 0x07, 0x10});
      return;
    }
    if (script.empty()) return;
    const uint8_t length = script[0];
    script = script.subspan(1);
    if (length == kCutLine) {
      cut = true;
      return;
    }
    const auto answer = script.first(std::min<std::size_t>(length, script.size()));
    pending.insert(pending.end(), answer.begin(), answer.end());
    script = script.subspan(answer.size());
  }
};

class ScriptedDevice final : public SerialDevice {
 public:
  explicit ScriptedDevice(Line& line) : line_(line) {
    line_.open = true;
    line_.cut = false;
    line_.pending.clear();  // what came before the open is lost
  }
  ~ScriptedDevice() override { line_.open = false; }

  bool GetLineSettings(LineSettings& settings) override {
    settings = settings_;
    return !line_.cut;
  }
  bool SetLineSettings(const LineSettings& settings) override {
    settings_ = settings;
    return !line_.cut;
  }
  bool SetTimeouts(const SerialTimeouts& timeouts) override {
    timeouts_ = timeouts;
    return !line_.cut;
  }
  IoResult Read(std::span<uint8_t> buffer) override {
    if (line_.cut) return {0, true};
    std::size_t count = 0;
    for (; count < buffer.size() && !line_.pending.empty(); ++count) {
      buffer[count] = line_.pending.front();
      line_.pending.pop_front();
    }
    if (count < buffer.size())  // waited for the rest until the total time-out
      line_.clock.Sleep(
          Millis(uint64_t{timeouts_.read_multiplier} * buffer.size() + timeouts_.read_constant));
    return {count, false};
  }
  IoResult Write(std::span<const uint8_t> bytes) override {
    if (line_.cut) return {0, true};
    line_.Answer(bytes);
    return {bytes.size(), false};
  }
  bool SetDtr(bool) override { return !line_.cut; }
  bool SetRts(bool) override { return !line_.cut; }
  bool Drain() override { return !line_.cut; }  // answers come at once: nothing is in flight
  bool FlushInput() override {
    line_.pending.clear();
    return !line_.cut;
  }

 private:
  Line& line_;
  LineSettings settings_;
  SerialTimeouts timeouts_;
};

class NoDisplay final : public NullOperationDisplay {
 public:
  void CancelProgram() override { ++cancels; }
  int cancels = 0;
};

const PartCatalogue& Catalogue() {
  static const PartCatalogue catalogue;
  return catalogue;
}

PartGroup GroupOf(uint32_t code) {
  const PartRow& row = Catalogue().Row(code);
  return ClassifyPart(code, row.KestraPart, row.FamilyFlagB, row.FamilyFlagC);
}

// The first part code of each group, so that a plan can pick any of them.
const std::vector<uint32_t>& GroupParts() {
  static const std::vector<uint32_t> parts = [] {
    std::vector<uint32_t> found;
    std::vector<PartGroup> seen;
    for (uint32_t code = 0; code < kPartCount; ++code) {
      if (Catalogue().PartName(code).empty() || Catalogue().PartName(code) == "-") continue;
      const PartGroup group = GroupOf(code);
      if (std::find(seen.begin(), seen.end(), group) != seen.end()) continue;
      seen.push_back(group);
      found.push_back(code);
    }
    return found;
  }();
  return parts;
}

// The type code of a variant that serves the part as it is.
uint8_t SuitableTypeCode(uint32_t code) {
  for (std::size_t i = 0; i < kFirmwareVariantCount; ++i) {
    const auto variant = static_cast<FirmwareVariant>(i);
    if (DecideVariant(GroupOf(code), variant).action == VariantDecision::Action::Keep)
      return Info(variant).type_code;
  }
  __builtin_trap();
}

// Every firmware file the link may send, once per process.
const std::string& FirmwareFolder() {
  static const std::string folder = [] {
    const std::vector<uint8_t> image(600, 0x3C);
    for (std::size_t i = 0; i < kFirmwareVariantCount; ++i)
      fuzz::WriteScratchFile(std::string(Info(static_cast<FirmwareVariant>(i)).file), image);
    fuzz::WriteScratchFile(kGangFirmwareFile, image);
    return fuzz::ScratchFolder();
  }();
  return folder;
}

struct Rig {
  explicit Rig(std::span<const uint8_t> script) {
    line.script = script;
    ports.virtual_ports().Register(kPortName, [this]() -> std::unique_ptr<SerialDevice> {
      if (line.open) return nullptr;
      return std::make_unique<ScriptedDevice>(line);
    });
  }

  // Runs one step; checks its result, its time and that a failure was reported.
  int Step(int (ProgrammerLink::*step)(), bool reports) {
    const Millis start = line.clock.Now();
    const int fails = reporter.fails;
    const int result = (link.*step)();
    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(line.clock.Now() - start <= kLongestStep);
    if (reports && result == 0) FUZZ_CHECK(reporter.fails > fails || display.cancels > 0);
    return result;
  }

  Line line;
  PortSystem ports{PortSources{false, "", {}}};
  JobSettings job;
  fuzz::CountingReporter reporter{line.clock};
  NoDisplay display;
  SerialPort port{ports, line.clock};
  ProgrammerLink link{port, line.clock, reporter, display, job, Catalogue(), FirmwareFolder()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // Plan: bits 0..2 the part's group, 3 Gang mode, 4 forced update, 5 information only, 6 the port
  // remembered, 7 a second round.
  const uint8_t plan = data[0];
  Rig rig({data + 1, size - 1});
  const auto& parts = GroupParts();
  rig.job.PartCode = parts[(plan & 0x07) % parts.size()];
  const bool gang = plan & 0x08;
  rig.job.ProgrammerMode = gang ? kModeGang : 0;
  DeriveModeFlags(rig.job);
  rig.link.ForceFirmwareUpdate = plan & 0x10;
  rig.link.InfoOnlySearch = plan & 0x20;
  if (plan & 0x40) rig.job.SetPortName(kPortName);

  for (int round = 0; round < (plan & 0x80 ? 2 : 1); ++round) {
    if (gang) {
      rig.Step(&ProgrammerLink::SearchGangProgrammer, true);
      rig.Step(&ProgrammerLink::QueryGangVersion, true);
      rig.Step(&ProgrammerLink::CheckGangFirmware, false);
    } else {
      rig.Step(&ProgrammerLink::SearchProgrammer, true);
      rig.Step(&ProgrammerLink::QueryProgrammerVersion, true);
      rig.Step(&ProgrammerLink::CheckProgrammerFirmware, false);
    }
  }

  // Whatever happened, a healthy Programmer is found and needs nothing.
  rig.line.healthy_type = gang ? kGangTypeCode : SuitableTypeCode(rig.job.PartCode);
  rig.line.ack = gang ? kGangAck : kProgrammerAck;
  rig.line.pending.clear();
  rig.link.ForceFirmwareUpdate = false;
  rig.link.InfoOnlySearch = false;
  if (gang) {
    FUZZ_CHECK(rig.Step(&ProgrammerLink::SearchGangProgrammer, true) == 1);
    FUZZ_CHECK(rig.Step(&ProgrammerLink::QueryGangVersion, true) == 1);
    FUZZ_CHECK(rig.Step(&ProgrammerLink::CheckGangFirmware, false) == 0);
  } else {
    FUZZ_CHECK(rig.Step(&ProgrammerLink::SearchProgrammer, true) == 1);
    FUZZ_CHECK(rig.Step(&ProgrammerLink::QueryProgrammerVersion, true) == 1);
    FUZZ_CHECK(rig.Step(&ProgrammerLink::CheckProgrammerFirmware, false) == 0);
  }
  FUZZ_CHECK(rig.link.ProgrammerFirmwareVersion == kExpectedFirmwareVersion);
  return 0;
}
