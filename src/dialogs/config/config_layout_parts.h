#pragma once
// Building blocks of the CONFIG editors' templates: captionless radios, the DataFlash box that
// five editors share, and joining blocks into one table.
#include <algorithm>
#include <array>

#include "dialogs/config/config_layouts.h"

namespace quillet::config_layout {

using K = ControlKind;

constexpr DialogFont kEditorFont{"Arial", 8, false};
constexpr const char* kEditorTitle = "CONFIG Setting";

constexpr ControlTemplate Box(int id, const char* caption, DialogRect rect, uint32_t style = 0) {
  return {id, K::GroupBox, caption, rect, style};
}

// A radio of a field; `width` is wide enough for the longest caption any part gives it.
constexpr ControlTemplate Radio(int id, int x, int y, int width = 60, uint32_t style = 0) {
  return {id, K::Radio, "", {x, y, width, 10}, style};
}

constexpr ControlTemplate OkButton(int x, int y) {
  return {kIdConfigOk, K::DefaultButton, "OK", {x, y, 50, 14}};
}

// The DataFlash box, 140 x 60, with its top left corner at (x, y).
constexpr std::array<ControlTemplate, 8> DataFlashBox(int x, int y) {
  return {{
      Box(kIdDataFlashGroup, "DataFlash", {x, y, 140, 60}),
      Radio(kIdDataFlashEnable, x + 7, y + 11),
      Radio(kIdDataFlashDisable, x + 70, y + 11),
      {kIdDataFlashSizeLabel, K::Static, "Size:", {x + 7, y + 28, 50, 8}},
      {kIdDataFlashSize, K::Edit, "", {x + 62, y + 26, 56, 12}, kReadOnly},
      {kIdDataFlashSpin, K::UpDown, "", {x + 120, y + 25, 12, 14}},
      {kIdDataFlashStartLabel, K::Static, "Start Address:", {x + 7, y + 44, 54, 8}},
      {kIdDataFlashStart, K::Edit, "", {x + 62, y + 42, 56, 12}, kReadOnly},
  }};
}

template <std::size_t... N>
constexpr auto Join(const std::array<ControlTemplate, N>&... parts) {
  std::array<ControlTemplate, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
  return all;
}

// The templates of each family's editors.
const DialogTemplate& CortexTemplate();
const DialogTemplate& EmberTemplate();
const DialogTemplate& CedarTemplate();
const DialogTemplate& DuneTemplate();
const DialogTemplate& SorrelTemplate();
const DialogTemplate& Config8051Template();
const DialogTemplate& Config8051SmallTemplate();
const DialogTemplate& BitsTemplate();

}  // namespace quillet::config_layout
