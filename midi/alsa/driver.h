#pragma once
// ALSA raw MIDI backend (Linux hardware; where a USB MIDI unit lives).

#include <memory>

#include "midi/driver.h"

namespace vessa::midi::alsa {

// Never null. Lists nothing when no ALSA kernel or card is there.
std::unique_ptr<MidiDriver> CreateAlsaDriver();

}  // namespace vessa::midi::alsa
