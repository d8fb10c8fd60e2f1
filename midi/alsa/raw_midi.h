#pragma once
// What the raw MIDI input and output handles share.

#include <alsa/asoundlib.h>
#include <poll.h>

#include <vector>

namespace vessa::midi::alsa {

// The descriptors to poll for the handle; empty when ALSA gives none.
std::vector<pollfd> RawMidiPollDescriptors(snd_rawmidi_t* handle);

}  // namespace vessa::midi::alsa
