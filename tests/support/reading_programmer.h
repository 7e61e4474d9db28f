#pragma once
// Test devices for Verify Chip and Read Chip, written from the exchange as the Programmer sees it:
// a Programmer holding one chip that answers 0xC7 and 0xC9 (ISP: compares streamed blocks, sends
// CONFIG; ICP: serves each area from the addresses and counts the host sent), and a Gang Programmer
// that routes its sockets' Programmers after 0xCC..0xCF and a sync byte.
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <vector>

#include "sim/controller_model.h"

namespace quillet::test_support {

struct HeldChip {
  std::vector<uint8_t> aprom, dataFlash, ldrom;  // each area from its offset 0
  std::array<uint8_t, 8> config{};               // as sent: CONFIG0's low byte first
  uint8_t status = 0;                            // the ICP read's status byte
  bool configFirst = false;                      // Cortex-M0 and FamilyFlagB parts
  bool endsWhenLocked = false;                   // status 1 of those parts ends the read
};

class ReadingProgrammer final : public sim::ControllerModel {
 public:
  ReadingProgrammer(uint8_t type_code, bool icp, HeldChip chip)
      : ControllerModel(type_code, 0x0710, 0xA5), icp_(icp), chip_(std::move(chip)) {}

 private:
  sim::Task<> Command(uint8_t command, sim::DeviceIo& io) override {
    if (command != 0xC7 && command != 0xC9) co_return;
    io.RequireQuiet(Millis(1));
    Acknowledge(io);
    if (icp_) co_return co_await IcpRead(io);
    if (command == 0xC9) {
      if (co_await Paced(io, 2)) io.Send(chip_.config);
      co_return;
    }
    const auto head = co_await Paced(io, 6);
    if (!head) co_return;
    const uint32_t size = (((*head)[2] << 16 | (*head)[3] << 8 | (*head)[4]) + 1) & 0xFFFFFF;
    Acknowledge(io);
    for (uint32_t first = 0; first < size; first += 256) {
      const auto block = co_await io.BytesWithin(std::min<uint32_t>(256, size - first), Millis(1000));
      if (!block) co_return;
      const bool same = std::equal(block->begin(), block->end(), chip_.aprom.begin() + first);
      io.Send(same ? 0x00 : 0x01);
      if (!same) co_return;
    }
  }

  // `count` bytes 1 ms apart; nothing when the host falls silent for a second first.
  sim::Task<std::optional<std::vector<uint8_t>>> Paced(sim::DeviceIo& io, std::size_t count) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
      const std::optional<uint8_t> byte = co_await io.ByteWithin(Millis(1000));
      if (!byte) co_return std::nullopt;
      bytes.push_back(*byte);
      io.RequireQuiet(Millis(1));
    }
    co_return bytes;
  }

  // `length` bytes of `area`; the device then waits for the host from when the last one is out.
  void Serve(sim::DeviceIo& io, const std::vector<uint8_t>& area, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) io.Send(i < area.size() ? area[i] : 0xFF);
    io.Busy(Micros(int64_t{length} * 10'000'000 / 115'200));  // 10 bits a byte at 115200 baud
  }

  sim::Task<> IcpRead(sim::DeviceIo& io) {
    if (!co_await Paced(io, 7)) co_return;
    if (chip_.configFirst) io.Send(chip_.config);
    const auto ends = co_await Paced(io, 10);
    if (!ends) co_return;
    const auto& e = *ends;
    const uint32_t a = e[0] << 16 | e[1] << 8 | e[2];
    const uint32_t d = e[3] << 16 | e[4] << 8 | e[5];
    const uint32_t l = e[6] << 8 | e[7];
    io.Send(chip_.status);
    if (chip_.status <= 2 && !co_await Paced(io, 1)) co_return;
    if (chip_.status == 2 || (chip_.status == 1 && chip_.endsWhenLocked)) co_return;
    Serve(io, chip_.aprom, (a + 1) / 256 * 256);
    for (const auto& [area, last, block] :
         {std::tuple{&chip_.dataFlash, d, 128u}, std::tuple{&chip_.ldrom, l, 256u}}) {
      const auto choice = co_await Paced(io, 1);
      if (!choice) co_return;
      if ((*choice)[0] == 0xFF) Serve(io, *area, (last + 1) / block * block);
    }
    io.Send(chip_.config);
  }

  bool icp_;
  HeldChip chip_;
};

// `sync` replaces the socket's sync byte when set; nothing is sent for a sync of -1.
class RoutingGang final : public sim::ControllerModel {
 public:
  RoutingGang(std::array<ReadingProgrammer*, 4> sockets, std::optional<int> sync = std::nullopt)
      : ControllerModel(0xAF, 0x0710, 0xAF), sockets_(sockets), sync_(sync) {}

 private:
  sim::Task<> Command(uint8_t command, sim::DeviceIo& io) override {
    if (command < 0xCC || command > 0xCF) co_return;
    io.RequireQuiet(Millis(1));
    Acknowledge(io);
    const int n = command - 0xCC + 1;
    io.Busy(Millis(50));
    if (sync_ && *sync_ < 0) co_return;
    io.Send(static_cast<uint8_t>(sync_ ? *sync_ : n));
    while (co_await sockets_[n - 1]->ServeOne(io, Millis(1000))) {
    }
  }

  std::array<ReadingProgrammer*, 4> sockets_;
  std::optional<int> sync_;
};

}  // namespace quillet::test_support
