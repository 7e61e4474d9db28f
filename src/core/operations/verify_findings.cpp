#include "core/operations/verify_findings.h"

#include <cstdio>

namespace quillet {
namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string AreaDetail(const PartRow& part, const AreaVerdict& v) {
  if (v.block)
    return v.area + " differs in " + Hex(v.block->first, 5) + ".." + Hex(v.block->last, 5) + " (result " +
           Hex(v.block->result, 2) + ")";
  if (v.area == "CONFIG") {
    std::string text;
    for (const FirstDifference& d : v.configBytes)
      text += (text.empty() ? "CONFIG: " : ", ") + ConfigByteName(part, 7 - static_cast<int>(d.offset)) +
              " expected " + Hex(d.expected, 2) + ", read " + Hex(d.read, 2);
    return text;
  }
  const std::string count =
      v.differingBytes == 1 ? "1 byte differs" : std::to_string(v.differingBytes) + " bytes differ";
  std::string text = v.area + ": " + count + ", the first at " + Hex(v.firstDifference->offset, 5) +
                     " (expected " + Hex(v.firstDifference->expected, 2) + ", read " +
                     Hex(v.firstDifference->read, 2) + ")";
  if (v.beyondRead)
    text += "; " + std::to_string(v.beyondRead) + " image bytes lie past the " +
            std::to_string(v.readLength) + " bytes read";
  return text;
}

}  // namespace

AreaVerdict CompareArea(std::string_view area, std::span<const uint8_t> image, std::span<const uint8_t> read,
                        uint32_t read_length) {
  AreaVerdict verdict{.area = std::string(area)};
  verdict.readLength = read_length;
  if (image.size() > read_length) verdict.beyondRead = static_cast<uint32_t>(image.size() - read_length);
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (image[i] == read[i]) continue;
    if (!verdict.firstDifference)
      verdict.firstDifference = FirstDifference{static_cast<uint32_t>(i), image[i], read[i]};
    ++verdict.differingBytes;
  }
  verdict.pass = verdict.differingBytes == 0;
  return verdict;
}

std::string ConfigByteName(const PartRow& part, int stored_index) {
  if (!part.IsCortexM0) return "CONFIG" + std::to_string(7 - stored_index);
  const int word = stored_index < 4 ? 1 : 0;
  const int low_bit = 8 * (3 - stored_index % 4);
  return "CONFIG" + std::to_string(word) + " bits " + std::to_string(low_bit + 7) + ".." +
         std::to_string(low_bit);
}

AreaVerdict CompareConfig(const PartRow& part, const std::array<uint8_t, 8>& expected,
                          const std::array<uint8_t, 8>& read) {
  AreaVerdict verdict{.area = "CONFIG"};
  const ConfigSpan span = ConfigVerifySpan(part);
  // CONFIG0's low byte (the last stored) first, as the differing bytes are named.
  for (int i = 7; i >= span.first; --i) {
    if (expected[i] == read[i]) continue;
    verdict.configBytes.push_back({static_cast<uint32_t>(7 - i), expected[i], read[i]});
    if (!verdict.firstDifference) verdict.firstDifference = verdict.configBytes.back();
    ++verdict.differingBytes;
  }
  verdict.readLength = static_cast<uint32_t>(span.count);
  verdict.pass = verdict.differingBytes == 0;
  return verdict;
}

AreaVerdict RefusedBlock(uint32_t first, uint32_t last, uint8_t result) {
  return AreaVerdict{.area = "APROM", .pass = false, .block = DifferingBlock{first, last, result}};
}

std::string FindingsDetail(const PartRow& part, const VerifyFindings& findings) {
  std::string detail;
  for (const AreaVerdict& verdict : findings) {
    if (verdict.pass) continue;
    detail += (detail.empty() ? "" : "; ") + AreaDetail(part, verdict);
  }
  return detail;
}

std::string VerdictLine(const AreaVerdict& verdict) {
  // The CONFIG line ends the text and has no line break of its own.
  return "Verify " + verdict.area + (verdict.pass ? " ==> PASS !" : " ==> FAIL !") +
         (verdict.area == "CONFIG" ? "" : "\n");
}

}  // namespace quillet
