#pragma once
// CRC-32 over the raw bytes of a transfer: reflected polynomial 0xEDB88320,
// register starts at all ones, no final inversion (the JAMCRC variant).

#include <array>
#include <cstdint>

namespace vessa::protocol {

inline constexpr std::uint32_t kCrc32Polynomial = 0xEDB88320u;
inline constexpr std::uint32_t kCrc32Initial = 0xFFFFFFFFu;

constexpr std::array<std::uint32_t, 256> MakeCrc32Table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t reg = i;
    for (int step = 0; step < 8; ++step) {
      reg = (reg & 1) ? (reg >> 1) ^ kCrc32Polynomial : reg >> 1;
    }
    table[i] = reg;
  }
  return table;
}

// Entry i is the register after shifting i through eight reflected steps.
inline constexpr std::array<std::uint32_t, 256> Crc32Table = MakeCrc32Table();

std::uint32_t Crc32(const std::uint8_t* data, std::uint32_t count);

}  // namespace vessa::protocol
