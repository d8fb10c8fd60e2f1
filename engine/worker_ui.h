#pragma once
// The user interface as the worker sees it. Once the window is closing
// (reply slot closed) every operation is dropped: the window may be going
// away, and the worker must not touch it any more.

#include <cstdint>
#include <string>

#include "engine/user_interface.h"
#include "protocol/reply_slot.h"

namespace vessa::engine {

class WorkerUi {
 public:
  WorkerUi(UserInterface& ui, const protocol::ReplySlot& slot) : ui_(ui), slot_(slot) {}

  void SetStatusText(const std::string& text) {
    if (Open()) ui_.SetStatusText(text);
  }
  void SetStepText(const std::string& text) {
    if (Open()) ui_.SetStepText(text);
  }
  void ShowError(int stringId) {
    if (Open()) ui_.ShowError(stringId);
  }
  void SetProgressRange(std::int32_t lower, std::int32_t upper) {
    if (Open()) ui_.SetProgressRange(lower, upper);
  }
  void SetProgressPos(std::int32_t position) {
    if (Open()) ui_.SetProgressPos(position);
  }
  void RestoreControls() {
    if (Open()) ui_.RestoreControls();
  }
  void EnableExecute(bool enable) {
    if (Open()) ui_.EnableExecute(enable);
  }

 private:
  bool Open() const { return !slot_.IsClosing(); }

  UserInterface& ui_;
  const protocol::ReplySlot& slot_;
};

}  // namespace vessa::engine
