#pragma once
// A dialog built from its template: every control created at its position in dialog units,
// converted with the base units of the template's font, and findable by its numeric id (object
// name "ctl_<id>"). The window logic computes ControlStates; ApplyStates shows them.
#include <QDialog>
#include <map>

#include "dialogs/kit/control_states.h"
#include "dialogs/kit/dialog_template.h"
#include "dialogs/kit/dialog_units.h"

namespace quillet {

class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TemplateDialog(const DialogTemplate& dialog, QWidget* parent = nullptr);

  // The control with this id, or nullptr.
  QWidget* Control(int id) const;
  // The picture control showing a bitmap resource; nullptr when the template has none.
  QWidget* Bitmap(int resource) const;
  template <typename T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }
  DialogBaseUnits base_units() const { return base_; }
  const DialogTemplate& dialog_template() const { return dialog_; }

  // Enabled, checked and visible states always, and the texts of edits the operator types into;
  // other texts only when the logic changed them since the last call, so texts that other parts of
  // the program put into a control (a file name, a status line) stay.
  void ApplyStates(const ControlStates& states);

  // The font a template names. Arial is drawn with its metric twin Liberation Sans where Arial is
  // missing; the size is converted at 96 pixels per inch, as dialog templates were designed.
  static QFont TemplateFont(const DialogFont& font);

 private:
  QWidget* CreateControl(const ControlTemplate& control);

  const DialogTemplate& dialog_;
  DialogBaseUnits base_;
  std::map<int, QWidget*> controls_;
  std::map<int, QWidget*> bitmaps_;  // by resource id
  ControlStates applied_;
};

// The object name of a control: "ctl_<id>".
QString ControlObjectName(int id);

}  // namespace quillet
