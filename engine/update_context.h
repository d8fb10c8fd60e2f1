#pragma once
// The update context: owns the ports, the reply timer, the reply slot, the
// sender and the dispatcher, and runs one update at a time on a worker
// thread. The dialog (or a console, or a test) supplies the user interface.

#include <atomic>
#include <cstdint>
#include <span>
#include <thread>

#include "engine/engine_timings.h"
#include "engine/port_adapters.h"
#include "engine/user_interface.h"
#include "engine/worker_ui.h"
#include "midi/driver.h"
#include "midi/dxm_timer.h"
#include "midi/midi_in_port.h"
#include "midi/midi_out_port.h"
#include "protocol/reply_dispatcher.h"
#include "protocol/reply_slot.h"
#include "protocol/sysex_sender.h"

namespace vessa::engine {

inline constexpr std::int32_t kEngineOk = 0;
inline constexpr std::int32_t kEngineFailed = -1;
inline constexpr std::uint32_t kReplyTimerPeriodMs = 1;

class UpdateContext {
 public:
  UpdateContext(UserInterface& ui, midi::MidiDriver& driver, EngineTimings timings = {});
  // Closes the reply slot if the owner has not, stops the timer, joins any
  // worker, then releases the ports.
  ~UpdateContext();
  UpdateContext(const UpdateContext&) = delete;
  UpdateContext& operator=(const UpdateContext&) = delete;

  // Starts the 1 ms timer that runs the reply dispatcher.
  void StartReplyTimer();
  // UI thread: the Execute command.
  void StartUpdate();
  // UI thread, when the window goes: closes both ports and closes the reply
  // slot (status 255 and a signal), so that a running worker ends quietly.
  void OnDestroy();
  // Waits for the worker to end. Never from the worker itself.
  void JoinWorker();

  bool UpdateInProgress() const { return updateInProgress_.load(); }
  bool WorkerRunning() const { return workerRunning_.load(); }

  midi::MidiInPort& InPort() { return inPort_; }
  midi::MidiOutPort& OutPort() { return outPort_; }
  // Set before the timer starts and before any run; not to be changed later.
  void SetMessageTrace(MessageTrace trace) { trace_ = std::move(trace); }

 private:
  static void ReplyTimerCallback(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                                 std::uintptr_t reserved1, std::uintptr_t reserved2);
  void HandleReplies() { dispatcher_.HandleReplies(); }

  // The worker's side: the update run, the plan and the transfers.
  void UpdateWorker();
  void RunWorker();
  std::int32_t RunUpdatePlan();
  std::int32_t CheckBootArea(bool& bootAreaDiffers);
  std::int32_t EraseFlash(std::uint32_t address, std::uint32_t length);
  std::int32_t WriteImage(std::uint32_t address, std::uint32_t length, std::int32_t imageId);
  // Shows the text, restores the controls and fails.
  std::int32_t Report(int stringId);
  void Pause(std::chrono::milliseconds duration);

  UserInterface& ui_;
  EngineTimings timings_;
  MessageTrace trace_;

  // The image being written: a view into the embedded image, never a copy.
  std::span<const std::uint8_t> CurrentImage;
  std::int32_t CurrentImageSize = 0;

  midi::MidiInPort inPort_;
  midi::MidiOutPort outPort_;
  OutPortOutput output_;
  InPortQueue queue_;
  protocol::ReplySlot slot_;
  protocol::SysExSender sender_;
  protocol::ReplyDispatcher dispatcher_;
  WorkerUi workerUi_;
  midi::CDxMTimer timer_;

  std::atomic<bool> updateInProgress_{false};
  std::atomic<bool> workerRunning_{false};
  std::thread worker_;  // touched only on the UI thread
};

}  // namespace vessa::engine
