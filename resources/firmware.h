#pragma once
// The five firmware images the program carries, read in place: each view
// stays valid and unchanged for the life of the process and is never copied.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vessa::resources {

inline constexpr std::array<int, 5> kFirmwareImageIds = {129, 133, 136, 139, 142};

// The bytes of an image, or nothing for an id the program does not carry.
std::optional<std::span<const std::uint8_t>> FirmwareImage(int id);

}  // namespace vessa::resources
