#include "core/comisp/comisp_link.h"

#include "core/comisp/com_port_memory.h"

#include "core/serial/port_name.h"
#include "core/sys/file_io.h"

namespace quillet {

// What differs between the two areas a chip's boot loader programs.
struct ComIspLink::Area {
  uint8_t erase_command;
  uint8_t write_command;
  const char* erasing;
  const char* erase_error;
  const char* programming;
  // Normal Protocol: the length byte of a full block travels alone, a pause before the rest.
  bool split_length_when_normal;
  // Normal Protocol: a further pause after each full block's answer.
  bool extra_pause_when_normal;
};

namespace {

constexpr const char* kDetectingText =
    "Detect chip... (!!! Now, reset the chip, or power off and power on again.)";
constexpr const char* kLockReleaseWarning =
    "APROM will be erased because code protection is changed from \"Enable\" to \"Disable\" !";

}  // namespace

ComIspLink::ComIspLink(SerialPort& port, Clock& clock, Reporter& reporter, OperationDisplay& display,
                       const JobSettings& job, std::string port_file)
    : port_(port),
      clock_(clock),
      reporter_(reporter),
      display_(display),
      job_(job),
      port_file_(std::move(port_file)) {}

int ComIspLink::Fail(const std::string& message) {
  reporter_.ShowFail(message);
  return Result(0);
}

int ComIspLink::SendByte(uint8_t byte) {
  // A byte left on the line by a failed exchange is never taken for the answer to this one.
  if (discard_input_) {
    port_.FlushInput();
    discard_input_ = false;
  }
  return Result(port_.WriteByte(byte));
}

int ComIspLink::SendBytes(std::span<const uint8_t> bytes) {
  return Result(port_.WriteBlock(bytes));
}

int ComIspLink::ReceiveIspByte(uint8_t& byte) {
  return Result(port_.ReadByte(byte));
}

int ComIspLink::ExpectReady() {
  if (!ReceiveIspByte(LastReceivedByte)) return 0;
  return Result(LastReceivedByte == kIspReady);
}

void ComIspLink::Pause(Millis length) {
  port_.Drain();
  clock_.Sleep(length);
}

int ComIspLink::OpenProbing() {
  port_.ClosePort();
  for (int attempt = 0; attempt < kIspOpenAttempts; ++attempt) {
    if (port_.OpenPortWithTimeout(PortName, kIspProbeBaud, kIspProbeTimeouts.read_interval)) return Result(1);
  }
  return Result(0);
}

int ComIspLink::ReopenProbing() {
  return OpenProbing() ? Result(1) : Fail("ComPort cannot be re-opened !");
}

void ComIspLink::PulseDtr(Millis length) {
  port_.SetDtr();
  clock_.Sleep(length);
  port_.ClearDtr();
}

int ComIspLink::DetectChip(DetectMode mode, const std::string& port_name) {
  PortName = port_name;
  const bool single = mode == DetectMode::Single;
  // Single mode steps the progress bar at each of the window's 20 resets; production mode once per
  // reset on a bar of one step.
  if (single) reporter_.BeginPhase(kDetectingText, 20);
  if (!OpenProbing()) return Fail("ComPort cannot be opened !");
  if (!single) reporter_.BeginPhase(kDetectingText, 1);
  if (!Probe(mode) || !SwitchToAgreedRate()) return Result(0);
  if (single) display_.ShowPortField(ShortPortName(PortName));
  RememberPort();
  return Result(1);
}

int ComIspLink::Probe(DetectMode mode) {
  const bool single = mode == DetectMode::Single;
  Millis base = clock_.Now();
  Millis elapsed{0};
  Millis next_mark = kIspResetInterval;  // single mode
  int resets = 1;                        // production mode: the next reset is due after 500 x resets
  bool first = true;
  bool found = false;
  while (!single || elapsed <= kIspDetectLoopEnd) {
    if (!single && !job_.ProductionMode) return Result(0);
    if (single) {
      if (elapsed > next_mark) {
        next_mark += kIspResetInterval;
        reporter_.StepIt();
        PulseDtr(kIspSingleResetPulse);
      }
      if (first) PulseDtr(kIspSingleResetPulse);
    } else if (elapsed > kIspResetInterval * resets) {
      reporter_.StepIt();
      PulseDtr(kIspProductionResetPulse);
      if (++resets == kIspResetCountWrap) {
        resets = 1;
        base = clock_.Now();
      }
    }
    first = false;
    if (!port_.WriteByte(kIspProbe)) {
      if (!ReopenProbing()) return 0;
    } else if (port_.ReadByte(LastReceivedByte)) {
      if (const auto rate = IspBaudRate(LastReceivedByte)) {
        AgreedBaudRate = *rate;
        reporter_.SetStatus("Detect chip... ok !");
        found = true;
        break;
      }
    }
    elapsed = clock_.Now() - base;
  }
  // A code that came after the time last read had passed the window is too late.
  if (found && !(single && elapsed > kIspDetectWindow)) return Result(1);
  reporter_.SetStatus("Detect chip... Not found !");
  return Result(0);
}

int ComIspLink::SwitchToAgreedRate() {
  port_.ClosePort();
  if (!port_.OpenPortWithTimeout(PortName, AgreedBaudRate, kIspWorkTimeouts.read_interval))
    return Fail("ComPort baudrate-setting error !");
  discard_input_ = false;
  return Result(1);
}

void ComIspLink::RememberPort() {
  if (!port_file_.empty()) RememberChipPort(port_file_, PortName, reporter_);
}

void ComIspLink::Animate(const std::string& status, Millis step_pause) {
  reporter_.BeginPhase(status, kIspAnimationSteps);
  for (int step = 0; step < kIspAnimationSteps; ++step) {
    clock_.Sleep(step_pause);
    reporter_.StepIt();
  }
}

int ComIspLink::WriteConfig() {
  if (!SendByte(kIspWriteConfig) || !ExpectReady()) return 0;
  // Stored eighth byte first: CONFIG byte n is stored byte 7 - n.
  for (std::size_t n = 0; n < kIspConfigSize; ++n) {
    if (!SendByte(job_.ConfigBytes[kIspConfigSize - 1 - n])) return 0;
    Pause(kIspConfigPause);
  }
  if (!ReceiveIspByte(LastReceivedByte)) return 0;
  if (LastReceivedByte == kIspLockRelease) {
    if (!job_.ProductionMode) reporter_.ShowWarning(kLockReleaseWarning);
    Animate("Erase APROM...", kIspEraseStepPause);
  }
  Animate("Update CONFIG...", kIspConfigStepPause);
  if (!ReceiveIspByte(LastReceivedByte)) return 0;
  return Result(LastReceivedByte == kIspDone);
}

int ComIspLink::UpdateAprom(std::span<const uint8_t> image) {
  static constexpr Area kAprom{kIspEraseAprom,
                               kIspWriteAprom,
                               "Erase APROM...",
                               "Erase APROM error !",
                               "Program and verify APROM...",
                               false,
                               true};
  return UpdateArea(kAprom, image);
}

int ComIspLink::UpdateDataFlash(std::span<const uint8_t> image) {
  static constexpr Area kDataFlash{kIspEraseDataFlash,
                                   kIspWriteDataFlash,
                                   "Erase DataFlash...",
                                   "Erase DataFlash error !",
                                   "Program and verify DataFlash...",
                                   true,
                                   false};
  return UpdateArea(kDataFlash, image);
}

int ComIspLink::EraseArea(const Area& area) {
  if (!SendByte(area.erase_command) || !ExpectReady()) return 0;
  Animate(area.erasing, kIspEraseStepPause);
  if (!port_.SetTimeouts(kIspEraseTimeouts) || !ReceiveIspByte(LastReceivedByte)) return Result(0);
  if (LastReceivedByte != kIspDone) return Fail(area.erase_error);
  return Result(port_.SetTimeouts(kIspWorkTimeouts));
}

int ComIspLink::UpdateArea(const Area& area, std::span<const uint8_t> image) {
  if (!EraseArea(area)) return 0;
  const std::size_t blocks = image.size() / kIspBlockSize;
  const std::size_t tail = image.size() % kIspBlockSize;
  reporter_.BeginPhase(area.programming, static_cast<int>(blocks + (tail ? 1 : 0)));
  for (std::size_t block = 0; block < blocks; ++block) {
    if (!WriteFullBlock(area, image.subspan(block * kIspBlockSize, kIspBlockSize))) return 0;
  }
  if (tail && !WriteTailBlock(area, image.subspan(blocks * kIspBlockSize))) return 0;
  return Result(1);
}

int ComIspLink::WriteFullBlock(const Area& area, std::span<const uint8_t> block) {
  if (!SendByte(area.write_command)) return 0;
  Pause(kIspBytePause);
  if (!ExpectReady()) return 0;
  const std::vector<uint8_t> packet = IspPacket(block);
  const std::span<const uint8_t> bytes(packet);
  if (area.split_length_when_normal && !job_.FastProtocol) {
    if (!SendBytes(bytes.first(1))) return 0;
    Pause(kIspBytePause);
    if (!SendBytes(bytes.subspan(1))) return 0;
  } else if (!SendBytes(bytes)) {
    return 0;
  }
  Pause(kIspBytePause);
  if (!ReceiveIspByte(LastReceivedByte) || !Result(LastReceivedByte == kIspDone)) return 0;
  reporter_.StepIt();
  if (area.extra_pause_when_normal && !job_.FastProtocol) Pause(kIspBytePause);
  return Result(1);
}

int ComIspLink::WriteTailBlock(const Area& area, std::span<const uint8_t> tail) {
  const std::vector<uint8_t> packet = IspPacket(tail);
  const std::span<const uint8_t> bytes(packet);
  if (!SendByte(area.write_command)) return 0;
  Pause(kIspBytePause);
  if (!ExpectReady() || !SendByte(bytes[0])) return 0;
  Pause(kIspBytePause);
  if (!SendBytes(tail)) return 0;
  Pause(kIspConfigPause);
  if (!SendByte(bytes[bytes.size() - 2])) return 0;
  Pause(kIspBytePause);
  if (!SendByte(bytes.back())) return 0;
  Pause(kIspBytePause);
  if (!ReceiveIspByte(LastReceivedByte) || !Result(LastReceivedByte == kIspDone)) return 0;
  reporter_.StepIt();
  return Result(1);
}

int ComIspLink::FinishChip() {
  return SendByte(kIspEnd) && ExpectReady() ? Result(1) : Result(0);
}

std::vector<uint8_t> IspPacket(std::span<const uint8_t> block) {
  std::vector<uint8_t> packet;
  packet.reserve(block.size() + 3);
  packet.push_back(static_cast<uint8_t>(block.size()));
  uint32_t sum = 0;
  for (uint8_t byte : block) {
    packet.push_back(byte);
    sum += byte;
  }
  packet.push_back(static_cast<uint8_t>(sum >> 8));
  packet.push_back(static_cast<uint8_t>(sum));
  return packet;
}

}  // namespace quillet
