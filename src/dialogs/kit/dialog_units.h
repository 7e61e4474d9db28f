#pragma once
// Dialog units to pixels, as the dialog toolkit converts them: one horizontal unit is a quarter of
// the dialog font's average character width, one vertical unit an eighth of its character height.
#include "dialogs/kit/dialog_template.h"

namespace quillet {

struct DialogBaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
  bool operator==(const DialogBaseUnits&) const = default;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The letters whose total width defines the average character width.
inline constexpr char kAverageWidthSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Base units from the width of kAverageWidthSample and the font's line height, both in pixels:
// the average width is (width / 26 + 1) / 2 in integer arithmetic, which rounds the mean of the 52
// letters to the nearest pixel.
DialogBaseUnits BaseUnitsFromFont(int sample_width_px, int height_px);

// value * base / divisor rounded to the nearest integer, halves away from zero.
int ScaleRounded(int value, int base, int divisor);

PixelRect MapDialogRect(const DialogRect& rect, DialogBaseUnits base);
int MapDialogX(int x, DialogBaseUnits base);
int MapDialogY(int y, DialogBaseUnits base);

}  // namespace quillet
