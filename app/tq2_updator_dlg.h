#pragma once
// The main dialog: the operator picks the unit's ports, starts an update and
// watches it. It is the update engine's user interface and owns the engine's
// update context (ports, reply timer, reply slot, worker).

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

#include "app/ui_call_bridge.h"
#include "engine/engine_timings.h"
#include "engine/update_context.h"
#include "engine/user_interface.h"
#include "midi/driver.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QProgressBar;
class QPushButton;

namespace vessa::app {

// The About command; any command id whose low four bits differ is the same.
inline constexpr unsigned kIdmAboutBox = 0x10;

class CTq2UpdatorDlg : public QDialog, public engine::UserInterface {
 public:
  CTq2UpdatorDlg(int instanceNumber, midi::MidiDriver& driver, engine::EngineTimings timings = {},
                 QWidget* parent = nullptr);
  // Closes like the close box if still open, then releases the engine's
  // context (timer, worker, ports) before any control goes.
  ~CTq2UpdatorDlg() override;

  // The Execute command (button or Enter), and the Rescan Device button.
  void StartUpdate();
  void RescanDevices();
  void FillPortLists();
  void OnSysCommand(unsigned commandId);

  engine::UpdateContext& Context() { return *context_; }

  // engine::UserInterface. The worker's calls are carried to the UI thread.
  std::int32_t MidiInSelection() override;
  std::int32_t MidiOutSelection() override;
  void EnableControl(engine::Control control, bool enable) override;
  void SetStatusText(const std::string& text) override;
  void SetStepText(const std::string& text) override;
  void ShowError(int stringId) override;
  void SetProgressRange(std::int32_t lower, std::int32_t upper) override;
  void SetProgressPos(std::int32_t position) override;
  void RestoreControls() override;
  void EnableExecute(bool enable) override;

 protected:
  // Exit, Escape and the close box all end here.
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();
  void CreateSystemMenu();
  void OnInitDialog();
  void OnDestroy();
  void ShowErrorBox(int stringId);
  QWidget* ControlWidget(engine::Control control);

  const int instanceNumber_;
  UiCallBridge bridge_;
  std::unique_ptr<engine::UpdateContext> context_;
  QIcon icon_;

  QComboBox* midiInList_ = nullptr;
  QComboBox* midiOutList_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* executeButton_ = nullptr;
  QLineEdit* statusField_ = nullptr;
  QPushButton* rescanButton_ = nullptr;
  QLabel* picture_ = nullptr;
  QLineEdit* stepField_ = nullptr;
  QPushButton* exitButton_ = nullptr;

  QMenu* systemMenu_ = nullptr;
  QPointer<QMessageBox> errorBox_;
};

}  // namespace vessa::app
