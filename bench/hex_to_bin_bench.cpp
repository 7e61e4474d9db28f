// Hex_to_Bin over the HEX text of a full 256 KB image, as objcopy and most linkers write it: 16 or
// 32 data bytes a record, an extended linear address record every 64 KB, CRLF line ends. Reports
// the text's throughput in MB/s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/images/hex_to_bin.h"
#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

void Record(std::string& text, unsigned count, unsigned offset, unsigned type, const uint8_t* data) {
  char line[80];
  unsigned sum = count + (offset >> 8) + (offset & 0xFF) + type;
  int n = std::snprintf(line, sizeof line, ":%02X%04X%02X", count, offset, type);
  for (unsigned i = 0; i < count; ++i) {
    n += std::snprintf(line + n, sizeof line - n, "%02X", data[i]);
    sum += data[i];
  }
  std::snprintf(line + n, sizeof line - n, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
  text += line;
}

std::string FullImageHex(unsigned bytes_per_record) {
  std::vector<uint8_t> image(kImageCapacity);
  uint32_t seed = 1;
  for (uint8_t& b : image) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
  std::string text;
  for (uint32_t address = 0; address < kImageCapacity; address += bytes_per_record) {
    if (address % 0x10000 == 0) {
      const uint8_t base[2] = {0, static_cast<uint8_t>(address >> 16)};
      Record(text, 2, 0, 4, base);
    }
    Record(text, bytes_per_record, address & 0xFFFF, 0, &image[address]);
  }
  Record(text, 0, 0, 1, nullptr);
  return text;
}

void BM_HexToBinFullImage(benchmark::State& state) {
  const std::string text = FullImageHex(static_cast<unsigned>(state.range(0)));
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  std::vector<uint8_t> dest(kImageCapacity);
  VirtualClock clock;
  RecordingReporter reporter(clock);  // a successful conversion reports nothing
  uint32_t size = 0;
  for (auto _ : state) {
    const int ok = Hex_to_Bin(bytes, 0x00, std::span<uint8_t, kImageCapacity>(dest.data(), kImageCapacity),
                              size, reporter);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(dest.data());
  }
  if (size != kImageCapacity) state.SkipWithError("conversion did not give a full image");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.counters["text_KB"] = static_cast<double>(text.size()) / 1024;
}
BENCHMARK(BM_HexToBinFullImage)->Arg(16)->Arg(32);

}  // namespace
}  // namespace quillet
