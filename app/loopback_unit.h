#pragma once
// A virtual unit behind a loopback device, for the screenshot tour and the
// window tests: the host sees it as one input and one output port.

#include <memory>
#include <string>

#include "engine/virtual_unit/virtual_unit.h"
#include "midi/loopback/driver.h"

namespace vessa::app {

class LoopbackUnit {
 public:
  LoopbackUnit(midi::loopback::LoopbackDriver& driver, const std::string& portName,
               engine::unit::UnitOptions options = {});
  // Close the host's ports on the device first.
  ~LoopbackUnit();
  LoopbackUnit(const LoopbackUnit&) = delete;
  LoopbackUnit& operator=(const LoopbackUnit&) = delete;

  engine::unit::VirtualUnit& Unit() { return *unit_; }

 private:
  std::shared_ptr<midi::loopback::LoopbackDevice> device_;
  std::unique_ptr<engine::unit::VirtualUnit> unit_;
};

}  // namespace vessa::app
