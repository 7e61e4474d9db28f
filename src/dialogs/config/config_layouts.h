#pragma once
// The CONFIG editors' dialogs (148, 149, 150, 164, 165, 176, 177, 179) and the two pages of the
// bit editor (135, 136) as template tables, with the control ids of the editor tables. Radio
// buttons carry no caption here: the editor table that gives each button its field and value also
// gives its caption.
#include "core/config/config_bit_rules.h"
#include "core/config/config_codec.h"
#include "core/config/config_editor_table.h"
#include "dialogs/kit/dialog_template.h"

namespace quillet {

const DialogTemplate& ConfigEditorTemplate(ConfigDialog editor);
// Page 0 edits CONFIG0 (resource 135), page 1 CONFIG1 (resource 136).
const DialogTemplate& ConfigBitPageTemplate(int page);
// Where a page lies on the bit editor, in the editor's dialog units.
DialogRect ConfigBitPageRect();

}  // namespace quillet
