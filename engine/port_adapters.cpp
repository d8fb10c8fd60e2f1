#include "engine/port_adapters.h"

namespace vessa::engine {

bool OutPortOutput::SendMessage(const std::uint8_t* data, std::uint32_t length) {
  midi::MidiHeader header;
  // The header type is shared with input buffers; an output send never writes.
  header.data = const_cast<std::uint8_t*>(data);
  header.bufferLength = length;
  const bool sent = port_.SendLongMessage(&header) == 1;
  if (sent && trace_) trace_(TraceDirection::kSent, {data, length});
  return sent;
}

std::optional<std::span<const std::uint8_t>> InPortQueue::FrontMessage() {
  const auto message = port_.FrontMessage();
  if (message.data() == nullptr) return std::nullopt;
  if (!frontTraced_ && trace_) trace_(TraceDirection::kReceived, message);
  frontTraced_ = true;
  return message;
}

void InPortQueue::PopMessage() {
  frontTraced_ = false;
  port_.PopMessage();
}

}  // namespace vessa::engine
