#pragma once
// Shared helpers for the JACK tests: tagged SysEx messages and a receiver
// that behaves like the input port (one buffer, given back in the callback).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "midi/driver.h"

namespace vessa::midi::jack::testing {

using Bytes = std::vector<std::uint8_t>;

// F0 7D <sequence, two 7-bit bytes> <pattern derived from the sequence> F7.
// The smallest message that still carries a sequence is 5 bytes.
inline Bytes TaggedMessage(std::uint32_t sequence, std::size_t size) {
  Bytes message(size);
  message[0] = 0xF0;
  message[1] = 0x7D;
  message[2] = static_cast<std::uint8_t>((sequence >> 7) & 0x7F);
  message[3] = static_cast<std::uint8_t>(sequence & 0x7F);
  for (std::size_t i = 4; i + 1 < size; ++i) {
    message[i] = static_cast<std::uint8_t>((sequence * 31 + i * 7) & 0x7F);
  }
  message[size - 1] = 0xF7;
  return message;
}

inline std::uint32_t SequenceOf(const Bytes& message) {
  if (message.size() < 4) return 0;
  return (std::uint32_t{message[2]} << 7) | message[3];
}

class BufferReceiver {
 public:
  explicit BufferReceiver(std::uint32_t bufferLength) : storage_(bufferLength) {
    header_.data = storage_.data();
    header_.bufferLength = bufferLength;
  }

  static void Callback(void* instance, InputEvent event, MidiHeader* header) {
    static_cast<BufferReceiver*>(instance)->OnEvent(event, header);
  }

  // Adds the one buffer and starts input.
  bool Attach(InputConnection* connection) {
    connection_ = connection;
    return connection->AddBuffer(&header_) && connection->Start();
  }

  std::optional<Bytes> Next(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, limit, [this] { return !pieces_.empty(); })) return std::nullopt;
    Bytes piece = std::move(pieces_.front());
    pieces_.pop_front();
    return piece;
  }

 private:
  void OnEvent(InputEvent event, MidiHeader* header) {
    if (event != InputEvent::kLongData) return;
    const std::uint32_t recorded = header->bytesRecorded.load();
    if (recorded == 0) return;
    {
      std::lock_guard lock(mutex_);
      pieces_.emplace_back(header->data, header->data + recorded);
    }
    arrived_.notify_all();
    connection_->AddBuffer(header);
  }

  Bytes storage_;
  MidiHeader header_;
  InputConnection* connection_ = nullptr;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Bytes> pieces_;
};

}  // namespace vessa::midi::jack::testing
