// Writes a deterministic stand-in firmware image: pseudo-random bytes (so that
// both bit values reach the flash), optionally ending in a four-byte tag.
// Usage: vessa_stand_in_firmware <id> <size> <output> [tag]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

std::vector<std::uint8_t> StandInBytes(std::uint32_t id, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = 0x9E3779B9u ^ (id * 0x85EBCA6Bu);  // xorshift32, seeded by the id
  for (auto& b : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: %s <id> <size> <output> [tag]\n", argv[0]);
    return 2;
  }
  const auto id = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
  const auto size = static_cast<std::size_t>(std::strtoull(argv[2], nullptr, 10));
  auto bytes = StandInBytes(id, size);
  if (argc == 5) {
    const std::size_t tagLength = std::strlen(argv[4]);
    if (tagLength > size) return 2;
    std::memcpy(bytes.data() + size - tagLength, argv[4], tagLength);
  }
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
  return out ? 0 : 1;
}
