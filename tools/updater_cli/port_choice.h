#pragma once
// Picking a port of a list by index or by exact name.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vessa::cli {

// The port's index, or nothing with `error` set: out of range, no port of
// that name, or a name that several ports carry (pick those by index).
std::optional<std::int32_t> ChoosePort(const std::vector<std::string>& names,
                                       const std::string& wanted, std::string& error);

}  // namespace vessa::cli
