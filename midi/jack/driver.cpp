#include "midi/jack/driver.h"

#include <jack/jack.h>

#include <vector>

#include "midi/common/port_cache.h"
#include "midi/jack/client.h"
#include "midi/jack/input.h"
#include "midi/jack/output.h"
#include "midi/jack/port_names.h"

namespace vessa::midi::jack {
namespace {

struct ListedPort {
  std::string fullName;
  std::string listedName;
};

// MIDI ports of other clients whose flags include `direction`.
std::vector<ListedPort> ListOtherPorts(JackClient* client, unsigned long direction) {
  std::vector<std::string> fullNames;
  if (client != nullptr) {
    const char** ports =
        jack_get_ports(client->Handle(), nullptr, JACK_DEFAULT_MIDI_TYPE, direction);
    for (const char** name = ports; name != nullptr && *name != nullptr; ++name) {
      jack_port_t* port = jack_port_by_name(client->Handle(), *name);
      if (port != nullptr && !jack_port_is_mine(client->Handle(), port))
        fullNames.emplace_back(*name);
    }
    jack_free(ports);
  }
  const std::vector<std::string> listed = ListedNames(fullNames);
  std::vector<ListedPort> result;
  for (std::size_t i = 0; i < fullNames.size(); ++i) result.push_back({fullNames[i], listed[i]});
  return result;
}

class JackDriver : public MidiDriver {
 public:
  std::uint32_t InputCount() override { return inputs_.Refresh(); }
  std::string InputName(std::uint32_t index) override {
    return inputs_.At(index).value_or(ListedPort{}).listedName;
  }
  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    const auto source = inputs_.At(index);
    if (!source) return nullptr;
    return JackInput::Open(SharedClient(), source->fullName, callback, instance);
  }

  std::uint32_t OutputCount() override { return outputs_.Refresh(); }
  std::string OutputName(std::uint32_t index) override {
    return outputs_.At(index).value_or(ListedPort{}).listedName;
  }
  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    const auto destination = outputs_.At(index);
    if (!destination) return nullptr;
    return JackOutput::Open(SharedClient(), destination->fullName);
  }

 private:
  // Our inputs listen to other clients' outputs, and the other way round.
  PortCache<ListedPort> inputs_{
      [] { return ListOtherPorts(SharedClient().get(), JackPortIsOutput); }};
  PortCache<ListedPort> outputs_{
      [] { return ListOtherPorts(SharedClient().get(), JackPortIsInput); }};
};

}  // namespace

std::unique_ptr<MidiDriver> CreateJackDriver() {
  return std::make_unique<JackDriver>();
}

}  // namespace vessa::midi::jack
