#pragma once
// A periodic callback every `delay` milliseconds on a thread of its own, on
// steady-clock deadlines. Callbacks never overlap, and Stop waits for a
// callback that is already running, so the owner may release what the
// callback uses as soon as Stop returns.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace vessa::midi {

using TimerCallback = void (*)(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                               std::uintptr_t reserved1, std::uintptr_t reserved2);

class CDxMTimer {
 public:
  CDxMTimer() = default;
  ~CDxMTimer();
  CDxMTimer(const CDxMTimer&) = delete;
  CDxMTimer& operator=(const CDxMTimer&) = delete;

  // Stops a running timer first. With a null callback the ticks call OnTick.
  // Returns the new timer id, 0 when no timer could be started.
  std::uint32_t Start(std::uint32_t delayMs, TimerCallback callback, std::uintptr_t user);
  int Stop();

 protected:
  virtual void OnTick() {}

 private:
  static void TickCallback(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                           std::uintptr_t reserved1, std::uintptr_t reserved2);
  // Shared by the owner and one timer thread, so a thread that was told to
  // stop from inside its own callback can still look at it afterwards.
  struct StopSignal {
    std::mutex mutex;
    std::condition_variable wake;
    bool requested = false;
  };
  static void Run(std::shared_ptr<StopSignal> stop, std::uint32_t id, std::uint32_t delayMs,
                  TimerCallback callback, std::uintptr_t user);

  std::uint32_t TimerId = 0;
  std::thread thread_;
  std::shared_ptr<StopSignal> stop_;
};

}  // namespace vessa::midi
