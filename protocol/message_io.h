#pragma once
// What the protocol needs of the MIDI transport: a way to send one complete
// message and a queue of received ones. The ports implement these (through
// small adapters), and tests can fake them.

#include <cstdint>
#include <optional>
#include <span>

namespace vessa::protocol {

class MessageOutput {
 public:
  virtual ~MessageOutput() = default;
  // Sends one complete SysEx message synchronously; true once it has gone.
  virtual bool SendMessage(const std::uint8_t* data, std::uint32_t length) = 0;
};

class MessageQueue {
 public:
  virtual ~MessageQueue() = default;
  // The oldest received message with its length, or nothing when the queue is empty.
  virtual std::optional<std::span<const std::uint8_t>> FrontMessage() = 0;
  virtual void PopMessage() = 0;
};

}  // namespace vessa::protocol
