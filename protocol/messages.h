#pragma once
// Every SysEx message that crosses the wire, byte for byte: the constant
// templates, the offsets of their fields and builders that fill a buffer.
// The builders only write bytes; sending is the sender's business.

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/encodings.h"

namespace vessa::protocol {

inline constexpr std::uint8_t kSysExStart = 0xF0;
inline constexpr std::uint8_t kSysExEnd = 0xF7;
inline constexpr std::uint8_t kDeviceFamily = 0x52;     // manufacturer number
inline constexpr std::uint8_t kUniversalFamily = 0x7E;  // universal non-real-time
inline constexpr std::uint8_t kGeneralInformation = 0x06;
inline constexpr std::uint8_t kIdentityRequestSubId = 0x01;
inline constexpr std::uint8_t kIdentityReplySubId = 0x02;

// Byte offsets shared by the device command family.
inline constexpr std::size_t kModelByteOffset = 3;
inline constexpr std::size_t kCommandOffset = 4;
inline constexpr std::size_t kAckResultOffset = 5;

enum Command : std::uint8_t {
  kAck = 0x00,
  kEnterUpdate = 0x01,
  kWrite = 0x02,
  kReserved03 = 0x03,
  kFinish = 0x04,
  kReserved05 = 0x05,
  kErase = 0x0A,
  kRead = 0x60,
};

// Acknowledgement result codes.
inline constexpr std::uint8_t kResultDone = 0;
inline constexpr std::uint8_t kResultNotRecognised = 1;
inline constexpr std::uint8_t kResultNotInUpdateMode = 11;

// Read messages: byte 5 of a request, bytes 5 and 6 of a reply.
inline constexpr std::uint8_t kReadRequestMarker = 0x30;
inline constexpr std::uint8_t kReadReplyWithData = 0x04;

using Identity = std::array<std::uint8_t, 4>;

inline constexpr std::size_t kIdentityRequestSize = 6;
inline constexpr std::size_t kIdentityReplySize = 15;
inline constexpr std::size_t kAckSize = 7;
inline constexpr std::size_t kEnterUpdateSize = 6;
inline constexpr std::size_t kFinishSize = 6;
inline constexpr std::size_t kEraseSize = 16;
inline constexpr std::size_t kReadRequestSize = 17;
inline constexpr std::size_t kWriteOverhead = 18;      // write command = P + 18
inline constexpr std::size_t kReadReplyOverhead = 17;  // read reply = P + 17

// Identity reply offsets (the unit's and the program's).
inline constexpr std::size_t kIdentityOffset = 6;

// Write command offsets.
inline constexpr std::size_t kWriteAddressOffset = 5;
inline constexpr std::size_t kWriteLengthOffset = 10;
inline constexpr std::size_t kWriteDataOffset = 12;
// Erase command offsets.
inline constexpr std::size_t kEraseAddressOffset = 5;
inline constexpr std::size_t kEraseLengthOffset = 10;
// Read request offsets.
inline constexpr std::size_t kReadAddressOffset = 6;
inline constexpr std::size_t kReadLengthOffset = 11;
// Read reply offsets.
inline constexpr std::size_t kReadReplyKindOffset = 5;
inline constexpr std::size_t kReadReplyMarkerOffset = 6;
inline constexpr std::size_t kReadReplyLengthOffset = 9;
inline constexpr std::size_t kReadReplyDataOffset = 11;

inline constexpr std::array<std::uint8_t, kIdentityRequestSize> kIdentityRequest = {
    0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};
inline constexpr std::array<std::uint8_t, kIdentityReplySize> kHostIdentityReplyTemplate = {
    0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x00, 0x00, 0x00, 0x00, 0x31, 0x30, 0x30, 0x30, 0xF7};
inline constexpr std::array<std::uint8_t, kAckSize> kAckTemplate = {0xF0, 0x52, 0x00, 0x00,
                                                                    0x00, 0x00, 0xF7};
inline constexpr std::array<std::uint8_t, kEnterUpdateSize> kEnterUpdateTemplate = {
    0xF0, 0x52, 0x00, 0x00, 0x01, 0xF7};
inline constexpr std::array<std::uint8_t, kFinishSize> kFinishTemplate = {0xF0, 0x52, 0x00,
                                                                          0x00, 0x04, 0xF7};
inline constexpr std::array<std::uint8_t, kEraseSize> kEraseTemplate = {
    0xF0, 0x52, 0x00, 0x00, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF7};
inline constexpr std::array<std::uint8_t, 5> kWriteHead = {0xF0, 0x52, 0x00, 0x00, 0x02};
inline constexpr std::array<std::uint8_t, 9> kReadReplyHead = {0xF0, 0x52, 0x00, 0x00, 0x60,
                                                               0x04, 0x30, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, kReadRequestSize> kReadRequestTemplate = {
    0xF0, 0x52, 0x00, 0x00, 0x60, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF7};

// Builders: each writes one complete message to `out` and returns its length.
// The caller provides the room (WriteCommandSize / ReadReplySize for the
// variable ones).
std::size_t BuildAck(std::uint8_t* out, std::uint8_t modelByte, std::uint8_t resultCode);
std::size_t BuildEnterUpdate(std::uint8_t* out, std::uint8_t modelByte);
std::size_t BuildFinish(std::uint8_t* out, std::uint8_t modelByte);
std::size_t BuildEraseCommand(std::uint8_t* out, std::uint8_t modelByte, std::uint32_t address,
                              std::uint32_t length);
std::size_t BuildWriteCommand(std::uint8_t* out, std::uint8_t modelByte, const std::uint8_t* data,
                              std::uint32_t address, std::uint32_t length);
std::size_t BuildReadRequest(std::uint8_t* out, std::uint8_t modelByte, std::uint32_t address,
                             std::uint32_t length);
// The unit's side: its identity reply and its read reply.
std::size_t BuildUnitIdentityReply(std::uint8_t* out, const Identity& identity);
std::size_t BuildReadReply(std::uint8_t* out, std::uint8_t modelByte, const std::uint8_t* data,
                           std::uint32_t length);

constexpr std::size_t WriteCommandSize(std::uint32_t rawLength) {
  return PackedLength(rawLength) + kWriteOverhead;
}
constexpr std::size_t ReadReplySize(std::uint32_t rawLength) {
  return PackedLength(rawLength) + kReadReplyOverhead;
}

}  // namespace vessa::protocol
