#include "protocol/reply_slot.h"

namespace vessa::protocol {

void ReplySlot::PostStatus(std::int32_t status) {
  std::lock_guard lock(postMutex_);
  if (closing_.load()) return;
  status_.store(status);
  event_.Set();
}

void ReplySlot::PostIdentity(const Identity& identity) {
  std::lock_guard lock(postMutex_);
  if (closing_.load()) return;
  const std::uint32_t packed = identity[0] | (identity[1] << 8) | (identity[2] << 16) |
                               (static_cast<std::uint32_t>(identity[3]) << 24);
  identity_.store(packed);
  status_.store(kStatusSuccess);
  event_.Set();
}

void ReplySlot::Signal() {
  std::lock_guard lock(postMutex_);
  if (closing_.load()) return;
  event_.Set();
}

void ReplySlot::Close() {
  std::lock_guard lock(postMutex_);
  closing_.store(true);
  status_.store(kStatusClosing);
  event_.Set();
}

Identity ReplySlot::DeviceIdentity() const {
  const std::uint32_t packed = identity_.load();
  return {static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
          static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 24)};
}

}  // namespace vessa::protocol
