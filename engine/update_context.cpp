#include "engine/update_context.h"

#include "resources/string_table.h"

namespace vessa::engine {

using resources::kIdsCantOpenMidiIn;
using resources::kIdsCantOpenMidiOut;
using resources::kIdsInProgress;

UpdateContext::UpdateContext(UserInterface& ui, midi::MidiDriver& driver, EngineTimings timings)
    : ui_(ui),
      timings_(timings),
      inPort_(driver),
      outPort_(driver),
      output_(outPort_, trace_),
      queue_(inPort_, trace_),
      sender_(output_),
      dispatcher_(queue_, sender_, slot_),
      workerUi_(ui_, slot_) {}

UpdateContext::~UpdateContext() {
  // A worker still running must end at its next wait instead of sitting out
  // a time-out against a dispatcher that no longer runs.
  if (!slot_.IsClosing()) slot_.Close();
  timer_.Stop();
  JoinWorker();
  outPort_.Close();
  inPort_.Close();
}

void UpdateContext::ReplyTimerCallback(std::uint32_t, std::uint32_t, std::uintptr_t user,
                                       std::uintptr_t, std::uintptr_t) {
  reinterpret_cast<UpdateContext*>(user)->HandleReplies();
}

void UpdateContext::StartReplyTimer() {
  timer_.Start(kReplyTimerPeriodMs, &UpdateContext::ReplyTimerCallback,
               reinterpret_cast<std::uintptr_t>(this));
}

void UpdateContext::StartUpdate() {
  // A worker that has restored the controls may still be finishing its last
  // calls; until it has ended, Execute counts as a run in progress.
  if (updateInProgress_.load() || workerRunning_.load()) {
    ui_.ShowError(kIdsInProgress);
    return;
  }
  JoinWorker();

  outPort_.Close();
  if (outPort_.Open(static_cast<std::uint32_t>(ui_.MidiOutSelection())) == 0) {
    ui_.ShowError(kIdsCantOpenMidiOut);
    return;
  }
  inPort_.Close();
  inPort_.DeviceIndex = static_cast<std::uint32_t>(ui_.MidiInSelection());
  if (inPort_.Open() == 0) {
    ui_.ShowError(kIdsCantOpenMidiIn);
    return;
  }

  ui_.EnableControl(Control::kMidiInList, false);
  ui_.EnableControl(Control::kMidiOutList, false);
  ui_.EnableControl(Control::kExecute, false);
  ui_.EnableControl(Control::kRescanDevice, false);
  updateInProgress_.store(true);
  slot_.ResetEvent();
  workerRunning_.store(true);
  worker_ = std::thread(&UpdateContext::RunWorker, this);
}

void UpdateContext::OnDestroy() {
  outPort_.Close();
  inPort_.Close();
  slot_.Close();
}

void UpdateContext::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void UpdateContext::RunWorker() {
  UpdateWorker();
  workerRunning_.store(false);
}

std::int32_t UpdateContext::Report(int stringId) {
  workerUi_.ShowError(stringId);
  workerUi_.RestoreControls();
  updateInProgress_.store(false);
  return kEngineFailed;
}

void UpdateContext::Pause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace vessa::engine
