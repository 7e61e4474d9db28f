#include "dialogs/kit/dialog_units.h"

#include <cstdint>

namespace quillet {

DialogBaseUnits BaseUnitsFromFont(int sample_width_px, int height_px) {
  return {(sample_width_px / 26 + 1) / 2, height_px};
}

int ScaleRounded(int value, int base, int divisor) {
  const int64_t product = static_cast<int64_t>(value) * base;
  const int64_t half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

int MapDialogX(int x, DialogBaseUnits base) {
  return ScaleRounded(x, base.x, 4);
}
int MapDialogY(int y, DialogBaseUnits base) {
  return ScaleRounded(y, base.y, 8);
}

PixelRect MapDialogRect(const DialogRect& rect, DialogBaseUnits base) {
  return {MapDialogX(rect.x, base), MapDialogY(rect.y, base), MapDialogX(rect.width, base),
          MapDialogY(rect.height, base)};
}

}  // namespace quillet
