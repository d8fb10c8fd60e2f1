#pragma once
// The host's input connection to one JACK MIDI output port of another client.

#include <memory>
#include <string>

#include "midi/common/input_delivery.h"
#include "midi/driver.h"
#include "midi/jack/client.h"
#include "midi/jack/input_stream.h"

namespace vessa::midi::jack {

class JackInput : public InputConnection {
 public:
  // Registers an input port of ours and connects sourcePort to it. Null on
  // any failure, with nothing left registered.
  static std::unique_ptr<JackInput> Open(std::shared_ptr<JackClient> client,
                                         const std::string& sourcePort, InputCallback callback,
                                         void* instance);
  ~JackInput() override;

  bool AddBuffer(MidiHeader* header) override;
  bool Start() override;
  bool Stop() override;
  bool Reset() override;
  bool Close() override;

 private:
  JackInput(std::shared_ptr<JackClient> client, jack_port_t* port, InputCallback callback,
            void* instance);

  const std::shared_ptr<JackClient> client_;
  jack_port_t* const port_;
  InputDelivery delivery_;
  InputStream stream_;
  bool closed_ = false;
};

}  // namespace vessa::midi::jack
