#pragma once
// Turns the unit's messages into a status for the waiting worker, and answers
// the unit's own requests. Runs on the periodic timer's thread, one tick at a
// time; each call empties the queue.

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "protocol/message_io.h"
#include "protocol/reply_slot.h"
#include "protocol/sysex_sender.h"

namespace vessa::protocol {

inline constexpr std::size_t kReadBackBufferSize = 5824512;

class ReplyDispatcher {
 public:
  ReplyDispatcher(MessageQueue& queue, SysExSender& sender, ReplySlot& slot);

  void HandleReplies();

  // The worker's side of the read-back data.
  void SetReadBackOffset(std::int32_t offset);
  std::int32_t ReadBackOffset() const;
  // A copy of count bytes of the read-back buffer from offset on.
  std::vector<std::uint8_t> ReadBack(std::size_t offset, std::size_t count) const;

 private:
  void HandleMessage(std::span<const std::uint8_t> m);
  void HandleDeviceCommand(std::span<const std::uint8_t> m);
  void HandleUniversal(std::span<const std::uint8_t> m);
  void HandleReadReply(std::span<const std::uint8_t> m);

  MessageQueue& queue_;
  SysExSender& sender_;
  ReplySlot& slot_;

  mutable std::mutex readBackMutex_;  // the worker reads while a late reply may land
  std::vector<std::uint8_t> readBackBuffer_;
  std::int32_t readBackOffset_ = 0;
};

}  // namespace vessa::protocol
