#include "core/storage/packed_bcd.h"

namespace quillet {
namespace {

void PutHalf(uint32_t half, uint8_t* out) {
  for (int i = 3; i >= 0; --i) {
    const uint32_t two = half % 100;
    half /= 100;
    out[i] = static_cast<uint8_t>(((two / 10) << 4) | (two % 10));
  }
}

uint32_t GetHalf(const uint8_t* in) {
  uint32_t half = 0;
  for (int i = 0; i < 4; ++i) half = half * 100 + (in[i] >> 4) * 10 + (in[i] & 0x0F);
  return half;
}

}  // namespace

PackedBcd ToPackedBcd(SplitDecimal value) {
  PackedBcd out{};
  PutHalf(value.high, out.data());
  PutHalf(value.low, out.data() + 4);
  return out;
}

SplitDecimal FromPackedBcd(std::span<const uint8_t, 8> bytes) {
  return {GetHalf(bytes.data()), GetHalf(bytes.data() + 4)};
}

}  // namespace quillet
