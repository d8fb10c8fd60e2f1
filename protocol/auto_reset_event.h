#pragma once
// An auto-reset event: Set wakes exactly one wait (or the next one to come),
// and the signal is consumed by that wait. It holds at most one signal.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vessa::protocol {

class AutoResetEvent {
 public:
  void Set();
  void Reset();
  // True when the event was signalled within the time limit.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  bool state_ = false;
};

}  // namespace vessa::protocol
