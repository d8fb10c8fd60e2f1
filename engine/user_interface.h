#pragma once
// The user-interface operations the engine calls. The dialog implements them
// on its window; the command-line updater on a terminal; tests with a fake.
// Operations marked "worker" are called from the update worker's thread and
// must take effect in call order; ShowError blocks until dismissed.

#include <cstdint>
#include <string>

namespace vessa::engine {

// The controls the engine enables and disables, by their dialog ids.
enum class Control : int {
  kExecute = 1,
  kMidiInList = 1000,
  kMidiOutList = 1001,
  kRescanDevice = 1004,
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // UI thread (StartUpdate): the list selections, -1 when nothing is selected.
  virtual std::int32_t MidiInSelection() = 0;
  virtual std::int32_t MidiOutSelection() = 0;
  virtual void EnableControl(Control control, bool enable) = 0;

  // Worker (and UI thread for ShowError from StartUpdate).
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetStepText(const std::string& text) = 0;
  virtual void ShowError(int stringId) = 0;
  virtual void SetProgressRange(std::int32_t lower, std::int32_t upper) = 0;
  virtual void SetProgressPos(std::int32_t position) = 0;
  // Enables the lists, Execute and Rescan Device, in this order. The engine
  // clears UpdateInProgress itself right after.
  virtual void RestoreControls() = 0;
  virtual void EnableExecute(bool enable) = 0;
};

}  // namespace vessa::engine
