#pragma once
// In-process loopback backend: virtual devices that a test or the built-in
// virtual unit attaches to. Deterministic: nothing is lost or reordered.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "midi/driver.h"

namespace vessa::midi::loopback {

// The far side of one virtual device: the host sees an input port and an
// output port, both called by the device's name.
class LoopbackDevice {
 public:
  virtual ~LoopbackDevice() = default;
  // Receives, in order and on a thread of the loopback's own, every message
  // the host sends to this device's output port.
  virtual void SetReceiver(std::function<void(std::span<const std::uint8_t>)> receiver) = 0;
  // Sends one complete message to the host's input port of this device.
  // True when an open, started input port took it.
  virtual bool Send(std::span<const std::uint8_t> message) = 0;
  virtual const std::string& Name() const = 0;
};

class LoopbackDriver : public MidiDriver {
 public:
  // Adds a device at the end of both port lists. It stays listed until the
  // returned handle and every open connection to it are gone.
  virtual std::shared_ptr<LoopbackDevice> AddDevice(const std::string& name) = 0;
};

std::unique_ptr<LoopbackDriver> CreateLoopbackDriver();

}  // namespace vessa::midi::loopback
