#pragma once
// A main dialog over a private loopback driver, with helpers to reach its
// controls by id and to check which of the three control states it is in.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_templates.h"
#include "app/tq2_updator_dlg.h"
#include "engine/engine_timings.h"
#include "engine/virtual_unit/loopback_unit.h"
#include "midi/loopback/driver.h"

namespace vessa::app::testing {

inline constexpr const char* kUnitPortName = "ORVANE Vessa Series";

// Waits that matter end fast; pauses are short.
inline engine::EngineTimings FastTimings() {
  using std::chrono::milliseconds;
  engine::EngineTimings timings;
  timings.identityWait = milliseconds(2000);
  timings.enterUpdateWait = milliseconds(2000);
  timings.finishWait = milliseconds(2000);
  timings.bootReadWait = milliseconds(2000);
  timings.eraseWait = milliseconds(2000);
  timings.retryPause = milliseconds(5);
  timings.enterUpdatePause = milliseconds(5);
  return timings;
}

// A run that stays waiting for the unit's identity until the window closes.
inline engine::EngineTimings WaitingTimings() {
  engine::EngineTimings timings = FastTimings();
  timings.identityWait = std::chrono::milliseconds(600000);
  return timings;
}

enum class ControlState { kReady, kRunning, kCompleted, kOther };

class DialogFixture : public ::testing::Test {
 protected:
  void Open(int instanceNumber, engine::EngineTimings timings = FastTimings()) {
    dialog_ = std::make_unique<CTq2UpdatorDlg>(instanceNumber, *driver_, timings);
    dialog_->show();
  }

  template <typename T>
  T& Control(const char* id) {
    T* control = dialog_->findChild<T*>(id);
    EXPECT_NE(control, nullptr) << "no control " << id;
    return *control;
  }
  QComboBox& MidiIn() { return Control<QComboBox>(control_name::kMidiInList); }
  QComboBox& MidiOut() { return Control<QComboBox>(control_name::kMidiOutList); }
  QPushButton& Execute() { return Control<QPushButton>(control_name::kOk); }
  QPushButton& Exit() { return Control<QPushButton>(control_name::kCancel); }
  QPushButton& Rescan() { return Control<QPushButton>(control_name::kRescanDevice); }
  QLineEdit& StatusText() { return Control<QLineEdit>(control_name::kStatusText); }
  QLineEdit& StepText() { return Control<QLineEdit>(control_name::kStepText); }
  QProgressBar& Progress() { return Control<QProgressBar>(control_name::kProgress); }

  ControlState State() {
    const bool lists = MidiIn().isEnabled() && MidiOut().isEnabled();
    const bool noLists = !MidiIn().isEnabled() && !MidiOut().isEnabled();
    const bool running = dialog_->Context().UpdateInProgress();
    if (!Exit().isEnabled()) return ControlState::kOther;
    if (lists && Execute().isEnabled() && Rescan().isEnabled() && !running) {
      return ControlState::kReady;
    }
    if (noLists && !Execute().isEnabled() && !Rescan().isEnabled() && running) {
      return ControlState::kRunning;
    }
    if (lists && !Execute().isEnabled() && Rescan().isEnabled() && !running) {
      return ControlState::kCompleted;
    }
    return ControlState::kOther;
  }

  std::unique_ptr<midi::loopback::LoopbackDriver> driver_ = midi::loopback::CreateLoopbackDriver();
  // Devices that never answer, and virtual units; both outlive the dialog.
  std::vector<std::shared_ptr<midi::loopback::LoopbackDevice>> silentDevices_;
  std::vector<std::unique_ptr<engine::unit::LoopbackUnit>> units_;
  std::unique_ptr<CTq2UpdatorDlg> dialog_;
};

}  // namespace vessa::app::testing
