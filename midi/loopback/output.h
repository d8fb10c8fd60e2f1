#pragma once
// The host's output connection to one virtual device. A send is queued for
// the device's receiver and returns at once; nothing is ever dropped.

#include <atomic>
#include <memory>

#include "midi/driver.h"
#include "midi/loopback/device.h"

namespace vessa::midi::loopback {

class LoopbackOutput : public OutputConnection {
 public:
  explicit LoopbackOutput(std::shared_ptr<DeviceCore> device) : device_(std::move(device)) {}

  bool Send(const std::uint8_t* data, std::uint32_t length,
            std::chrono::milliseconds limit) override;
  bool Close() override;

 private:
  const std::shared_ptr<DeviceCore> device_;
  std::atomic<bool> closed_{false};
};

}  // namespace vessa::midi::loopback
