#include "protocol/encodings.h"

#include <algorithm>

namespace vessa::protocol {

void EncodeSevenBitInt(std::uint32_t value, std::uint8_t* out) {
  for (std::size_t k = 0; k < kSevenBitIntSize; ++k) {
    out[k] = static_cast<std::uint8_t>((value >> (7 * k)) & 0x7F);
  }
}

std::uint32_t DecodeSevenBitInt(const std::uint8_t* in) {
  std::uint32_t value = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    value |= static_cast<std::uint32_t>(in[k] & 0x7F) << (7 * k);
  }
  value |= static_cast<std::uint32_t>(in[4] & 0x0F) << 28;
  return value;
}

void EncodeTwoByteLength(std::uint32_t length, std::uint8_t* out) {
  out[0] = static_cast<std::uint8_t>(length & 0x7F);
  out[1] = static_cast<std::uint8_t>((length >> 7) & 0x7F);
}

std::uint32_t DecodeTwoByteLength(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0] & 0x7F) + 128u * (in[1] & 0x7F);
}

std::int32_t PackData(std::uint8_t* destination, const std::uint8_t* source, std::uint32_t count) {
  std::uint8_t* out = destination;
  for (std::uint32_t start = 0; start < count; start += 7) {
    const std::uint32_t groupSize = std::min<std::uint32_t>(7, count - start);
    std::uint8_t highBits = 0;
    for (std::uint32_t j = 0; j < groupSize; ++j) {
      const std::uint8_t b = source[start + j];
      highBits |= static_cast<std::uint8_t>((b >> 7) << (6 - j));
      out[1 + j] = b & 0x7F;
    }
    out[0] = highBits;
    out += groupSize + 1;
  }
  return static_cast<std::int32_t>(out - destination);
}

std::int32_t UnpackData(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t packedCount) {
  std::uint8_t* out = destination;
  for (std::uint32_t start = 0; start < packedCount; start += 8) {
    const std::uint32_t groupSize = std::min<std::uint32_t>(8, packedCount - start);
    const std::uint8_t highBits = source[start];
    for (std::uint32_t j = 0; j + 1 < groupSize; ++j) {
      const bool high = (highBits >> (6 - j)) & 1;
      *out++ = static_cast<std::uint8_t>((source[start + 1 + j] & 0x7F) | (high ? 0x80 : 0));
    }
  }
  return static_cast<std::int32_t>(out - destination);
}

}  // namespace vessa::protocol
