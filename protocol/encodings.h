#pragma once
// The three encodings that carry 8-bit data and 32-bit numbers through the
// 7-bit data bytes of a SysEx message.

#include <cstddef>
#include <cstdint>

namespace vessa::protocol {

inline constexpr std::size_t kSevenBitIntSize = 5;
inline constexpr std::uint32_t kMaxTwoByteLength = 16383;

// A 32-bit value as five 7-bit groups, least significant first.
void EncodeSevenBitInt(std::uint32_t value, std::uint8_t* out);
std::uint32_t DecodeSevenBitInt(const std::uint8_t* in);

// A 14-bit length as two bytes: bits 0-6, then bits 7-13.
void EncodeTwoByteLength(std::uint32_t length, std::uint8_t* out);
std::uint32_t DecodeTwoByteLength(const std::uint8_t* in);

// Bytes that n raw bytes take once packed 8-to-7.
constexpr std::uint32_t PackedLength(std::uint32_t n) {
  const std::uint32_t rest = n % 7;
  return 8 * (n / 7) + (rest == 0 ? 0 : rest + 1);
}

// Raw bytes that a packed run of `packed` bytes stands for.
constexpr std::uint32_t UnpackedLength(std::uint32_t packed) {
  const std::uint32_t rest = packed % 8;
  return 7 * (packed / 8) + (rest == 0 ? 0 : rest - 1);
}

// Writes PackedLength(count) bytes to destination and returns that number.
std::int32_t PackData(std::uint8_t* destination, const std::uint8_t* source, std::uint32_t count);

// Reads exactly packedCount bytes and returns the number of raw bytes written.
std::int32_t UnpackData(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t packedCount);

}  // namespace vessa::protocol
