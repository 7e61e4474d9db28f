#pragma once
// Dialog layouts as data: every control of a dialog with its id, kind, caption and position in
// dialog units. The windows are built from these tables, and tests and automation find every
// control by its numeric id.
#include <cstdint>
#include <span>

namespace quillet {

// Controls that the program never addresses (frames, labels) have no id.
constexpr int kNoId = -1;

enum class ControlKind {
  Bitmap,  // static picture; `resource` names it
  Icon,    // static icon; `resource` names it
  GroupBox,
  Radio,
  CheckBox,
  Button,
  DefaultButton,
  Static,
  DropDownList,  // height is that of the opened list, as dialog templates give it
  Edit,
  TabControl,
  HexView,
  ProgressBar,
  UpDown,
};

enum ControlStyle : uint32_t {
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kReadOnly = 1u << 2,
  kAlignRight = 1u << 3,
  kAlignCenter = 1u << 4,
};

// Position and size in dialog units.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const DialogRect&) const = default;
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* caption;
  DialogRect rect;
  uint32_t style = 0;
  int resource = 0;   // bitmap or icon number
  int max_chars = 0;  // edit text limit; 0 for none
};

struct DialogFont {
  const char* family;  // the family the layout was designed with
  int point_size;
  bool bold;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int width;  // client area, dialog units
  int height;
  DialogFont font;
  std::span<const ControlTemplate> controls;
};

// The control with this id, or nullptr.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

}  // namespace quillet
