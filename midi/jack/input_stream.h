#pragma once
// The receive side of one JACK MIDI input port. The process callback copies
// every incoming event into a lock-free ring; a delivery thread of ours takes
// complete messages out and hands each to the sink, so nothing on the
// real-time thread allocates or calls into a port.

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <semaphore>
#include <span>
#include <thread>
#include <vector>

#include "midi/jack/client.h"

namespace vessa::midi::jack {

class InputStream final : public ProcessTarget {
 public:
  // Called on the delivery thread, once per received event, in order.
  using Sink = std::function<void(std::span<const std::uint8_t> message)>;

  // port must stay registered until Stop has returned.
  InputStream(jack_port_t* port, Sink sink);
  ~InputStream();
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  bool Valid() const { return ring_ != nullptr; }
  // Ends the delivery thread after it has handed on what is already queued.
  void Stop();

  void Process(jack_nframes_t frames) override;

 private:
  void DeliveryLoop();
  bool DeliverOne(std::vector<std::uint8_t>& scratch);

  jack_port_t* const port_;
  const Sink sink_;
  jack_ringbuffer_t* const ring_;
  std::counting_semaphore<> pending_{0};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace vessa::midi::jack
