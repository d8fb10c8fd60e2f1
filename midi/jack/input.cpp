#include "midi/jack/input.h"

namespace vessa::midi::jack {

std::unique_ptr<JackInput> JackInput::Open(std::shared_ptr<JackClient> client,
                                           const std::string& sourcePort, InputCallback callback,
                                           void* instance) {
  if (client == nullptr || callback == nullptr) return nullptr;
  jack_port_t* port = client->RegisterMidiPort("in", JackPortIsInput);
  if (port == nullptr) return nullptr;
  std::unique_ptr<JackInput> input(new JackInput(client, port, callback, instance));
  if (!input->stream_.Valid() || !client->Attach(&input->stream_)) return nullptr;
  if (!client->Connect(sourcePort.c_str(), jack_port_name(port))) return nullptr;
  return input;
}

JackInput::JackInput(std::shared_ptr<JackClient> client, jack_port_t* port, InputCallback callback,
                     void* instance)
    : client_(std::move(client)),
      port_(port),
      delivery_(callback, instance),
      stream_(port, [this](std::span<const std::uint8_t> message) {
        delivery_.DeliverMessage(message);
      }) {}

JackInput::~JackInput() {
  Close();
}

bool JackInput::AddBuffer(MidiHeader* header) {
  return delivery_.AddBuffer(header);
}

bool JackInput::Start() {
  delivery_.Start();
  return true;
}

bool JackInput::Stop() {
  delivery_.Stop();
  return true;
}

bool JackInput::Reset() {
  delivery_.Reset();
  return true;
}

bool JackInput::Close() {
  if (closed_) return true;
  closed_ = true;
  // Nothing new enters the ring once detached; what is already queued is
  // dropped by the closed delivery rather than handed to the port.
  client_->Detach(&stream_);
  client_->UnregisterPort(port_);
  delivery_.Close();
  stream_.Stop();
  return true;
}

}  // namespace vessa::midi::jack
