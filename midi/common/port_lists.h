#pragma once
// A driver's port names in index order, as it reports them.

#include <string>
#include <vector>

#include "midi/driver.h"

namespace vessa::midi {

std::vector<std::string> InputNames(MidiDriver& driver);
std::vector<std::string> OutputNames(MidiDriver& driver);

}  // namespace vessa::midi
