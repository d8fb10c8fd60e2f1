#include "protocol/messages.h"

#include <algorithm>

#include "protocol/crc32.h"
#include "protocol/encodings.h"

namespace vessa::protocol {
namespace {

template <std::size_t N>
std::size_t CopyTemplate(std::uint8_t* out, const std::array<std::uint8_t, N>& tmpl,
                         std::uint8_t modelByte) {
  std::copy(tmpl.begin(), tmpl.end(), out);
  out[kModelByteOffset] = modelByte;
  return N;
}

// Packed data, its checksum and the end byte; returns the packed length.
std::size_t WritePayload(std::uint8_t* at, const std::uint8_t* data, std::uint32_t length) {
  const auto packed = static_cast<std::size_t>(PackData(at, data, length));
  EncodeSevenBitInt(Crc32(data, length), at + packed);
  at[packed + kSevenBitIntSize] = kSysExEnd;
  return packed;
}

}  // namespace

std::size_t BuildAck(std::uint8_t* out, std::uint8_t modelByte, std::uint8_t resultCode) {
  const std::size_t size = CopyTemplate(out, kAckTemplate, modelByte);
  out[kAckResultOffset] = resultCode;
  return size;
}

std::size_t BuildEnterUpdate(std::uint8_t* out, std::uint8_t modelByte) {
  return CopyTemplate(out, kEnterUpdateTemplate, modelByte);
}

std::size_t BuildFinish(std::uint8_t* out, std::uint8_t modelByte) {
  return CopyTemplate(out, kFinishTemplate, modelByte);
}

std::size_t BuildEraseCommand(std::uint8_t* out, std::uint8_t modelByte, std::uint32_t address,
                              std::uint32_t length) {
  const std::size_t size = CopyTemplate(out, kEraseTemplate, modelByte);
  EncodeSevenBitInt(address, out + kEraseAddressOffset);
  EncodeSevenBitInt(length, out + kEraseLengthOffset);
  return size;
}

std::size_t BuildWriteCommand(std::uint8_t* out, std::uint8_t modelByte, const std::uint8_t* data,
                              std::uint32_t address, std::uint32_t length) {
  CopyTemplate(out, kWriteHead, modelByte);
  EncodeSevenBitInt(address, out + kWriteAddressOffset);
  EncodeTwoByteLength(length, out + kWriteLengthOffset);
  return WritePayload(out + kWriteDataOffset, data, length) + kWriteOverhead;
}

std::size_t BuildReadRequest(std::uint8_t* out, std::uint8_t modelByte, std::uint32_t address,
                             std::uint32_t length) {
  const std::size_t size = CopyTemplate(out, kReadRequestTemplate, modelByte);
  EncodeSevenBitInt(address, out + kReadAddressOffset);
  EncodeSevenBitInt(length, out + kReadLengthOffset);
  return size;
}

std::size_t BuildUnitIdentityReply(std::uint8_t* out, const Identity& identity) {
  std::copy(kHostIdentityReplyTemplate.begin(), kHostIdentityReplyTemplate.end(), out);
  std::copy(identity.begin(), identity.end(), out + kIdentityOffset);
  return kIdentityReplySize;
}

std::size_t BuildReadReply(std::uint8_t* out, std::uint8_t modelByte, const std::uint8_t* data,
                           std::uint32_t length) {
  CopyTemplate(out, kReadReplyHead, modelByte);
  EncodeTwoByteLength(length, out + kReadReplyLengthOffset);
  return WritePayload(out + kReadReplyDataOffset, data, length) + kReadReplyOverhead;
}

}  // namespace vessa::protocol
