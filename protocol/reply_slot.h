#pragma once
// The handshake between the reply dispatcher and the waiting update worker:
// the dispatcher stores a status (and the identity) and then signals; the
// worker waits with a time limit and only then reads.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "protocol/auto_reset_event.h"
#include "protocol/messages.h"

namespace vessa::protocol {

inline constexpr std::int32_t kStatusSuccess = 0;
inline constexpr std::int32_t kStatusFailure = 1;
inline constexpr std::int32_t kStatusNotInUpdateMode = kResultNotInUpdateMode;
inline constexpr std::int32_t kStatusClosing = 255;

class ReplySlot {
 public:
  // An answer from the unit. Once the slot is closing, answers are dropped so
  // that a late one can neither replace the closing status nor signal again.
  void PostStatus(std::int32_t status);
  void PostIdentity(const Identity& identity);
  // A signal that leaves the status as it was.
  void Signal();
  // The closing dialog: status 255 for good, and one signal.
  void Close();
  // Clears a leftover signal before a run.
  void ResetEvent() { event_.Reset(); }

  // Once closing, every wait ends at once, so a worker that is between waits
  // when the window closes never sits out a full time-out.
  bool Wait(std::chrono::milliseconds timeout) {
    return closing_.load() || event_.WaitFor(timeout) || closing_.load();
  }
  std::int32_t ReplyStatus() const { return status_.load(); }
  Identity DeviceIdentity() const;
  bool IsClosing() const { return closing_.load(); }

 private:
  std::mutex postMutex_;  // keeps a post from slipping in after Close
  AutoResetEvent event_;
  std::atomic<std::int32_t> status_{0};
  std::atomic<std::uint32_t> identity_{0};
  std::atomic<bool> closing_{false};  // written under postMutex_
};

}  // namespace vessa::protocol
