#include "protocol/crc32.h"

namespace vessa::protocol {
namespace {

// Slicing by eight: table k advances a byte that sits k positions further
// back, so eight bytes cost eight independent lookups instead of a chain of
// eight. Derived from Crc32Table; gives the same result one byte at a time.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr SliceTables MakeSliceTables() {
  SliceTables tables{};
  tables[0] = Crc32Table;
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ Crc32Table[previous & 0xFF];
    }
  }
  return tables;
}

constexpr SliceTables kSlices = MakeSliceTables();

std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::uint32_t count) {
  std::uint32_t reg = kCrc32Initial;
  for (; count >= 8; data += 8, count -= 8) {
    const std::uint32_t low = reg ^ LoadLittleEndian(data);
    const std::uint32_t high = LoadLittleEndian(data + 4);
    reg = kSlices[7][low & 0xFF] ^ kSlices[6][(low >> 8) & 0xFF] ^ kSlices[5][(low >> 16) & 0xFF] ^
          kSlices[4][low >> 24] ^ kSlices[3][high & 0xFF] ^ kSlices[2][(high >> 8) & 0xFF] ^
          kSlices[1][(high >> 16) & 0xFF] ^ kSlices[0][high >> 24];
  }
  for (; count > 0; ++data, --count) {
    reg = (reg >> 8) ^ Crc32Table[(reg ^ *data) & 0xFF];
  }
  return reg;
}

}  // namespace vessa::protocol
