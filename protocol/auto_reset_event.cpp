#include "protocol/auto_reset_event.h"

namespace vessa::protocol {

void AutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    state_ = true;
  }
  signalled_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  state_ = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!signalled_.wait_for(lock, timeout, [this] { return state_; })) return false;
  state_ = false;
  return true;
}

}  // namespace vessa::protocol
