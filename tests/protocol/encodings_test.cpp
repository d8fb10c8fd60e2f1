#include "protocol/encodings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "protocol/crc32.h"

namespace vessa::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct CrcCase {
  std::string name;
  Bytes data;
  std::uint32_t expected;
};

TEST(Crc32Test, KnownAnswers) {
  const std::vector<CrcCase> cases = {
      {"digits", {'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x340BC6D9u},
      {"nothing", {}, 0xFFFFFFFFu},
      {"single A5", {0xA5}, 0x8B414715u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Crc32(c.data.data(), static_cast<std::uint32_t>(c.data.size())), c.expected)
        << c.name;
  }
}

TEST(Crc32Test, TableEntries) {
  EXPECT_EQ(Crc32Table[0], 0u);
  EXPECT_EQ(Crc32Table[1], 0x77073096u);
  EXPECT_EQ(Crc32Table[128], 0xEDB88320u);
  EXPECT_EQ(Crc32Table[255], 0x2D02EF8Du);
}

// The fast path must agree with the definition, one lookup per byte, for
// every length around its eight-byte stride and at every alignment.
TEST(Crc32Test, AgreesWithBytewiseDefinition) {
  Bytes data(80);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 151 + 3);
  for (std::uint32_t start = 0; start < 8; ++start) {
    for (std::uint32_t n = 0; start + n <= data.size(); ++n) {
      std::uint32_t reg = kCrc32Initial;
      for (std::uint32_t i = 0; i < n; ++i) {
        reg = (reg >> 8) ^ Crc32Table[(reg ^ data[start + i]) & 0xFF];
      }
      ASSERT_EQ(Crc32(data.data() + start, n), reg) << "start " << start << " length " << n;
    }
  }
}

TEST(SevenBitIntTest, EncodesKnownValues) {
  const std::vector<std::pair<std::uint32_t, Bytes>> cases = {
      {0x22FFC, {0x7C, 0x5F, 0x08, 0x00, 0x00}},
      {4, {0x04, 0x00, 0x00, 0x00, 0x00}},
      {0xFFFFFFFF, {0x7F, 0x7F, 0x7F, 0x7F, 0x0F}},
      {0, {0, 0, 0, 0, 0}},
  };
  for (const auto& [value, bytes] : cases) {
    Bytes out(5, 0xEE);
    EncodeSevenBitInt(value, out.data());
    EXPECT_EQ(out, bytes) << std::hex << value;
    EXPECT_EQ(DecodeSevenBitInt(bytes.data()), value);
  }
}

TEST(SevenBitIntTest, DecodeIgnoresBitsOutsideTheGroups) {
  const Bytes allOnes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeSevenBitInt(allOnes.data()), 0xFFFFFFFFu);
  const Bytes highBitsOnly = {0x80, 0x80, 0x80, 0x80, 0xF0};
  EXPECT_EQ(DecodeSevenBitInt(highBitsOnly.data()), 0u);
}

TEST(TwoByteLengthTest, RoundTripsEveryFourteenBitBoundary) {
  for (std::uint32_t n : {0u, 1u, 127u, 128u, 4096u, 16383u}) {
    std::uint8_t out[2];
    EncodeTwoByteLength(n, out);
    EXPECT_LT(out[0], 0x80);
    EXPECT_LT(out[1], 0x80);
    EXPECT_EQ(DecodeTwoByteLength(out), n);
  }
}

TEST(PackDataTest, KnownPacking) {
  const Bytes raw = {0x80, 0x01, 0xFF, 0x7F, 0x00, 0x90, 0x10, 0x20};
  const Bytes expected = {0x52, 0x00, 0x01, 0x7F, 0x7F, 0x00, 0x10, 0x10, 0x00, 0x20};
  Bytes out(expected.size() + 4, 0xEE);
  EXPECT_EQ(PackData(out.data(), raw.data(), 8), 10);
  out.resize(10);
  EXPECT_EQ(out, expected);
}

TEST(PackDataTest, PackedLengths) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> cases = {
      {0, 0}, {1, 2}, {6, 7}, {7, 8}, {8, 10}, {13, 15}, {4096, 4682}};
  for (const auto& [n, packed] : cases) {
    EXPECT_EQ(PackedLength(n), packed) << n;
    EXPECT_EQ(UnpackedLength(packed), n) << n;
    Bytes raw(n, 0xAB);
    Bytes out(packed + 1, 0xEE);
    EXPECT_EQ(PackData(out.data(), raw.data(), n), static_cast<std::int32_t>(packed));
    EXPECT_EQ(out[packed], 0xEE) << "wrote past the packed length for " << n;
  }
}

// Every length 0..64 and a full chunk: the packed bytes are 7-bit, unpacking
// gives back exactly the raw bytes, and neither side touches a byte beyond.
TEST(PackDataTest, RoundTripsEveryLength) {
  std::vector<std::uint32_t> lengths(65);
  std::iota(lengths.begin(), lengths.end(), 0u);
  lengths.push_back(4096);
  for (std::uint32_t n : lengths) {
    Bytes raw(n);
    for (std::uint32_t i = 0; i < n; ++i) raw[i] = static_cast<std::uint8_t>(i * 37 + 0x81);
    const std::uint32_t packed = PackedLength(n);
    Bytes wire(packed + 1, 0x55);
    ASSERT_EQ(PackData(wire.data(), raw.data(), n), static_cast<std::int32_t>(packed));
    for (std::uint32_t i = 0; i < packed; ++i) ASSERT_LT(wire[i], 0x80) << n << " at " << i;
    wire[packed] = 0xFF;  // a guard that unpacking must not read into
    Bytes back(n + 1, 0xEE);
    ASSERT_EQ(UnpackData(back.data(), wire.data(), packed), static_cast<std::int32_t>(n));
    EXPECT_EQ(back[n], 0xEE) << "wrote past the raw length for " << n;
    back.resize(n);
    EXPECT_EQ(back, raw) << n;
  }
}

TEST(UnpackDataTest, HighBitByteWithBitSevenSetAddsNothing) {
  const Bytes wire = {0xC0, 0x11};  // bit 7 set, bit 6 set
  std::uint8_t out[1] = {};
  EXPECT_EQ(UnpackData(out, wire.data(), 2), 1);
  EXPECT_EQ(out[0], 0x91);
}

TEST(UnpackDataTest, LoneHighBitByteYieldsNothing) {
  const Bytes wire = {0x7F, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x7F};
  Bytes out(8, 0xEE);
  EXPECT_EQ(UnpackData(out.data(), wire.data(), 9), 7);
  EXPECT_EQ(out[7], 0xEE);
}

}  // namespace
}  // namespace vessa::protocol
