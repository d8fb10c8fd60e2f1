#include "protocol/auto_reset_event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vessa::protocol {
namespace {

using namespace std::chrono_literals;

TEST(AutoResetEventTest, SignalIsConsumedByOneWait) {
  AutoResetEvent event;
  EXPECT_FALSE(event.WaitFor(0ms));
  event.Set();
  event.Set();  // holds one signal, not two
  EXPECT_TRUE(event.WaitFor(0ms));
  EXPECT_FALSE(event.WaitFor(0ms));
}

TEST(AutoResetEventTest, ResetClearsALeftoverSignal) {
  AutoResetEvent event;
  event.Set();
  event.Reset();
  EXPECT_FALSE(event.WaitFor(1ms));
}

TEST(AutoResetEventTest, WakesAWaiterOnAnotherThread) {
  AutoResetEvent event;
  std::thread setter([&] { event.Set(); });
  EXPECT_TRUE(event.WaitFor(10s));
  setter.join();
}

}  // namespace
}  // namespace vessa::protocol
