#include "app/tq2_updator_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <vector>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/dialog_controls.h"
#include "app/dialog_templates.h"
#include "engine/port_preselection.h"
#include "platform/instance_lock.h"
#include "resources/string_table.h"

namespace vessa::app {
namespace {

constexpr unsigned kSystemCommandMask = 0xFFF0;
constexpr int kInitialProgressUpper = 100;

QString LoadQString(int id) {
  const std::string_view text = resources::LoadString(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* CreatePortList(QWidget& parent, const char* name, const DialogRect& rect,
                          const DialogUnits& units) {
  auto* list = new QComboBox(&parent);
  list->setObjectName(name);
  list->setEditable(false);
  // The template's height includes the opened list; the closed box keeps the
  // style's own height and the rest becomes visible list rows.
  const QRect area = units.ToPixels(rect);
  const int closedHeight = list->sizeHint().height();
  const int rowHeight = list->fontMetrics().height();
  list->setMaxVisibleItems(std::max(1, (area.height() - closedHeight) / rowHeight));
  list->setGeometry(area.x(), area.y(), area.width(), closedHeight);
  return list;
}

// The port names as the driver reports them, kept as bytes so the
// preselection compares exactly what the driver gave.
template <typename Port>
std::vector<std::string> ListDeviceNames(const Port& port) {
  std::vector<std::string> names;
  for (std::uint32_t device = 0; device < port.GetDeviceCount(); ++device) {
    names.push_back(port.GetDeviceName(device));
  }
  return names;
}

void FillList(QComboBox& list, const std::vector<std::string>& names, int instanceNumber) {
  list.clear();
  for (const std::string& name : names) list.addItem(QString::fromStdString(name));
  // Adding to an empty box selects its first item; only a match may stay.
  list.setCurrentIndex(engine::PreselectPort(names, instanceNumber));
}

}  // namespace

CTq2UpdatorDlg::CTq2UpdatorDlg(int instanceNumber, midi::MidiDriver& driver,
                               engine::EngineTimings timings, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      instanceNumber_(instanceNumber),
      context_(std::make_unique<engine::UpdateContext>(*this, driver, timings)),
      icon_(ApplicationIcon()) {
  CreateControls();
  OnInitDialog();
}

CTq2UpdatorDlg::~CTq2UpdatorDlg() {
  OnDestroy();
  context_.reset();
}

void CTq2UpdatorDlg::CreateControls() {
  setFont(DialogFont());
  const DialogUnits units = DialogUnits::ForFont(font());
  setFixedSize(units.ToPixels(main_template::kWidth, main_template::kHeight));

  // Created in template order, which is also the tab order.
  executeButton_ =
      CreateButton(*this, control_name::kOk, "Execute", main_template::kExecute, units);
  executeButton_->setDefault(true);
  exitButton_ = CreateButton(*this, control_name::kCancel, "Exit", main_template::kExit, units);
  CreateLabel(*this, control_name::kMidiInLabel, "MIDI IN", main_template::kMidiInLabel, units);
  CreateLabel(*this, control_name::kMidiOutLabel, "MIDI OUT", main_template::kMidiOutLabel, units);
  midiInList_ = CreatePortList(*this, control_name::kMidiInList, main_template::kMidiInList, units);
  midiOutList_ =
      CreatePortList(*this, control_name::kMidiOutList, main_template::kMidiOutList, units);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(control_name::kProgress);
  progress_->setTextVisible(false);
  progress_->setGeometry(units.ToPixels(main_template::kProgress));
  statusField_ =
      CreateReadOnlyField(*this, control_name::kStatusText, main_template::kStatusText, units);
  rescanButton_ = CreateButton(*this, control_name::kRescanDevice, "Rescan Device",
                               main_template::kRescanDevice, units);
  picture_ = CreateLabel(*this, control_name::kPicture, "", main_template::kPicture, units);
  stepField_ = CreateReadOnlyField(*this, control_name::kStepText, main_template::kStepText, units);

  connect(executeButton_, &QPushButton::clicked, this, [this] { StartUpdate(); });
  connect(exitButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(rescanButton_, &QPushButton::clicked, this, [this] { RescanDevices(); });
}

// Linux windows have no system menu to extend, so the About item lives in
// the dialog's context menu and on F1.
void CTq2UpdatorDlg::CreateSystemMenu() {
  const QString aboutText = LoadQString(resources::kIdsAboutItem);
  if (aboutText.isEmpty()) return;
  auto* about = new QAction(aboutText, this);
  about->setObjectName(control_name::kAboutAction);
  about->setShortcut(QKeySequence(Qt::Key_F1));
  about->setShortcutContext(Qt::WindowShortcut);
  connect(about, &QAction::triggered, this, [this] { OnSysCommand(kIdmAboutBox); });
  addAction(about);
  systemMenu_ = new QMenu(this);
  systemMenu_->addAction(about);
}

void CTq2UpdatorDlg::OnInitDialog() {
  CreateSystemMenu();
  setWindowIcon(icon_);
  FillPortLists();
  context_->StartReplyTimer();
  progress_->setRange(0, kInitialProgressUpper);
  progress_->setValue(0);
  setWindowTitle(QString::fromStdString(platform::InstanceName(instanceNumber_)));
  executeButton_->setFocus();
}

void CTq2UpdatorDlg::FillPortLists() {
  FillList(*midiOutList_, ListDeviceNames(context_->OutPort()), instanceNumber_);
  FillList(*midiInList_, ListDeviceNames(context_->InPort()), instanceNumber_);
}

void CTq2UpdatorDlg::RescanDevices() {
  FillPortLists();
  EnableExecute(true);
}

void CTq2UpdatorDlg::StartUpdate() {
  context_->StartUpdate();
}

void CTq2UpdatorDlg::OnSysCommand(unsigned commandId) {
  if ((commandId & kSystemCommandMask) != kIdmAboutBox) return;
  CAboutDlg about(this);
  about.exec();
}

void CTq2UpdatorDlg::done(int result) {
  OnDestroy();
  QDialog::done(result);
}

// The window is going: nothing of the worker may reach it any more. The
// bridge lets a worker blocked in a window call go, an open error box is
// closed, the context wakes a worker waiting for the unit with 255, and the
// worker is joined before anything it uses is released.
void CTq2UpdatorDlg::OnDestroy() {
  if (bridge_.Closing()) return;
  bridge_.BeginClosing();
  if (errorBox_) errorBox_->reject();
  context_->OnDestroy();
  context_->JoinWorker();
}

void CTq2UpdatorDlg::keyPressEvent(QKeyEvent* event) {
  // Enter is the Execute command even while the button is disabled, so that
  // a second Execute during a run is answered rather than ignored. A focused
  // push button takes Enter itself before it gets here.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    StartUpdate();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CTq2UpdatorDlg::contextMenuEvent(QContextMenuEvent* event) {
  if (systemMenu_) systemMenu_->exec(event->globalPos());
}

std::int32_t CTq2UpdatorDlg::MidiInSelection() {
  return midiInList_->currentIndex();
}

std::int32_t CTq2UpdatorDlg::MidiOutSelection() {
  return midiOutList_->currentIndex();
}

QWidget* CTq2UpdatorDlg::ControlWidget(engine::Control control) {
  switch (control) {
    case engine::Control::kExecute:
      return executeButton_;
    case engine::Control::kMidiInList:
      return midiInList_;
    case engine::Control::kMidiOutList:
      return midiOutList_;
    case engine::Control::kRescanDevice:
      return rescanButton_;
  }
  return nullptr;
}

void CTq2UpdatorDlg::EnableControl(engine::Control control, bool enable) {
  bridge_.Run([this, control, enable] {
    if (QWidget* widget = ControlWidget(control)) widget->setEnabled(enable);
  });
}

void CTq2UpdatorDlg::SetStatusText(const std::string& text) {
  bridge_.Run([this, text = QString::fromStdString(text)] { statusField_->setText(text); });
}

void CTq2UpdatorDlg::SetStepText(const std::string& text) {
  bridge_.Run([this, text = QString::fromStdString(text)] { stepField_->setText(text); });
}

void CTq2UpdatorDlg::ShowError(int stringId) {
  bridge_.Run([this, stringId] { ShowErrorBox(stringId); });
}

void CTq2UpdatorDlg::ShowErrorBox(int stringId) {
  QMessageBox box(QMessageBox::Critical, LoadQString(resources::kIdsErrorCaption),
                  LoadQString(stringId), QMessageBox::Ok, this);
  box.setObjectName(control_name::kErrorBox);
  errorBox_ = &box;
  box.exec();
}

void CTq2UpdatorDlg::SetProgressRange(std::int32_t lower, std::int32_t upper) {
  bridge_.Run([this, lower, upper] { progress_->setRange(lower, upper); });
}

void CTq2UpdatorDlg::SetProgressPos(std::int32_t position) {
  bridge_.Run([this, position] { progress_->setValue(position); });
}

void CTq2UpdatorDlg::RestoreControls() {
  bridge_.Run([this] {
    for (const engine::Control control :
         {engine::Control::kMidiInList, engine::Control::kMidiOutList, engine::Control::kExecute,
          engine::Control::kRescanDevice}) {
      ControlWidget(control)->setEnabled(true);
    }
  });
}

void CTq2UpdatorDlg::EnableExecute(bool enable) {
  EnableControl(engine::Control::kExecute, enable);
}

}  // namespace vessa::app
