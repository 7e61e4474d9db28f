#include "sim/boot_loader_chip.h"

#include <algorithm>

#include "sim/boot_loader_tables.h"
#include "sim/sim_engine.h"

namespace quillet::sim {
namespace {

std::optional<uint32_t> RateOfCode(uint8_t code) {
  for (const BootBaudRow& row : kBootBaudRows) {
    if (row.code == code) return row.baud_rate;
  }
  return std::nullopt;
}

bool IsCommand(uint8_t byte) {
  switch (byte) {
    case kBootEraseAprom:
    case kBootWriteAprom:
    case kBootEnd:
    case kBootEraseDataFlash:
    case kBootWriteDataFlash:
    case kBootWriteConfig:
      return true;
    default:
      return false;
  }
}

}  // namespace

BootChipGeometry GeometryOf(const PartRow& row) {
  BootChipGeometry geometry;
  geometry.aprom_size = row.ApromLastAddress + 1;
  geometry.dataflash_by_config = row.DataFlashByConfig;
  geometry.dataflash_size = row.HasDataFlash && !row.DataFlashByConfig ? row.DataFlashSize : 0;
  geometry.cortex = row.IsCortexM0;
  return geometry;
}

BootLoaderChip::BootLoaderChip(const BootChipGeometry& geometry, const BootChipOptions& options)
    : geometry_(geometry),
      options_(options),
      flash_(geometry.aprom_size, 0xFF),
      dataflash_(geometry.dataflash_size, 0xFF),
      baud_rate_(kBootProbeBaud),
      boot_start_(options.power_on) {
  if (options.locked) config_[0] &= static_cast<uint8_t>(~kConfigLockBit);
}

LineSettings BootLoaderChip::Line() const {
  LineSettings line;
  line.baud_rate = baud_rate_;
  line.binary = true;
  return line;
}

Task<> BootLoaderChip::Run(DeviceIo& io) {
  for (;;) {
    const uint8_t byte = co_await io.Byte();
    Handle(byte, io.Now(), io);
  }
}

void BootLoaderChip::OnModemLines(bool dtr, bool /*rts*/, Micros at) {
  if (dtr == dtr_) return;
  dtr_ = dtr;
  if (dtr) {
    dtr_since_ = at;
  } else if (at >= options_.power_on && at - dtr_since_ >= kResetPulseMin) {
    Reset(at);
  }
}

void BootLoaderChip::Reset(Micros at) {
  ++resets_;
  state_ = State::BootWindow;
  boot_start_ = at;
  baud_rate_ = kBootProbeBaud;
  probes_answered_ = 0;
  erased_ = {};
  next_ = {};
  quiet_until_ = Micros(0);
}

bool BootLoaderChip::TooSoon(Micros at) const {
  return options_.strict && at - ByteTime(Line()) + options_.strict_slack < quiet_until_;
}

void BootLoaderChip::Handle(uint8_t byte, Micros at, DeviceIo& io) {
  if (at < options_.power_on) return;                     // no power yet
  if (dtr_ && at - dtr_since_ >= kResetPulseMin) return;  // held in reset
  const bool too_soon = TooSoon(at);
  quiet_until_ = at;
  switch (state_) {
    case State::Application:
      return;
    case State::BootWindow:
      return Probe(byte, at, io);
    case State::Commands:
      if (!IsCommand(byte)) return;
      spoiled_ = too_soon;
      return Command(byte, io);
    case State::ConfigBytes:
      spoiled_ = spoiled_ || too_soon;
      return ConfigByte(byte, io);
    default:
      spoiled_ = spoiled_ || too_soon;
      return Packet(byte, io);
  }
}

bool BootLoaderChip::WindowOver(Micros at) const {
  return options_.boot_window != Micros(0) && at > boot_start_ + options_.boot_window;
}

bool BootLoaderChip::IgnoresProbe(Micros at) const {
  return state_ == State::Commands || state_ == State::Application ||
         (state_ == State::BootWindow && WindowOver(at));
}

void BootLoaderChip::Probe(uint8_t byte, Micros at, DeviceIo& io) {
  if (WindowOver(at)) {
    state_ = State::Application;
    return io.Note("boot window over: the application runs");
  }
  if (byte != kBootProbe) return;
  if (probes_answered_ < options_.probe_answers.size())
    return io.Send(options_.probe_answers[probes_answered_++]);
  io.Send(options_.baud_code);
  ++handshakes_;
  if (const auto rate = RateOfCode(options_.baud_code)) {
    baud_rate_ = *rate;
    state_ = State::Commands;
  }
}

void BootLoaderChip::Command(uint8_t command, DeviceIo& io) {
  io.SendAck(kBootReady);
  switch (command) {
    case kBootEraseAprom:
    case kBootEraseDataFlash: {
      area_ = command == kBootEraseAprom ? Area::Aprom : Area::DataFlash;
      const Span span = AreaSpan(area_);
      std::fill(span.memory->begin() + span.begin, span.memory->begin() + span.end, uint8_t{0xFF});
      erased_[static_cast<int>(area_)] = true;
      next_[static_cast<int>(area_)] = 0;
      io.Busy(options_.erase_time);
      return io.SendAck(kBootDone);
    }
    case kBootWriteAprom:
    case kBootWriteDataFlash:
      area_ = command == kBootWriteAprom ? Area::Aprom : Area::DataFlash;
      state_ = State::Length;
      quiet_until_ += kQuietAfterWriteCommand;
      return;
    case kBootWriteConfig:
      received_.clear();
      state_ = State::ConfigBytes;
      return;
    case kBootEnd:
      state_ = State::Application;
      return;
  }
}

void BootLoaderChip::Packet(uint8_t byte, DeviceIo& io) {
  const bool short_packet = length_ < kBootBlockSize;
  switch (state_) {
    case State::Length:
      length_ = byte;
      received_.clear();
      state_ = length_ == 0 ? State::SumHigh : State::Data;
      if (length_ < kBootBlockSize) quiet_until_ += kQuietAfterShortLength;
      return;
    case State::Data:
      received_.push_back(byte);
      if (received_.size() < length_) return;
      state_ = State::SumHigh;
      if (short_packet) quiet_until_ += kQuietBeforeShortSum;
      return;
    case State::SumHigh:
      sum_high_ = byte;
      state_ = State::SumLow;
      if (short_packet) quiet_until_ += kQuietInsideShortSum;
      return;
    default:
      quiet_until_ += kQuietAfterPacket;
      state_ = State::Commands;
      return FinishPacket(static_cast<uint16_t>(sum_high_ << 8 | byte), io);
  }
}

void BootLoaderChip::FinishPacket(uint16_t sum, DeviceIo& io) {
  uint32_t actual = 0;
  for (uint8_t byte : received_) actual += byte;
  const int index = static_cast<int>(area_);
  const Span span = AreaSpan(area_);
  const uint32_t at = span.begin + next_[index];
  const bool fits = length_ > 0 && length_ <= kBootBlockSize && at + length_ <= span.end;
  io.Busy(options_.program_time);
  if (spoiled_ || !erased_[index] || !fits || static_cast<uint16_t>(actual) != sum) {
    ++blocks_refused_;
    return io.SendAck(kBootRefused);
  }
  std::copy(received_.begin(), received_.end(), span.memory->begin() + at);
  next_[index] += static_cast<uint32_t>(length_);
  ++blocks_written_;
  io.SendAck(kBootDone);
}

void BootLoaderChip::ConfigByte(uint8_t byte, DeviceIo& io) {
  received_.push_back(byte);
  if (received_.size() < kBootConfigSize) {
    quiet_until_ += kQuietAfterConfigByte;
    return;
  }
  state_ = State::Commands;
  const bool unlocks = !spoiled_ && Locked() && (received_[0] & kConfigLockBit) != 0;
  io.SendAck(unlocks ? kBootLockRelease : kBootConfigKept);
  if (unlocks) {
    const Span span = AreaSpan(Area::Aprom);
    std::fill(span.memory->begin() + span.begin, span.memory->begin() + span.end, uint8_t{0xFF});
    io.Busy(options_.erase_time);
  }
  io.Busy(options_.config_time);
  if (spoiled_) return io.SendAck(kBootRefused);
  std::copy(received_.begin(), received_.end(), config_.begin());
  io.SendAck(kBootDone);
}

uint32_t BootLoaderChip::DataFlashStart() const {
  if (!geometry_.dataflash_by_config || (config_[0] & kConfigDataFlashOffBit) != 0)
    return geometry_.aprom_size;
  const uint32_t start =
      geometry_.cortex
          ? static_cast<uint32_t>(config_[4] | config_[5] << 8 | config_[6] << 16 | config_[7] << 24)
          : config_[1] * kConfigStartUnit8051;
  return std::min(start, geometry_.aprom_size);
}

BootLoaderChip::Span BootLoaderChip::AreaSpan(Area area) {
  if (area == Area::Aprom) return {&flash_, 0, DataFlashStart()};
  if (geometry_.dataflash_by_config) return {&flash_, DataFlashStart(), geometry_.aprom_size};
  return {&dataflash_, 0, geometry_.dataflash_size};
}

std::vector<uint8_t> BootLoaderChip::Aprom() const {
  return {flash_.begin(), flash_.begin() + DataFlashStart()};
}

std::vector<uint8_t> BootLoaderChip::DataFlash() const {
  if (geometry_.dataflash_by_config) return {flash_.begin() + DataFlashStart(), flash_.end()};
  return dataflash_;
}

bool BootLoaderChip::Locked() const {
  return (config_[0] & kConfigLockBit) == 0;
}

}  // namespace quillet::sim
