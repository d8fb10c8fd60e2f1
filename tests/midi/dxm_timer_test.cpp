#include "midi/dxm_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vessa::midi {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Waits for something that is bound to happen; the bound only stops a
// broken timer from hanging the run.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(milliseconds(1));
  }
  return true;
}

struct TickRecord {
  std::atomic<int> ticks{0};
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::atomic<std::uint32_t> lastId{0};
  std::atomic<bool> wrongUser{false};
  milliseconds workPerTick{0};
};

void RecordTick(std::uint32_t id, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                std::uintptr_t) {
  auto* record = reinterpret_cast<TickRecord*>(user);
  if (record->inside.fetch_add(1) != 0) record->overlaps.fetch_add(1);
  record->lastId.store(id);
  std::this_thread::sleep_for(record->workPerTick);
  record->ticks.fetch_add(1);
  record->inside.fetch_sub(1);
}

// Deadlines never drift ahead of the clock, and a loaded machine may lose
// ticks but not most of them.
TEST(DxMTimerTest, TicksAtThePeriodOverOneSecond) {
  constexpr int kPeriodMs = 5;
  TickRecord record;
  CDxMTimer timer;
  const auto start = Clock::now();
  ASSERT_NE(timer.Start(kPeriodMs, RecordTick, reinterpret_cast<std::uintptr_t>(&record)), 0u);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  timer.Stop();
  const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);

  const long expected = elapsed.count() / kPeriodMs;
  EXPECT_LE(record.ticks.load(), expected);
  EXPECT_GE(record.ticks.load(), expected / 2);
}

// Each callback takes longer than the period: the next waits, none overlap,
// and the id and user data reach every tick unchanged.
TEST(DxMTimerTest, SlowCallbacksNeverOverlap) {
  TickRecord record;
  record.workPerTick = milliseconds(3);
  CDxMTimer timer;
  const std::uint32_t id = timer.Start(1, RecordTick, reinterpret_cast<std::uintptr_t>(&record));
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(Eventually([&] { return record.ticks.load() >= 20; }));
  timer.Stop();
  EXPECT_EQ(record.overlaps.load(), 0);
  EXPECT_EQ(record.lastId.load(), id);
}

TEST(DxMTimerTest, StopWaitsForARunningCallback) {
  struct Shared {
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
  } shared;
  CDxMTimer timer;
  timer.Start(
      1,
      [](std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
        auto* s = reinterpret_cast<Shared*>(user);
        if (s->entered.exchange(true)) return;
        std::this_thread::sleep_for(milliseconds(50));
        s->finished.store(true);
      },
      reinterpret_cast<std::uintptr_t>(&shared));
  ASSERT_TRUE(Eventually([&] { return shared.entered.load(); }));
  timer.Stop();
  EXPECT_TRUE(shared.finished.load());
}

class CountingTimer : public CDxMTimer {
 public:
  std::atomic<int> ticks{0};

 protected:
  void OnTick() override { ticks.fetch_add(1); }
};

TEST(DxMTimerTest, NullCallbackTicksOnTickWhateverTheUserData) {
  CountingTimer timer;
  ASSERT_NE(timer.Start(1, nullptr, 12345), 0u);
  ASSERT_TRUE(Eventually([&] { return timer.ticks.load() >= 3; }));
  timer.Stop();
}

TEST(DxMTimerTest, RestartEndsTheOldTimerAndGivesANewId) {
  TickRecord first, second;
  CDxMTimer timer;
  const auto firstId = timer.Start(1, RecordTick, reinterpret_cast<std::uintptr_t>(&first));
  ASSERT_TRUE(Eventually([&] { return first.ticks.load() >= 1; }));
  const auto secondId = timer.Start(1, RecordTick, reinterpret_cast<std::uintptr_t>(&second));
  const int firstTicks = first.ticks.load();
  ASSERT_TRUE(Eventually([&] { return second.ticks.load() >= 3; }));
  timer.Stop();
  EXPECT_NE(secondId, firstId);
  EXPECT_EQ(first.ticks.load(), firstTicks);
}

TEST(DxMTimerTest, StopAndStartEdgeCases) {
  CDxMTimer timer;
  EXPECT_EQ(timer.Stop(), 1);  // idle
  EXPECT_EQ(timer.Start(0, RecordTick, 0), 0u);
  EXPECT_EQ(timer.Stop(), 1);
}

// A callback may stop its own timer without waiting for itself.
TEST(DxMTimerTest, StopFromInsideTheCallback) {
  struct Shared {
    CDxMTimer* timer = nullptr;
    std::atomic<int> ticks{0};
  } shared;
  CDxMTimer timer;
  shared.timer = &timer;
  timer.Start(
      1,
      [](std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
        auto* s = reinterpret_cast<Shared*>(user);
        s->timer->Stop();
        s->ticks.fetch_add(1);  // after Stop, so the test sees what Stop wrote
      },
      reinterpret_cast<std::uintptr_t>(&shared));
  ASSERT_TRUE(Eventually([&] { return shared.ticks.load() >= 1; }));
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_EQ(shared.ticks.load(), 1);
}

}  // namespace
}  // namespace vessa::midi
