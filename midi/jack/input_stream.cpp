#include "midi/jack/input_stream.h"

#include <jack/midiport.h>

#include <vector>

namespace vessa::midi::jack {
namespace {

// Room for a burst of large messages while the delivery thread is descheduled.
constexpr std::size_t kRingBytes = 1 << 20;
using LengthField = std::uint32_t;

}  // namespace

InputStream::InputStream(jack_port_t* port, Sink sink)
    : port_(port), sink_(std::move(sink)), ring_(jack_ringbuffer_create(kRingBytes)) {
  if (ring_ != nullptr) thread_ = std::thread([this] { DeliveryLoop(); });
}

InputStream::~InputStream() {
  Stop();
  if (ring_ != nullptr) jack_ringbuffer_free(ring_);
}

void InputStream::Stop() {
  if (!thread_.joinable()) return;
  stopping_.store(true);
  pending_.release();
  thread_.join();
}

void InputStream::Process(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(port_, frames);
  const std::uint32_t count = jack_midi_get_event_count(buffer);
  bool wrote = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
    const LengthField length = static_cast<LengthField>(event.size);
    // A full ring drops the message; the sender's retry brings it again.
    if (jack_ringbuffer_write_space(ring_) < sizeof length + length) continue;
    jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(&length), sizeof length);
    jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(event.buffer), length);
    wrote = true;
  }
  if (wrote) pending_.release();
}

bool InputStream::DeliverOne(std::vector<std::uint8_t>& scratch) {
  LengthField length = 0;
  // The writer may be between the length and the bytes; take a message only
  // once all of it is there.
  const std::size_t available = jack_ringbuffer_read_space(ring_);
  if (available < sizeof length) return false;
  jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&length), sizeof length);
  if (available < sizeof length + length) return false;
  jack_ringbuffer_read_advance(ring_, sizeof length);
  scratch.resize(length);
  jack_ringbuffer_read(ring_, reinterpret_cast<char*>(scratch.data()), length);
  sink_(scratch);
  return true;
}

void InputStream::DeliveryLoop() {
  std::vector<std::uint8_t> scratch;
  while (true) {
    pending_.acquire();
    while (DeliverOne(scratch)) {
    }
    if (stopping_.load()) return;
  }
}

}  // namespace vessa::midi::jack
