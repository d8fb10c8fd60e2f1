#pragma once
// Every backend available on this machine, listed together in a fixed order:
// loopback devices first, then ALSA raw MIDI, then JACK. A backend that is not
// available (no ALSA kernel, no JACK server) contributes nothing and says
// nothing.

#include "midi/driver.h"
#include "midi/loopback/driver.h"

namespace vessa::midi {

// The process-wide driver the ports use by default.
MidiDriver& SystemMidiDriver();
// The loopback backend inside it, for attaching a virtual unit.
loopback::LoopbackDriver& SystemLoopback();

}  // namespace vessa::midi
