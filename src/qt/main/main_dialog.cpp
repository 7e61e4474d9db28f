#include "qt/main/main_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/job/settings_dump.h"
#include "dialogs/main/main_layout.h"
#include "qt/config/config_editors.h"
#include "qt/kit/artwork.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/main/com_port_search.h"

namespace quillet {
namespace {

// Buttons whose handlers other subsystems install through MainWindowHooks::buttons.
constexpr int kHookedButtons[] = {
    kIdLoadFile,   kIdLoadProject, kIdSaveProject, kIdDownloadProgrammer, kIdProgrammerInfo,
    kIdUpdateChip, kIdVerifyChip,  kIdReadChip,    kIdFwUpdate,           kIdDownloadUpdateIsp};

}  // namespace

MainDialog::MainDialog(MainDialogOptions options, QWidget* parent)
    : TemplateDialog(MainDialogTemplate(), parent),
      options_(std::move(options)),
      reporter_(std::make_unique<GuiReporter>(
          *options_.clock, this, ControlAs<QLabel>(kIdStatus), ControlAs<QProgressBar>(kIdProgress),
          [this](bool on) { on ? auto_close_timer_.start() : auto_close_timer_.stop(); })),
      display_(DisplayActions()),
      bench_(*options_.clock, *reporter_, display_, options_.app_folder),
      controls_(job_, catalogue_, runner_.running(), *reporter_,
                MainControlHooks{[this] { return hooks_.images ? hooks_.images() : ImagePresence{}; },
                                 [this] {
                                   if (hooks_.reload_images) hooks_.reload_images();
                                 },
                                 [this] {
                                   if (hooks_.start_com_port_search) hooks_.start_com_port_search();
                                 }}) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  reporter_->SetProductionModeQuery([this] { return static_cast<bool>(job_.ProductionMode); });
  auto_close_timer_.setInterval(500);
  connect(&auto_close_timer_, &QTimer::timeout, this, &MainDialog::OnTimer);
  if (options_.demo) {
    setWindowTitle(windowTitle() + " - DEMO");
    reporter_->SetStatusPrefix("DEMO: ");
  }
  CreateSystemMenu();
  if (QWidget* banner = Bitmap(kBitmapBanner))
    banner->setToolTip("Right-click here for Advanced Functions and About");
  ConnectControls();
  InstallImageCommands();
  InstallComPortSearch(*this);
  InstallChipCommands();
  InstallReadCommands();
  hooks_.open_config_editor = [this](ConfigDialog) { RunConfigEditor(job_, catalogue_, this); };
  hooks_.buttons[kIdFwUpdate] = [this] { runner_.Start([this] { bench_.link().OnFwUpdate(); }); };
}

GuiOperationDisplay::Actions MainDialog::DisplayActions() {
  return {[this](const std::string& text) { Handle([&] { controls_.ShowPortField(text); }); },
          [this](const std::string& word) { Handle([&] { controls_.ShowProgrammerType(word); }); },
          [this] { Handle([&] { controls_.ShowSnValue(); }); },
          [this] { Handle([&] { controls_.ShowChipCounter(); }); },
          [this] { Close(); },
          [this](uint32_t part_code, const ConfigByteArray& bytes) {
            RunConfigView(part_code, bytes, catalogue_, this);
          },
          [this] { OpenReadChipViewer(); }};
}

MainDialog::~MainDialog() {
  FinishOperations();
}

HexViewWidget* MainDialog::hex_view() const {
  return ControlAs<HexViewWidget>(kIdHexView);
}

void MainDialog::ConnectControls() {
  const auto radio = [this](int id, void (MainControls::*handler)()) {
    connect(ControlAs<QRadioButton>(id), &QRadioButton::clicked, this,
            [this, handler] { Handle([&] { (controls_.*handler)(); }); });
  };
  radio(kIdIspRadio, &MainControls::OnIspRadio);
  radio(kIdIcpRadio, &MainControls::OnIcpRadio);
  radio(kIdComIspRadio, &MainControls::OnComIspRadio);

  const auto check = [this](int id, const std::function<void(bool)>& handler) {
    connect(ControlAs<QCheckBox>(id), &QCheckBox::clicked, this,
            [this, handler](bool checked) { Handle([&] { handler(checked); }); });
  };
  check(kIdGangCheck, [this](bool on) { controls_.OnGangCheck(on); });
  check(kIdPmCheck, [this](bool on) { controls_.OnPmCheck(on); });
  check(kIdConfigCheck, [this](bool on) { controls_.OnConfigCheck(on); });
  for (int id : {kIdApromCheck, kIdDataFlashCheck, kIdLdromCheck}) {
    check(id, [this, id](bool on) { controls_.OnItemCheck(id, on); });
  }

  connect(ControlAs<TabControlWidget>(kIdBufferTabs), &TabControlWidget::TabChanged, this,
          [this](int index) { Handle([&] { controls_.OnTabChange(index); }); });
  connect(ControlAs<QComboBox>(kIdCategoryList), &QComboBox::currentIndexChanged, this,
          [this](int index) { Handle([&] { controls_.OnCategoryChange(index); }); });
  connect(ControlAs<QComboBox>(kIdPartList), &QComboBox::currentIndexChanged, this,
          [this](int index) { Handle([&] { controls_.OnPartChange(index); }); });

  connect(ControlAs<QPushButton>(kIdConfigSetting), &QPushButton::clicked, this,
          &MainDialog::OnConfigSetting);
  connect(ControlAs<QPushButton>(kIdExit), &QPushButton::clicked, this, &MainDialog::OnExit);
  connect(ControlAs<QPushButton>(kIdCancel), &QPushButton::clicked, this, &MainDialog::reject);
  connect(ControlAs<QPushButton>(kIdTestDump), &QPushButton::clicked, this, [this] {
    const PartRow& part = catalogue_.Row(job_.PartCode);
    ShowSettingsDump(job_, catalogue_.PartName(job_.PartCode), part.IsCortexM0, *reporter_);
  });
  for (int id : kHookedButtons) {
    connect(ControlAs<QPushButton>(id), &QPushButton::clicked, this, [this, id] { OnButton(id); });
  }
}

void MainDialog::OnButton(int id) {
  const auto it = hooks_.buttons.find(id);
  if (it != hooks_.buttons.end() && it->second) it->second();
}

void MainDialog::OnConfigSetting() {
  if (runner_.running() || !hooks_.open_config_editor) return;
  hooks_.open_config_editor(ChooseConfigDialog(catalogue_.Row(job_.PartCode)));
}

void MainDialog::ApplyList(int id, const ListContent& list) {
  auto* combo = ControlAs<QComboBox>(id);
  const QSignalBlocker blocker(combo);
  bool same = combo->count() == static_cast<int>(list.entries.size());
  for (int i = 0; same && i < combo->count(); ++i) same = combo->itemText(i).toStdString() == list.entries[i];
  if (!same) {
    combo->clear();
    for (const std::string& entry : list.entries) combo->addItem(QString::fromStdString(entry));
  }
  combo->setCurrentIndex(list.selected.value_or(-1));
}

void MainDialog::ApplyControls() {
  ApplyStates(controls_.states());
  ApplyList(kIdCategoryList, controls_.category_list());
  ApplyList(kIdPartList, controls_.part_list());
  ApplyList(kIdComPortList, controls_.com_port_list());
  ControlAs<TabControlWidget>(kIdBufferTabs)->SetTabs(controls_.tabs(), controls_.tab_index());
}

}  // namespace quillet
