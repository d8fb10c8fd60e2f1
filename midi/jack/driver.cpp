#include "midi/jack/driver.h"

#include <jack/jack.h>

#include <atomic>
#include <mutex>
#include <vector>

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

// An index means the port that stood at that place when the list was last
// counted, which is what the operator saw.
class PortList {
 public:
  explicit PortList(unsigned long direction) : direction_(direction) {}

  std::uint32_t Refresh() {
    std::vector<ListedPort> fresh = ListOtherPorts(SharedClient().get(), direction_);
    std::lock_guard lock(mutex_);
    ports_ = std::move(fresh);
    counted_.store(true);
    return static_cast<std::uint32_t>(ports_.size());
  }

  // Empty when the index is past the list. Counts first if nobody has yet.
  ListedPort At(std::uint32_t index) {
    if (!counted_.load()) Refresh();
    std::lock_guard lock(mutex_);
    return index < ports_.size() ? ports_[index] : ListedPort{};
  }

 private:
  const unsigned long direction_;
  std::mutex mutex_;
  std::vector<ListedPort> ports_;
  std::atomic<bool> counted_{false};
};

class JackDriver : public MidiDriver {
 public:
  std::uint32_t InputCount() override { return inputs_.Refresh(); }
  std::string InputName(std::uint32_t index) override { return inputs_.At(index).listedName; }
  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    const ListedPort source = inputs_.At(index);
    if (source.fullName.empty()) return nullptr;
    return JackInput::Open(SharedClient(), source.fullName, callback, instance);
  }

  std::uint32_t OutputCount() override { return outputs_.Refresh(); }
  std::string OutputName(std::uint32_t index) override { return outputs_.At(index).listedName; }
  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    const ListedPort destination = outputs_.At(index);
    if (destination.fullName.empty()) return nullptr;
    return JackOutput::Open(SharedClient(), destination.fullName);
  }

 private:
  // Our inputs listen to other clients' outputs, and the other way round.
  PortList inputs_{JackPortIsOutput};
  PortList outputs_{JackPortIsInput};
};

}  // namespace

std::unique_ptr<MidiDriver> CreateJackDriver() {
  return std::make_unique<JackDriver>();
}

}  // namespace vessa::midi::jack
