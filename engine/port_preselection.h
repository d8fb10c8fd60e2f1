#pragma once
// Which port of a list to preselect for this instance: the last one whose
// name equals a preferred name exactly (case-sensitive, byte for byte).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vessa::engine {

// The base names, in order. The first is the Japanese name in UTF-8.
inline constexpr std::array<std::string_view, 3> kPreferredPortBaseNames = {
    "USB \xE3\x82\xAA\xE3\x83\xBC\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xAA "
    "\xE3\x83\x87\xE3\x83\x90\xE3\x82\xA4\xE3\x82\xB9",
    "USB Audio Device",
    "ORVANE Vessa Series",
};

// The base names as instance `instanceNumber` looks for them: unchanged for
// instance 1, else followed by " (n)".
std::array<std::string, kPreferredPortBaseNames.size()> PreferredPortNames(int instanceNumber);

// The index to select, or -1 when no name matches.
std::int32_t PreselectPort(const std::vector<std::string>& portNames, int instanceNumber);

}  // namespace vessa::engine
