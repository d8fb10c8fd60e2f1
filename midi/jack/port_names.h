#pragma once
// How JACK ports are named in our port lists: by their client's name when that
// client has exactly one MIDI port in the listed direction, which is the usual
// case for a device or a virtual unit, else as the full "client:port" name.

#include <string>
#include <vector>

namespace vessa::midi::jack {

// fullNames: "client:port" names of the ports of one direction, in list order.
std::vector<std::string> ListedNames(const std::vector<std::string>& fullNames);

}  // namespace vessa::midi::jack
