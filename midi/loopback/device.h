#pragma once
// State shared by one virtual device's far-side handle and the host's
// connections to it. Host-to-device messages go through a mailbox drained by
// the device's own thread; device-to-host messages go straight into the open
// host input's delivery.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "midi/common/input_delivery.h"

namespace vessa::midi::loopback {

using Receiver = std::function<void(std::span<const std::uint8_t>)>;

// Owned jointly by the device and its thread, so the thread can outlive a
// device that was dropped from inside its own receiver.
struct Mailbox {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::vector<std::uint8_t>> messages;
  std::shared_ptr<Receiver> receiver;
  bool closed = false;
};

class DeviceCore {
 public:
  explicit DeviceCore(std::string name);
  ~DeviceCore();
  DeviceCore(const DeviceCore&) = delete;
  DeviceCore& operator=(const DeviceCore&) = delete;

  const std::string& Name() const { return name_; }

  // Far side.
  void SetReceiver(Receiver receiver);
  bool SendToHost(std::span<const std::uint8_t> message);
  // The far side is gone: pending messages are dropped, the thread ends and
  // every later send in either direction fails.
  void Detach();

  // Host side.
  bool QueueFromHost(std::span<const std::uint8_t> message);
  bool AttachInput(std::shared_ptr<InputDelivery> delivery);
  void DetachInput(const InputDelivery* delivery);

 private:
  const std::string name_;
  const std::shared_ptr<Mailbox> mailbox_;
  std::thread thread_;

  std::mutex inputMutex_;
  std::shared_ptr<InputDelivery> input_;
  bool detached_ = false;

  // Device sends go one at a time, so each finds the port's buffer already
  // given back by the previous delivery's callback.
  std::mutex toHostMutex_;
};

}  // namespace vessa::midi::loopback
