#include "protocol/crc32.h"

namespace vessa::protocol {

std::uint32_t Crc32(const std::uint8_t* data, std::uint32_t count) {
  std::uint32_t reg = kCrc32Initial;
  for (std::uint32_t i = 0; i < count; ++i) {
    reg = (reg >> 8) ^ Crc32Table[(reg ^ data[i]) & 0xFF];
  }
  return reg;
}

}  // namespace vessa::protocol
