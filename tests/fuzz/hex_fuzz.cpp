// Intel HEX conversion: any text converts within the buffer, and a refused one leaves the buffer
// holding nothing but the fill byte.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/images/hex_damage.h"
#include "core/images/hex_to_bin.h"
#include "fuzz_support.h"

using namespace quillet;

namespace {

// Whether every byte from `from` on is `fill` (memcmp against itself shifted by one: fast enough to
// run over 256 KB on every input).
bool AllFill(const std::vector<uint8_t>& buffer, std::size_t from, uint8_t fill) {
  if (from >= buffer.size()) return true;
  return buffer[from] == fill && std::memcmp(&buffer[from], &buffer[from + 1], buffer.size() - from - 1) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static std::vector<uint8_t> buffer(kImageCapacity);
  static VirtualClock clock;
  // The last byte picks the fill byte, so that the text itself stays readable in the corpus.
  const uint8_t fill = size > 0 ? data[size - 1] : 0xFF;
  const std::span<const uint8_t> text(data, size);

  fuzz::CountingReporter reporter(clock);
  std::fill(buffer.begin(), buffer.end(), static_cast<uint8_t>(~fill));
  constexpr uint32_t kUntouched = 0xDEADBEEF;
  uint32_t image_size = kUntouched;
  const int result = Hex_to_Bin(text, fill, std::span<uint8_t, kImageCapacity>(buffer.data(), kImageCapacity),
                                image_size, reporter);

  FUZZ_CHECK(result == 0 || result == 1);
  FUZZ_CHECK(reporter.debugs == (result == 0 ? 1 : 0));
  if (result == 0) {
    FUZZ_CHECK(image_size == kUntouched);
    FUZZ_CHECK(AllFill(buffer, 0, fill));
  } else {
    // The size is the highest address written + 1: nothing beyond it was written.
    FUZZ_CHECK(image_size >= 1 && image_size <= kImageCapacity);
    FUZZ_CHECK(AllFill(buffer, image_size, fill));
  }
  // A damage count comes with the line of the first (lines end at LF, CR or a record's colon, so
  // never more lines than bytes), and a converted image's lowest data lies inside it.
  const HexScan scan = ScanHexText(text);
  FUZZ_CHECK(scan.Damaged() == (scan.first_line >= 1) && scan.first_line <= size + 1);
  if (result == 1 && scan.lowest_address) FUZZ_CHECK(*scan.lowest_address < image_size);
  return 0;
}
