// The main window's operations that read from a chip or a Programmer: Verify Chip, Read Chip,
// Programmer Information and the TRIM read of the Ctrl+T hot key, each on the worker, and the Read
// Chip window a completed read opens. With a Gang Programmer the operator first picks the socket
// that Verify Chip and Read Chip address; the routing to it is the operation's.
#include "core/operations/chip_reading.h"
#include "core/operations/programmer_information.h"
#include "dialogs/main/main_layout.h"
#include "qt/main/main_dialog.h"
#include "qt/main/select_socket_dialog.h"
#include "qt/viewer/read_chip_dlg.h"

namespace quillet {

void MainDialog::InstallReadCommands() {
  hooks_.buttons[kIdVerifyChip] = [this] {
    if (runner_.running()) return;
    AskForSocket();
    runner_.Start([this] { VerifyChip(bench_); });
  };
  hooks_.buttons[kIdReadChip] = [this] {
    if (runner_.running()) return;
    AskForSocket();
    runner_.Start([this] { ReadChip(bench_); });
  };
  hooks_.buttons[kIdProgrammerInfo] = [this] { runner_.Start([this] { ProgrammerInformation(bench_); }); };
  hooks_.trim_read = [this] { TrimRead(bench_); };
}

// With a Gang Programmer: the socket the next read addresses. The operation goes on however the
// window was closed.
void MainDialog::AskForSocket() {
  if (job_.GangMode) SelectSocketDialog(bench_.SocketChoice(), this).exec();
}

void MainDialog::OpenReadChipViewer() {
  const ReadResults& read = bench_.read();
  ReadChipDlg viewer(
      read, catalogue_.Row(job_.PartCode).LdromLastAddress,
      [this, &read] { display_.ShowConfigView(read.ReadPartCode, read.ShownConfigBytes); }, this);
  viewer.exec();
}

}  // namespace quillet
