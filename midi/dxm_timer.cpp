#include "midi/dxm_timer.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace vessa::midi {

namespace {

using Clock = std::chrono::steady_clock;

// Ticks carry no message of their own.
constexpr std::uint32_t kTickMessage = 0;

std::uint32_t NextTimerId() {
  static std::atomic<std::uint32_t> lastId{0};
  std::uint32_t id = lastId.fetch_add(1) + 1;
  while (id == 0) id = lastId.fetch_add(1) + 1;  // 0 means "no timer"
  return id;
}

// After a late tick the next deadline keeps the period's phase; deadlines
// that are already a whole period or more in the past are skipped, so a
// stall costs at most one immediate catch-up tick, never a burst.
Clock::time_point NextDeadline(Clock::time_point deadline, Clock::duration period) {
  deadline += period;
  const Clock::time_point now = Clock::now();
  if (now - deadline >= period) deadline += ((now - deadline) / period) * period;
  return deadline;
}

}  // namespace

CDxMTimer::~CDxMTimer() {
  Stop();
}

std::uint32_t CDxMTimer::Start(std::uint32_t delayMs, TimerCallback callback, std::uintptr_t user) {
  Stop();
  if (delayMs == 0) return 0;
  if (callback == nullptr) {
    callback = &CDxMTimer::TickCallback;
    user = reinterpret_cast<std::uintptr_t>(this);
  }
  const std::uint32_t id = NextTimerId();
  auto stop = std::make_shared<StopSignal>();
  // Held until the fields are set, so a first callback that stops its own
  // timer sees them.
  std::lock_guard lock(stop->mutex);
  try {
    thread_ = std::thread(&CDxMTimer::Run, stop, id, delayMs, callback, user);
  } catch (const std::system_error&) {
    return 0;  // no thread, no timer: stays idle
  }
  stop_ = stop;
  TimerId = id;
  return id;
}

int CDxMTimer::Stop() {
  if (TimerId == 0) return 1;
  {
    std::lock_guard lock(stop_->mutex);
    stop_->requested = true;
  }
  stop_->wake.notify_all();
  // Waiting for the running callback lets the owner release what it uses;
  // a callback that stops its own timer cannot wait for itself.
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
  } else {
    thread_.join();
  }
  stop_.reset();
  TimerId = 0;
  return 1;
}

void CDxMTimer::TickCallback(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                             std::uintptr_t) {
  reinterpret_cast<CDxMTimer*>(user)->OnTick();
}

void CDxMTimer::Run(std::shared_ptr<StopSignal> stop, std::uint32_t id, std::uint32_t delayMs,
                    TimerCallback callback, std::uintptr_t user) {
  const Clock::duration period = std::chrono::milliseconds(delayMs);
  Clock::time_point deadline = Clock::now() + period;
  for (;;) {
    {
      std::unique_lock lock(stop->mutex);
      if (stop->wake.wait_until(lock, deadline, [&stop] { return stop->requested; })) return;
    }
    callback(id, kTickMessage, user, 0, 0);
    deadline = NextDeadline(deadline, period);
  }
}

}  // namespace vessa::midi
