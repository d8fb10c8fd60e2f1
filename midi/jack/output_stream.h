#pragma once
// The send side of one JACK MIDI output port. A message crosses a lock-free
// ring to the process callback, which writes it as one MIDI event as soon as
// a period's buffer has room for it. Send waits until the callback has taken
// the message, or withdraws it when the time limit runs out first.

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <semaphore>

#include "midi/jack/client.h"

namespace vessa::midi::jack {

// The longest message the unit's two-byte length field can describe.
inline constexpr std::uint32_t kMaxMessageBytes = 16383;

class OutputStream final : public ProcessTarget {
 public:
  // port must stay registered while the stream is attached to a client.
  OutputStream(jack_port_t* port, const JackClient& client);
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  bool Valid() const { return ring_ != nullptr; }
  // Thread-safe; overlapping sends go out one after the other.
  bool Send(const std::uint8_t* data, std::uint32_t length, std::chrono::milliseconds limit);
  // Ends a send in progress and refuses later ones; the port is going away.
  void Close() { closed_.store(true); }

  void Process(jack_nframes_t frames) override;

 private:
  struct Header {
    std::uint64_t sequence;
    std::uint32_t length;
  };
  using Clock = std::chrono::steady_clock;

  bool Unusable() const { return closed_.load() || client_.ShutDown(); }
  bool WaitForRoom(std::size_t bytes, Clock::time_point deadline);
  bool WaitUntilTaken(std::uint64_t sequence, Clock::time_point deadline);
  // Settles a message for the callback; false when the sender withdrew it.
  bool Claim(std::uint64_t sequence);
  // Settles a message as withdrawn; false when the callback claimed it first.
  bool Withdraw(std::uint64_t sequence);

  jack_port_t* const port_;
  const JackClient& client_;
  jack_ringbuffer_t* const ring_;
  std::mutex sendMutex_;  // never taken by the callback
  std::uint64_t lastSequence_ = 0;
  // Sequence of the last settled message, shifted left by one; the low bit is
  // set when the sender withdrew it. Exactly one side wins each message.
  std::atomic<std::uint64_t> settled_{0};
  // Sequence of the last message written into a period's buffer.
  std::atomic<std::uint64_t> taken_{0};
  std::counting_semaphore<> takenSignal_{0};
  std::atomic<bool> closed_{false};
};

}  // namespace vessa::midi::jack
