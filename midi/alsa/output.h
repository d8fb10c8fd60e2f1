#pragma once
// Output connections of the raw MIDI backend: each message is written whole,
// waiting for room as needed, and drained, within the sender's time limit.

#include <memory>
#include <string>

#include "midi/alsa/byte_stream.h"
#include "midi/driver.h"

namespace vessa::midi::alsa {

// An output connection over any byte sink. Sends and Close are serialised by
// the caller (the output port).
class StreamOutput : public OutputConnection {
 public:
  explicit StreamOutput(std::unique_ptr<ByteSink> sink) : sink_(std::move(sink)) {}

  bool Send(const std::uint8_t* data, std::uint32_t length,
            std::chrono::milliseconds limit) override;
  bool Close() override;

 private:
  std::unique_ptr<ByteSink> sink_;
};

// Opens a raw MIDI output device by its ALSA name ("hw:CARD,DEV,SUB");
// null when it cannot be opened.
std::unique_ptr<OutputConnection> OpenRawMidiOutput(const std::string& device);

}  // namespace vessa::midi::alsa
