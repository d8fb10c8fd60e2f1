#pragma once
// Collects the messages another thread hands on, for a test to wait for.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace vessa::midi {

class MessageInbox {
 public:
  using Bytes = std::vector<std::uint8_t>;

  void Add(std::span<const std::uint8_t> message) {
    // Notified under the lock: a waiter that wakes may end the test and
    // destroy the inbox at once.
    std::lock_guard lock(mutex_);
    messages_.emplace_back(message.begin(), message.end());
    arrived_.notify_all();
  }

  std::function<void(std::span<const std::uint8_t>)> Sink() {
    return [this](std::span<const std::uint8_t> message) { Add(message); };
  }

  // Every message so far, once there are `count` or the ten seconds are up.
  std::vector<Bytes> WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return messages_.size() >= count; });
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Bytes> messages_;
};

}  // namespace vessa::midi
