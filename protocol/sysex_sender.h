#pragma once
// Builds device commands in the one send buffer and sends them. The update
// worker and the reply dispatcher both send through here, so building and
// sending happen under one lock: each message leaves whole and unchanged.

#include <array>
#include <cstdint>
#include <mutex>

#include "protocol/message_io.h"
#include "protocol/messages.h"

namespace vessa::protocol {

inline constexpr std::size_t kSendBufferSize = 65536;
inline constexpr std::int32_t kSent = 0;
inline constexpr std::int32_t kNotSent = -1;

class SysExSender {
 public:
  explicit SysExSender(MessageOutput& output) : output_(output) {}
  SysExSender(const SysExSender&) = delete;
  SysExSender& operator=(const SysExSender&) = delete;

  // Each returns 0 when the message went out, -1 when it did not.
  std::int32_t SendSysEx(const std::uint8_t* buffer, std::uint32_t length);
  std::int32_t SendAck(std::uint8_t code = kResultDone);
  std::int32_t SendWriteCommand(std::uint8_t modelByte, const std::uint8_t* data,
                                std::uint32_t address, std::uint32_t length);
  std::int32_t SendEraseCommand(std::uint8_t modelByte, std::uint32_t address,
                                std::uint32_t length);
  std::int32_t SendIdentityRequest();
  std::int32_t SendEnterUpdate();
  std::int32_t SendFinish();
  std::int32_t SendReadRequest(std::uint32_t address, std::uint32_t length);
  std::int32_t SendHostIdentityReply();

  // The worker adopts the unit's identity; every later command carries its
  // first byte (the model byte) at offset 3.
  void AdoptIdentity(const Identity& identity);
  // After a passed model check our own identity reply carries it too.
  void PublishHostIdentity();

  Identity CurrentIdentity() const;
  std::uint8_t ModelByte() const { return CurrentIdentity()[0]; }

 private:
  template <typename Build>
  std::int32_t BuildAndSend(Build build);
  std::int32_t SendLocked(const std::uint8_t* buffer, std::uint32_t length);

  mutable std::mutex mutex_;
  MessageOutput& output_;
  std::array<std::uint8_t, kSendBufferSize> sendBuffer_{};
  Identity currentIdentity_{};
  std::array<std::uint8_t, kIdentityReplySize> hostIdentityReply_ = kHostIdentityReplyTemplate;
};

}  // namespace vessa::protocol
