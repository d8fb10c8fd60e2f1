#include "midi/jack/output_stream.h"

#include <jack/midiport.h>

#include <algorithm>
#include <thread>

namespace vessa::midi::jack {
namespace {

// Room for at least two full messages, so a withdrawn one still waiting to be
// skipped does not hold up the next send.
constexpr std::size_t kRingBytes = 1 << 16;
// How often a waiting send looks at the server's state.
constexpr auto kWaitSlice = std::chrono::milliseconds(50);
constexpr std::uint64_t kWithdrawnBit = 1;

}  // namespace

OutputStream::OutputStream(jack_port_t* port, const JackClient& client)
    : port_(port), client_(client), ring_(jack_ringbuffer_create(kRingBytes)) {}

OutputStream::~OutputStream() {
  if (ring_ != nullptr) jack_ringbuffer_free(ring_);
}

bool OutputStream::Send(const std::uint8_t* data, std::uint32_t length,
                        std::chrono::milliseconds limit) {
  if (data == nullptr || length == 0 || length > kMaxMessageBytes) return false;
  std::lock_guard lock(sendMutex_);
  if (Unusable()) return false;
  const Clock::time_point deadline = Clock::now() + limit;
  const Header header{lastSequence_ + 1, length};
  if (!WaitForRoom(sizeof header + length, deadline)) return false;
  lastSequence_ = header.sequence;
  jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(&header), sizeof header);
  jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(data), length);
  return WaitUntilTaken(header.sequence, deadline);
}

bool OutputStream::WaitForRoom(std::size_t bytes, Clock::time_point deadline) {
  // Only withdrawn messages the callback has not yet skipped can fill the ring.
  while (jack_ringbuffer_write_space(ring_) < bytes) {
    if (Unusable() || Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool OutputStream::WaitUntilTaken(std::uint64_t sequence, Clock::time_point deadline) {
  while (taken_.load() < sequence) {
    if (Unusable()) return false;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      if (Withdraw(sequence)) return false;
      // The callback claimed it and writes it in this period or the next.
      deadline = now + kWaitSlice;
    }
    takenSignal_.try_acquire_until(std::min(deadline, now + kWaitSlice));
  }
  return true;
}

bool OutputStream::Claim(std::uint64_t sequence) {
  std::uint64_t seen = settled_.load();
  if ((seen >> 1) == sequence) return (seen & kWithdrawnBit) == 0;
  return settled_.compare_exchange_strong(seen, sequence << 1) || (seen & kWithdrawnBit) == 0;
}

bool OutputStream::Withdraw(std::uint64_t sequence) {
  std::uint64_t seen = settled_.load();
  if ((seen >> 1) == sequence) return (seen & kWithdrawnBit) != 0;
  return settled_.compare_exchange_strong(seen, (sequence << 1) | kWithdrawnBit) ||
         (seen & kWithdrawnBit) != 0;
}

void OutputStream::Process(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(port_, frames);
  jack_midi_clear_buffer(buffer);
  Header header{};
  while (jack_ringbuffer_read_space(ring_) >= sizeof header) {
    jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&header), sizeof header);
    if (jack_ringbuffer_read_space(ring_) < sizeof header + header.length) return;
    const bool fits = jack_midi_max_event_size(buffer) >= header.length;
    // A message that does not fit this period waits for the next one; it is
    // claimed only once it can be written whole.
    if (fits && !Claim(header.sequence)) {
      jack_ringbuffer_read_advance(ring_, sizeof header + header.length);
      continue;
    }
    if (!fits) return;
    jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, header.length);
    if (event == nullptr) return;
    jack_ringbuffer_read_advance(ring_, sizeof header);
    jack_ringbuffer_read(ring_, reinterpret_cast<char*>(event), header.length);
    taken_.store(header.sequence);
    takenSignal_.release();
  }
}

}  // namespace vessa::midi::jack
