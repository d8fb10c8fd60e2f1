#include "protocol/sysex_sender.h"

#include "protocol/encodings.h"

namespace vessa::protocol {

template <typename Build>
std::int32_t SysExSender::BuildAndSend(Build build) {
  std::lock_guard lock(mutex_);
  const std::size_t length = build(sendBuffer_.data(), currentIdentity_[0]);
  return SendLocked(sendBuffer_.data(), static_cast<std::uint32_t>(length));
}

std::int32_t SysExSender::SendLocked(const std::uint8_t* buffer, std::uint32_t length) {
  return output_.SendMessage(buffer, length) ? kSent : kNotSent;
}

std::int32_t SysExSender::SendSysEx(const std::uint8_t* buffer, std::uint32_t length) {
  std::lock_guard lock(mutex_);
  return SendLocked(buffer, length);
}

std::int32_t SysExSender::SendAck(std::uint8_t code) {
  return BuildAndSend(
      [code](std::uint8_t* out, std::uint8_t model) { return BuildAck(out, model, code); });
}

std::int32_t SysExSender::SendWriteCommand(std::uint8_t modelByte, const std::uint8_t* data,
                                           std::uint32_t address, std::uint32_t length) {
  // The length travels in 14 bits; a longer chunk cannot be described.
  if (length > kMaxTwoByteLength) return kNotSent;
  return BuildAndSend([&](std::uint8_t* out, std::uint8_t) {
    return BuildWriteCommand(out, modelByte, data, address, length);
  });
}

std::int32_t SysExSender::SendEraseCommand(std::uint8_t modelByte, std::uint32_t address,
                                           std::uint32_t length) {
  return BuildAndSend([&](std::uint8_t* out, std::uint8_t) {
    return BuildEraseCommand(out, modelByte, address, length);
  });
}

std::int32_t SysExSender::SendIdentityRequest() {
  return SendSysEx(kIdentityRequest.data(), kIdentityRequestSize);
}

std::int32_t SysExSender::SendEnterUpdate() {
  return BuildAndSend(
      [](std::uint8_t* out, std::uint8_t model) { return BuildEnterUpdate(out, model); });
}

std::int32_t SysExSender::SendFinish() {
  return BuildAndSend(
      [](std::uint8_t* out, std::uint8_t model) { return BuildFinish(out, model); });
}

std::int32_t SysExSender::SendReadRequest(std::uint32_t address, std::uint32_t length) {
  return BuildAndSend([&](std::uint8_t* out, std::uint8_t model) {
    return BuildReadRequest(out, model, address, length);
  });
}

std::int32_t SysExSender::SendHostIdentityReply() {
  return SendSysEx(hostIdentityReply_.data(), kIdentityReplySize);
}

void SysExSender::AdoptIdentity(const Identity& identity) {
  std::lock_guard lock(mutex_);
  currentIdentity_ = identity;
}

void SysExSender::PublishHostIdentity() {
  std::lock_guard lock(mutex_);
  BuildUnitIdentityReply(hostIdentityReply_.data(), currentIdentity_);
}

Identity SysExSender::CurrentIdentity() const {
  std::lock_guard lock(mutex_);
  return currentIdentity_;
}

}  // namespace vessa::protocol
