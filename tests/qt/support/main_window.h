#pragma once
// A main window over a fresh folder holding a GUI.LOG of a chosen type and part, and the check that
// every widget shows what the window logic computed for it.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <memory>

#include "dialogs/main/main_layout.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/main/main_dialog.h"

namespace quillet::test_support {

class MainWindowFolder {
 public:
  std::string path() const { return dir_.path().toStdString() + "/"; }
  // The window's clock, for a simulated device that shares its virtual time.
  VirtualClock& clock() { return clock_; }
  void WriteSettings(const std::vector<uint8_t>& bytes) const {
    std::ofstream(path() + "GUI.LOG", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  // A GUI.LOG of this type and part, everything else zero, no port name.
  void WriteSettings(uint8_t mode, uint16_t part) const {
    std::vector<uint8_t> bytes(256, 0);
    bytes[0] = mode;
    bytes[1] = part & 0xFF;
    bytes[2] = part >> 8;
    WriteSettings(bytes);
  }
  std::vector<uint8_t> ReadSettings() const {
    std::ifstream in(path() + "GUI.LOG", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::unique_ptr<MainDialog> Make() {
    return std::make_unique<MainDialog>(MainDialogOptions{path(), path() + "instance.lock", &clock_});
  }
  // Made, started and shown; `images` says which buffers hold a file. A window that starts in ISP by
  // COM Port is busy with its port search first; this returns when the search has ended.
  std::unique_ptr<MainDialog> Start(ImagePresence images = {}) {
    auto d = Make();
    d->hooks().images = [images] { return images; };
    d->StartUp();
    d->show();
    while (d->runner().running()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    d->runner().Join();
    return d;
  }

 private:
  QTemporaryDir dir_;
  VirtualClock clock_;
};

// The first control whose widget does not show its state (enabled, shown, checked, text; the lists'
// entries and selection; the tabs), or "" when every one does.
inline QString StateMismatch(MainDialog& d) {
  for (const auto& [id, state] : d.controls().states().all()) {
    QWidget* w = d.Control(id);
    const QString name = QString::number(id);
    if (w->isEnabled() != state.enabled || w->isHidden() == state.visible) return name + " enabled/shown";
    if (w->toolTip() != QString::fromStdString(state.tip)) return name + " tooltip " + w->toolTip();
    // The status line is the reporter's; the fields under the buffer are the buffer view's.
    if (id == kIdStatus || id == kIdFileName || id == kIdCodeSize || id == kIdChecksum) continue;
    const QString text = QString::fromStdString(state.text);
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (button && button->isCheckable() && button->isChecked() != state.checked) return name + " checked";
    if (button && button->text() != text) return name + " text " + button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && edit->text() != text)
      return name + " text " + edit->text();
    if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap().isNull() && label->text() != text)
      return name + " text " + label->text();
    if (auto* group = qobject_cast<QGroupBox*>(w); group && group->title() != text) return name + " title";
  }
  const std::pair<int, const ListContent*> lists[] = {{kIdCategoryList, &d.controls().category_list()},
                                                      {kIdPartList, &d.controls().part_list()},
                                                      {kIdComPortList, &d.controls().com_port_list()}};
  for (const auto& [id, list] : lists) {
    auto* combo = d.ControlAs<QComboBox>(id);
    if (combo->count() != int(list->entries.size())) return QString::number(id) + " entries";
    for (int i = 0; i < combo->count(); ++i) {
      if (combo->itemText(i).toStdString() != list->entries[i]) return QString::number(id) + " entry";
    }
    const int selected = list->selected.value_or(-1);
    if (combo->currentIndex() != (selected < combo->count() ? selected : -1))
      return QString::number(id) + " index";
  }
  auto* tabs = d.ControlAs<TabControlWidget>(kIdBufferTabs);
  if (tabs->Count() != int(d.controls().tabs().size()) || tabs->CurrentIndex() != d.controls().tab_index())
    return "tabs";
  for (int i = 0; i < tabs->Count(); ++i) {
    if (tabs->TabText(i).toStdString() != d.controls().tabs()[i]) return "tab text";
  }
  return "";
}

}  // namespace quillet::test_support
