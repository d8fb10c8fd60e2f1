#pragma once
// The host's output connection to one JACK MIDI input port of another client.

#include <memory>
#include <string>

#include "midi/driver.h"
#include "midi/jack/client.h"
#include "midi/jack/output_stream.h"

namespace vessa::midi::jack {

class JackOutput : public OutputConnection {
 public:
  // Registers an output port of ours and connects it to destinationPort.
  // Null on any failure, with nothing left registered.
  static std::unique_ptr<JackOutput> Open(std::shared_ptr<JackClient> client,
                                          const std::string& destinationPort);
  ~JackOutput() override;

  bool Send(const std::uint8_t* data, std::uint32_t length,
            std::chrono::milliseconds limit) override;
  bool Close() override;

 private:
  JackOutput(std::shared_ptr<JackClient> client, jack_port_t* port);

  const std::shared_ptr<JackClient> client_;
  jack_port_t* const port_;
  OutputStream stream_;
  std::atomic<bool> closed_{false};
};

}  // namespace vessa::midi::jack
