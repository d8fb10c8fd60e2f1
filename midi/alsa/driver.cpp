#include "midi/alsa/driver.h"

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

#include "midi/alsa/input.h"
#include "midi/alsa/output.h"
#include "midi/alsa/port_names.h"
#include "midi/common/port_cache.h"

namespace vessa::midi::alsa {
namespace {

struct RawMidiPort {
  std::string name;
  std::string address;  // "hw:CARD,DEV,SUB"
};

using PortList = std::vector<RawMidiPort>;

void QuietErrorHandler(const char*, int, const char*, int, const char*, ...) {}

// libasound reports failures on stderr by default; a machine without sound
// cards must list nothing and say nothing, and the operator never sees
// platform texts anyway. Set once, before any other call of ours.
void SilenceAlsa() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&QuietErrorHandler); });
}

std::string Address(int card, int device, unsigned subdevice) {
  return "hw:" + std::to_string(card) + "," + std::to_string(device) + "," +
         std::to_string(subdevice);
}

// Appends one device's ports in one direction; nothing when the device has
// no stream that way.
void AddDevicePorts(snd_ctl_t* control, int card, int device, snd_rawmidi_stream_t stream,
                    PortList& ports) {
  snd_rawmidi_info_t* info = nullptr;
  snd_rawmidi_info_alloca(&info);
  snd_rawmidi_info_set_device(info, static_cast<unsigned>(device));
  snd_rawmidi_info_set_stream(info, stream);
  snd_rawmidi_info_set_subdevice(info, 0);
  if (snd_ctl_rawmidi_info(control, info) < 0) return;

  const std::string deviceName = snd_rawmidi_info_get_name(info);
  const unsigned count = snd_rawmidi_info_get_subdevices_count(info);
  std::vector<std::string> subdeviceNames;
  for (unsigned subdevice = 0; subdevice < count; ++subdevice) {
    snd_rawmidi_info_set_subdevice(info, subdevice);
    const bool known = snd_ctl_rawmidi_info(control, info) >= 0;
    subdeviceNames.emplace_back(known ? snd_rawmidi_info_get_subdevice_name(info) : "");
  }

  const std::vector<std::string> names = SubdevicePortNames(deviceName, subdeviceNames);
  for (unsigned subdevice = 0; subdevice < count; ++subdevice) {
    const std::string address = Address(card, device, subdevice);
    // A port must be listed under something the operator can pick.
    ports.push_back({names[subdevice].empty() ? address : names[subdevice], address});
  }
}

void AddCardPorts(int card, snd_rawmidi_stream_t stream, PortList& ports) {
  snd_ctl_t* control = nullptr;
  if (snd_ctl_open(&control, ("hw:" + std::to_string(card)).c_str(), 0) < 0) return;
  int device = -1;
  while (snd_ctl_rawmidi_next_device(control, &device) >= 0 && device >= 0) {
    AddDevicePorts(control, card, device, stream, ports);
  }
  snd_ctl_close(control);
}

PortList ListPorts(snd_rawmidi_stream_t stream) {
  SilenceAlsa();
  PortList ports;
  int card = -1;
  while (snd_card_next(&card) >= 0 && card >= 0) AddCardPorts(card, stream, ports);

  std::vector<std::string> names;
  for (const RawMidiPort& port : ports) names.push_back(port.name);
  NumberRepeatedNames(names);
  for (std::size_t i = 0; i < ports.size(); ++i) ports[i].name = names[i];
  return ports;
}

class AlsaDriver : public MidiDriver {
 public:
  std::uint32_t InputCount() override { return inputs_.Refresh(); }

  std::string InputName(std::uint32_t index) override {
    const auto port = inputs_.At(index);
    return port ? port->name : std::string();
  }

  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    const auto port = inputs_.At(index);
    if (!port) return nullptr;
    return OpenRawMidiInput(port->address, callback, instance);
  }

  std::uint32_t OutputCount() override { return outputs_.Refresh(); }

  std::string OutputName(std::uint32_t index) override {
    const auto port = outputs_.At(index);
    return port ? port->name : std::string();
  }

  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    const auto port = outputs_.At(index);
    if (!port) return nullptr;
    return OpenRawMidiOutput(port->address);
  }

 private:
  PortCache<RawMidiPort> inputs_{[] { return ListPorts(SND_RAWMIDI_STREAM_INPUT); }};
  PortCache<RawMidiPort> outputs_{[] { return ListPorts(SND_RAWMIDI_STREAM_OUTPUT); }};
};

}  // namespace

std::unique_ptr<MidiDriver> CreateAlsaDriver() {
  return std::make_unique<AlsaDriver>();
}

}  // namespace vessa::midi::alsa
