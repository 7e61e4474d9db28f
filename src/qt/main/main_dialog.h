#pragma once
// The main window, dialog 102: built from its template, it shows what MainControls computes and
// passes every click to it. Start-up, the ways out, the system menu, the auto-close timer and the
// Ctrl+T hot key are in main_dialog_startup.cpp; the buffer view, Load File and the project buttons
// in main_dialog_images.cpp.
#include <QTimer>
#include <memory>
#include <string>

#include "core/catalogue/part_catalogue.h"
#include "core/images/image_buffer.h"
#include "core/images/image_window.h"
#include "core/job/job_settings.h"
#include "core/operations/operation_runner.h"
#include "core/operations/workbench.h"
#include "core/sys/clock.h"
#include "core/sys/instance_lock.h"
#include "dialogs/main/main_controls.h"
#include "dialogs/main/main_window_hooks.h"
#include "qt/kit/template_dialog.h"
#include "qt/main/gui_operation_display.h"
#include "qt/main/gui_reporter.h"

class QMenu;
class QShortcut;

namespace quillet {

class HexViewWidget;

struct MainDialogOptions {
  std::string app_folder;  // the current folder at start-up, ending in '/'; GUI.LOG lives there
  std::string lock_path;   // the lock that marks a copy running over this GUI.LOG (SettingsLockPath)
  Clock* clock = nullptr;
  // Demo mode: the title and the status line say so (the demo's devices and folder are set up by
  // the caller).
  bool demo = false;
};

class MainDialog : public TemplateDialog, public ImageWindow {
  Q_OBJECT

 public:
  explicit MainDialog(MainDialogOptions options, QWidget* parent = nullptr);
  ~MainDialog() override;

  // Runs StartUp, then the window modally; returns when the window has closed and the last
  // operation has ended. A second copy warns and returns without showing the window.
  int Run();
  // The start-up sequence; false when another copy runs (the window must then close without
  // writing GUI.LOG).
  bool StartUp();

  // For the subsystems that plug into the window.
  Workbench& bench() { return bench_; }
  JobSettings& job() { return job_; }
  PartCatalogue& catalogue() { return catalogue_; }
  ImageBuffers& images() { return images_; }
  Reporter& reporter() { return *reporter_; }
  MainControls& controls() { return controls_; }
  OperationRunner& runner() { return runner_; }
  MainWindowHooks& hooks() { return hooks_; }
  HexViewWidget* hex_view() const;
  const std::string& settings_path() const { return settings_path_; }
  // Shows the controls as MainControls has them.
  void ApplyControls();

  // The system menu's commands: 0x10 About, 0x20 Advanced Functions.
  static constexpr int kCommandAbout = 0x10;
  static constexpr int kCommandAdvanced = 0x20;
  void OnSysCommand(int command);
  QMenu* system_menu() const { return system_menu_; }

  // Cancel: Esc, the close box and the hidden CANCEL button.
  void reject() override;

  // ImageWindow: the buffer view, the file dialogs and the refreshes that loading asks for.
  int CurrentTab() const override;
  bool DataFlashTabShown() const override;
  void ShowHexView(std::span<const uint8_t> bytes, const ImageTexts& texts) override;
  void ClearHexView() override;
  std::optional<std::string> OpenFileDialog(const std::vector<FileFilter>& filters) override;
  std::optional<std::string> SaveFileDialog(const std::vector<FileFilter>& filters,
                                            const std::string& default_ext) override;
  void CheckItemBox(ImageArea area) override;
  void RefreshControls() override;
  void RefreshAfterProjectLoad(bool start_com_port_search) override;

 private:
  void CreateSystemMenu();
  void ConnectControls();
  void ApplyList(int id, const ListContent& list);
  void OnExit();
  // GUI.LOG written, the lock released, the window closed. An operation that closes the window
  // (its cancel path) calls it from its worker's wait: it does not wait for the operation.
  void Close();
  void OnTimer();
  void OnHotKey();
  void OnConfigSetting();
  void OnButton(int id);
  void InstallImageCommands();
  // Download Programmer, Update Chip and the hidden UpdateISP.bin download, on the worker; the
  // recorder that keeps each chip's S/N and counter in GUI.LOG.
  void InstallChipCommands();
  void PrepareComIspRun();
  // Verify Chip, Read Chip, Programmer Information and the TRIM read, each on the worker; the gang
  // socket they address; the Read Chip window that a completed read opens.
  void InstallReadCommands();
  void AskForSocket();
  void OpenReadChipViewer();
  void StartProductionRecords();
  // The fields and the cancel path, as operations drive them.
  GuiOperationDisplay::Actions DisplayActions();
  void WriteSettingsFile();
  // After the window has closed: the last operation ends without showing anything.
  void FinishOperations();
  void ReleaseHotKey();
  // Applies the controls after a handler of MainControls.
  template <typename Handler>
  void Handle(Handler handler) {
    handler();
    ApplyControls();
  }

  MainDialogOptions options_;
  std::string settings_path_;
  OperationRunner runner_;
  std::unique_ptr<GuiReporter> reporter_;
  GuiOperationDisplay display_;
  Workbench bench_;
  JobSettings& job_ = bench_.job();
  PartCatalogue& catalogue_ = bench_.catalogue();
  ImageBuffers& images_ = bench_.images();
  MainWindowHooks hooks_;
  MainControls controls_;
  std::unique_ptr<ProductionRecorder> recorder_;
  std::unique_ptr<InstanceLock> lock_;
  QShortcut* hot_key_ = nullptr;
  QMenu* system_menu_ = nullptr;
  QTimer auto_close_timer_;
  bool second_copy_ = false;
};

}  // namespace quillet
