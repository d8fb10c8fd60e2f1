#pragma once
// Input connections of the raw MIDI backend: a reader thread frames the
// device's byte stream into SysEx messages and hands them to the port
// through the shared receive-buffer hand-off.

#include <memory>
#include <string>

#include "midi/alsa/byte_stream.h"
#include "midi/common/input_delivery.h"
#include "midi/driver.h"

namespace vessa::midi::alsa {

// An input connection over any byte source; reads only between Start and
// Stop (or Reset, or Close).
class StreamInput : public InputConnection {
 public:
  StreamInput(std::unique_ptr<ByteSource> source, InputCallback callback, void* instance);
  ~StreamInput() override;

  bool AddBuffer(MidiHeader* header) override;
  bool Start() override;
  bool Stop() override;
  bool Reset() override;
  bool Close() override;

 private:
  std::unique_ptr<ByteSource> source_;
  InputDelivery delivery_;
  ByteStreamReader reader_;
  bool closed_ = false;
};

// Opens a raw MIDI input device by its ALSA name ("hw:CARD,DEV,SUB");
// null when it cannot be opened.
std::unique_ptr<InputConnection> OpenRawMidiInput(const std::string& device, InputCallback callback,
                                                  void* instance);

}  // namespace vessa::midi::alsa
