#pragma once
// The five firmware images the program carries, read in place: each view
// stays valid and unchanged for the life of the process and is never copied.

#include <cstdint>
#include <optional>
#include <span>

namespace vessa::resources {

// The bytes of an image, or nothing for an id the program does not carry.
std::optional<std::span<const std::uint8_t>> FirmwareImage(int id);

}  // namespace vessa::resources
