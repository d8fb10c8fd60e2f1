#include "app/ui_call_bridge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>
#include <vector>

#include "qt_test_environment.h"

namespace vessa::app {
namespace {

using testing::WaitUntil;

TEST(UiCallBridge, WorkerCallsRunOnTheUiThreadInOrderAndReturnOnceDone) {
  UiCallBridge bridge;
  constexpr int kCalls = 50;
  std::vector<int> seen;  // touched by the UI thread inside calls only
  std::vector<std::size_t> sizeAfterCall;
  std::atomic<bool> workerDone = false;
  const auto uiThread = std::this_thread::get_id();
  std::atomic<bool> allOnUiThread = true;

  std::thread worker([&] {
    for (int i = 0; i < kCalls; ++i) {
      bridge.Run([&, i] {
        if (std::this_thread::get_id() != uiThread) allOnUiThread = false;
        seen.push_back(i);
      });
      sizeAfterCall.push_back(seen.size());
    }
    workerDone = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return workerDone.load(); }));
  worker.join();

  EXPECT_TRUE(allOnUiThread);
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(kCalls));
  for (int i = 0; i < kCalls; ++i) {
    EXPECT_EQ(seen[i], i);
    EXPECT_EQ(sizeAfterCall[i], static_cast<std::size_t>(i + 1))
        << "call " << i << " returned early";
  }
}

TEST(UiCallBridge, ClosingReleasesAWaitingWorkerAndDropsItsCall) {
  UiCallBridge bridge;
  bool ran = false;
  // The UI thread does not serve events until it has begun closing, so the
  // worker's call is either still queued or never posted.
  std::thread worker([&] { bridge.Run([&] { ran = true; }); });
  bridge.BeginClosing();
  worker.join();
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(ran);

  bridge.Run([&] { ran = true; });
  EXPECT_FALSE(ran) << "a call after closing must not run, also on the UI thread";
}

TEST(UiCallBridge, ACallOnTheUiThreadRunsDirectly) {
  UiCallBridge bridge;
  bool ran = false;
  bridge.Run([&] { ran = true; });
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace vessa::app
