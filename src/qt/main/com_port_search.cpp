#include "qt/main/com_port_search.h"

#include <QComboBox>

#include "core/comisp/com_port_memory.h"
#include "core/comisp/com_port_scan.h"
#include "dialogs/main/main_layout.h"
#include "qt/main/main_dialog.h"

namespace quillet {
namespace {

// On the worker: the scan, then its list into the window while the worker waits, so that the list
// is in place before OperationRunning clears.
void SearchComPorts(MainDialog& window, const std::string& file_path) {
  Workbench& bench = window.bench();
  const ComPortScanResult found =
      ComPortScan(bench.port(), bench.job(), bench.reporter(), bench.display(), file_path);
  QMetaObject::invokeMethod(
      &window,
      [&window, &found] {
        if (found.file_read) window.controls().SetPortNameFromComIsp(true);
        window.controls().SetComPorts(found.ports, found.selected);
        window.ApplyControls();
      },
      Qt::BlockingQueuedConnection);
}

}  // namespace

void InstallComPortSearch(MainDialog& window) {
  window.hooks().start_com_port_search = [&window] {
    const std::string file_path = ComPortFilePath(window.settings_path());
    window.runner().Start([&window, file_path] { SearchComPorts(window, file_path); });
  };
  QObject::connect(window.ControlAs<QComboBox>(kIdComPortList), &QComboBox::activated, &window,
                   [&window](int index) {
                     window.controls().OnComPortChange(index);
                     window.ApplyControls();
                   });
}

}  // namespace quillet
