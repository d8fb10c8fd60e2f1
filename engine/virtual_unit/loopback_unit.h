#pragma once
// A virtual unit behind a loopback device: the host sees it as one input and
// one output port. Used by the simulated runs, the tests and the benchmarks.

#include <memory>
#include <string>

#include "engine/virtual_unit/virtual_unit.h"
#include "midi/loopback/driver.h"

namespace vessa::engine::unit {

class LoopbackUnit {
 public:
  LoopbackUnit(midi::loopback::LoopbackDriver& driver, const std::string& portName,
               UnitOptions options = {});
  // Close the host's ports on the device first.
  ~LoopbackUnit();
  LoopbackUnit(const LoopbackUnit&) = delete;
  LoopbackUnit& operator=(const LoopbackUnit&) = delete;

  VirtualUnit& Unit() { return *unit_; }

 private:
  std::shared_ptr<midi::loopback::LoopbackDevice> device_;
  std::unique_ptr<VirtualUnit> unit_;
};

}  // namespace vessa::engine::unit
