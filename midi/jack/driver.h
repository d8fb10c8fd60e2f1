#pragma once
// JACK backend (virtual routing; desktop audio servers with a JACK interface).

#include <memory>

#include "midi/driver.h"

namespace vessa::midi::jack {

// Never null. Lists nothing when no JACK server answers; never starts one.
std::unique_ptr<MidiDriver> CreateJackDriver();

}  // namespace vessa::midi::jack
