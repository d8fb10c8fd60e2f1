#pragma once
// The host's input connection to one virtual device.

#include <memory>

#include "midi/common/input_delivery.h"
#include "midi/driver.h"
#include "midi/loopback/device.h"

namespace vessa::midi::loopback {

class LoopbackInput : public InputConnection {
 public:
  // Null when the device is gone or its input is already open.
  static std::unique_ptr<LoopbackInput> Open(std::shared_ptr<DeviceCore> device,
                                             InputCallback callback, void* instance);
  ~LoopbackInput() override;

  bool AddBuffer(MidiHeader* header) override;
  bool Start() override;
  bool Stop() override;
  bool Reset() override;
  bool Close() override;

 private:
  LoopbackInput(std::shared_ptr<DeviceCore> device, std::shared_ptr<InputDelivery> delivery);

  const std::shared_ptr<DeviceCore> device_;
  const std::shared_ptr<InputDelivery> delivery_;
  bool closed_ = false;
};

}  // namespace vessa::midi::loopback
