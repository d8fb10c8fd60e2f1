#include "midi/jack/virtual_ports.h"

#include <jack/midiport.h>

#include <optional>

#include "midi/driver.h"
#include "midi/jack/client.h"
#include "midi/jack/input_stream.h"
#include "midi/jack/output_stream.h"

namespace vessa::midi::jack {
namespace {

constexpr char kInputPort[] = "in";
constexpr char kOutputPort[] = "out";

class JackVirtualPortPair : public VirtualPortPair {
 public:
  JackVirtualPortPair(std::shared_ptr<JackClient> client, jack_port_t* input, jack_port_t* output,
                      VirtualPortReceiver receiver)
      : client_(std::move(client)),
        name_(jack_get_client_name(client_->Handle())),
        input_(input),
        output_(output),
        receiver_(std::move(receiver)),
        outputStream_(output, *client_),
        inputStream_(input, [this](std::span<const std::uint8_t> message) {
          if (message.front() == kSysExStart && receiver_) receiver_(*this, message);
        }) {}

  ~JackVirtualPortPair() override {
    outputStream_.Close();
    client_->Detach(&inputStream_);
    client_->Detach(&outputStream_);
    inputStream_.Stop();
  }

  bool Attach() {
    return inputStream_.Valid() && outputStream_.Valid() && client_->Attach(&inputStream_) &&
           client_->Attach(&outputStream_);
  }

  bool Send(std::span<const std::uint8_t> message, std::chrono::milliseconds limit) override {
    return outputStream_.Send(message.data(), static_cast<std::uint32_t>(message.size()), limit);
  }
  const std::string& ClientName() const override { return name_; }
  std::string InputPortName() const override { return jack_port_name(input_); }
  std::string OutputPortName() const override { return jack_port_name(output_); }

 private:
  const std::shared_ptr<JackClient> client_;
  const std::string name_;
  jack_port_t* const input_;
  jack_port_t* const output_;
  const VirtualPortReceiver receiver_;
  OutputStream outputStream_;
  InputStream inputStream_;
};

}  // namespace

std::unique_ptr<VirtualPortPair> OpenVirtualPorts(const std::string& clientName,
                                                  VirtualPortReceiver receiver) {
  std::shared_ptr<JackClient> client = JackClient::Open(clientName, true);
  if (client == nullptr) return nullptr;
  jack_port_t* input =
      jack_port_register(client->Handle(), kInputPort, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_port_t* output = jack_port_register(client->Handle(), kOutputPort, JACK_DEFAULT_MIDI_TYPE,
                                           JackPortIsOutput, 0);
  if (input == nullptr || output == nullptr) return nullptr;
  auto pair = std::make_unique<JackVirtualPortPair>(client, input, output, std::move(receiver));
  if (!pair->Attach()) return nullptr;
  return pair;
}

}  // namespace vessa::midi::jack
