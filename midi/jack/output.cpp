#include "midi/jack/output.h"

namespace vessa::midi::jack {

std::unique_ptr<JackOutput> JackOutput::Open(std::shared_ptr<JackClient> client,
                                             const std::string& destinationPort) {
  if (client == nullptr) return nullptr;
  jack_port_t* port = client->RegisterMidiPort("out", JackPortIsOutput);
  if (port == nullptr) return nullptr;
  std::unique_ptr<JackOutput> output(new JackOutput(client, port));
  if (!output->stream_.Valid() || !client->Attach(&output->stream_)) return nullptr;
  if (!client->Connect(jack_port_name(port), destinationPort.c_str())) return nullptr;
  return output;
}

JackOutput::JackOutput(std::shared_ptr<JackClient> client, jack_port_t* port)
    : client_(std::move(client)), port_(port), stream_(port, *client_) {}

JackOutput::~JackOutput() {
  Close();
}

bool JackOutput::Send(const std::uint8_t* data, std::uint32_t length,
                      std::chrono::milliseconds limit) {
  return stream_.Send(data, length, limit);
}

bool JackOutput::Close() {
  if (closed_.exchange(true)) return true;
  stream_.Close();
  client_->Detach(&stream_);
  client_->UnregisterPort(port_);
  return true;
}

}  // namespace vessa::midi::jack
