#pragma once
// The COM port search of the main window: the scan runs on a worker and its list lands in the COM
// port list (1108), selected as GUI_ComPortISP.LOG says; the operator's own pick in that list stays.
namespace quillet {

class MainDialog;

// Sets MainWindowHooks::start_com_port_search and connects the list.
void InstallComPortSearch(MainDialog& window);

}  // namespace quillet
