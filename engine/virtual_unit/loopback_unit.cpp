#include "engine/virtual_unit/loopback_unit.h"

namespace vessa::engine::unit {

LoopbackUnit::LoopbackUnit(midi::loopback::LoopbackDriver& driver, const std::string& portName,
                           UnitOptions options)
    : device_(driver.AddDevice(portName)) {
  midi::loopback::LoopbackDevice* device = device_.get();
  unit_ = std::make_unique<VirtualUnit>(
      std::move(options), [device](std::span<const std::uint8_t> m) { device->Send(m); });
  VirtualUnit* unit = unit_.get();
  device_->SetReceiver([unit](std::span<const std::uint8_t> m) { unit->Receive(m); });
}

LoopbackUnit::~LoopbackUnit() {
  device_->SetReceiver(nullptr);
  // The last handle gone, the device's delivery thread has ended, so no
  // message reaches the unit any more.
  device_.reset();
  unit_.reset();
}

}  // namespace vessa::engine::unit
