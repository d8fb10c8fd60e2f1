#pragma once
// How raw MIDI ports are named in the port lists: the rules are kept apart
// from ALSA so that they can be checked without sound hardware.

#include <string>
#include <vector>

namespace vessa::midi::alsa {

// The names of one device's ports in one direction, one per subdevice: each
// subdevice's own name when the device has several and they tell the ports
// apart, otherwise the device's name for every one of them.
std::vector<std::string> SubdevicePortNames(const std::string& deviceName,
                                            const std::vector<std::string>& subdeviceNames);

// Makes the names of one direction unique, in list order: the second, third
// ... port of one name becomes "name (2)", "name (3)" ..., skipping any
// numbered name that is already taken.
void NumberRepeatedNames(std::vector<std::string>& names);

}  // namespace vessa::midi::alsa
