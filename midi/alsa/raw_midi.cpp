#include "midi/alsa/raw_midi.h"

namespace vessa::midi::alsa {

std::vector<pollfd> RawMidiPollDescriptors(snd_rawmidi_t* handle) {
  const int count = snd_rawmidi_poll_descriptors_count(handle);
  std::vector<pollfd> descriptors(count > 0 ? static_cast<std::size_t>(count) : 0);
  const int filled = snd_rawmidi_poll_descriptors(handle, descriptors.data(),
                                                  static_cast<unsigned int>(descriptors.size()));
  descriptors.resize(filled > 0 ? static_cast<std::size_t>(filled) : 0);
  return descriptors;
}

}  // namespace vessa::midi::alsa
