#include "protocol/reply_dispatcher.h"

#include <algorithm>

#include "protocol/crc32.h"
#include "protocol/encodings.h"
#include "protocol/messages.h"

namespace vessa::protocol {
namespace {

// Shortest messages that carry the bytes each handler reads.
constexpr std::size_t kMinCommandSize = kCommandOffset + 1;
constexpr std::size_t kMinAckSize = kAckResultOffset + 1;
constexpr std::size_t kMinUniversalSize = 5;
constexpr std::size_t kMinIdentityReplySize = kIdentityOffset + 4;
constexpr std::size_t kMinReadReplyHeadSize = kReadReplyDataOffset;

}  // namespace

ReplyDispatcher::ReplyDispatcher(MessageQueue& queue, SysExSender& sender, ReplySlot& slot)
    : queue_(queue), sender_(sender), slot_(slot), readBackBuffer_(kReadBackBufferSize) {}

void ReplyDispatcher::HandleReplies() {
  for (auto m = queue_.FrontMessage(); m.has_value(); m = queue_.FrontMessage()) {
    HandleMessage(*m);
    queue_.PopMessage();
  }
}

void ReplyDispatcher::HandleMessage(std::span<const std::uint8_t> m) {
  if (m.size() < 2 || m[0] != kSysExStart) return;
  if (m[1] == kDeviceFamily) {
    HandleDeviceCommand(m);
  } else if (m[1] == kUniversalFamily) {
    HandleUniversal(m);
  }
}

void ReplyDispatcher::HandleDeviceCommand(std::span<const std::uint8_t> m) {
  if (m.size() < kMinCommandSize) return;
  switch (m[kCommandOffset]) {
    case kAck:
      if (m.size() >= kMinAckSize) slot_.PostStatus(m[kAckResultOffset]);
      return;
    case kWrite:
      slot_.PostStatus(kStatusSuccess);
      return;
    case kReserved03:
      return;
    case kEnterUpdate:
    case kFinish:
    case kReserved05:
      sender_.SendAck(kResultDone);
      return;
    case kRead:
      HandleReadReply(m);
      return;
    default:
      sender_.SendAck(kResultNotRecognised);
      return;
  }
}

void ReplyDispatcher::HandleUniversal(std::span<const std::uint8_t> m) {
  if (m.size() < kMinUniversalSize || m[3] != kGeneralInformation) return;
  switch (m[4]) {
    case kIdentityRequestSubId:
      sender_.SendHostIdentityReply();
      return;
    case kIdentityReplySubId:
      if (m.size() >= kMinIdentityReplySize) {
        slot_.PostIdentity({m[kIdentityOffset], m[kIdentityOffset + 1], m[kIdentityOffset + 2],
                            m[kIdentityOffset + 3]});
      }
      return;
    default:
      sender_.SendAck(kResultNotRecognised);
      return;
  }
}

void ReplyDispatcher::HandleReadReply(std::span<const std::uint8_t> m) {
  if (m.size() <= kReadReplyKindOffset) return;
  if (m[kReadReplyKindOffset] != kReadReplyWithData) {
    slot_.Signal();
    return;
  }
  if (m.size() <= kReadReplyMarkerOffset) return;
  if (m[kReadReplyMarkerOffset] != kReadRequestMarker) {
    slot_.PostStatus(kStatusFailure);
    return;
  }
  if (m.size() < kMinReadReplyHeadSize) return;
  const std::uint32_t n = DecodeTwoByteLength(&m[kReadReplyLengthOffset]);
  const std::uint32_t packed = PackedLength(n);
  if (m.size() < kReadReplyDataOffset + packed + kSevenBitIntSize) return;

  bool verified = false;
  {
    std::lock_guard lock(readBackMutex_);
    const auto offset = static_cast<std::size_t>(readBackOffset_);
    // A reply that would not fit writes nothing and counts as a failed check.
    if (offset + n <= readBackBuffer_.size()) {
      std::uint8_t* target = readBackBuffer_.data() + offset;
      UnpackData(target, &m[kReadReplyDataOffset], packed);
      const std::uint32_t sent = DecodeSevenBitInt(&m[kReadReplyDataOffset + packed]);
      verified = Crc32(target, n) == sent;
      if (verified) readBackOffset_ += static_cast<std::int32_t>(n);
    }
  }
  slot_.PostStatus(verified ? kStatusSuccess : kStatusFailure);
}

void ReplyDispatcher::SetReadBackOffset(std::int32_t offset) {
  std::lock_guard lock(readBackMutex_);
  readBackOffset_ = offset;
}

std::int32_t ReplyDispatcher::ReadBackOffset() const {
  std::lock_guard lock(readBackMutex_);
  return readBackOffset_;
}

std::vector<std::uint8_t> ReplyDispatcher::ReadBack(std::size_t offset, std::size_t count) const {
  std::lock_guard lock(readBackMutex_);
  if (offset > readBackBuffer_.size()) return {};
  count = std::min(count, readBackBuffer_.size() - offset);
  return {readBackBuffer_.begin() + static_cast<std::ptrdiff_t>(offset),
          readBackBuffer_.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

}  // namespace vessa::protocol
