#pragma once
// Adapters from the MIDI ports to what the protocol needs, with an optional
// trace of every message that goes out or comes in.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "midi/midi_in_port.h"
#include "midi/midi_out_port.h"
#include "protocol/message_io.h"

namespace vessa::engine {

enum class TraceDirection { kSent, kReceived };

// Called on the worker's or the timer's thread; must be safe for both.
using MessageTrace = std::function<void(TraceDirection, std::span<const std::uint8_t>)>;

// Sends each message as one long message through the output port and returns
// once the port reports it done.
class OutPortOutput : public protocol::MessageOutput {
 public:
  OutPortOutput(midi::MidiOutPort& port, const MessageTrace& trace) : port_(port), trace_(trace) {}
  bool SendMessage(const std::uint8_t* data, std::uint32_t length) override;

 private:
  midi::MidiOutPort& port_;
  const MessageTrace& trace_;
};

// The input port's queue of received messages, as the dispatcher reads it.
class InPortQueue : public protocol::MessageQueue {
 public:
  InPortQueue(midi::MidiInPort& port, const MessageTrace& trace) : port_(port), trace_(trace) {}
  std::optional<std::span<const std::uint8_t>> FrontMessage() override;
  void PopMessage() override;

 private:
  midi::MidiInPort& port_;
  const MessageTrace& trace_;
  bool frontTraced_ = false;  // the dispatcher may look at the front more than once
};

}  // namespace vessa::engine
