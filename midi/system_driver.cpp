#include "midi/system_driver.h"

#include <memory>
#include <vector>

#include "midi/alsa/driver.h"
#include "midi/jack/driver.h"

namespace vessa::midi {

namespace {

// Lists its backends one after the other, in a fixed order. Counts are asked
// afresh on every call, since devices come and go.
class CompositeDriver : public MidiDriver {
 public:
  CompositeDriver()
      : loopback_(loopback::CreateLoopbackDriver()),
        alsa_(alsa::CreateAlsaDriver()),
        jack_(jack::CreateJackDriver()),
        backends_{loopback_.get(), alsa_.get(), jack_.get()} {}

  loopback::LoopbackDriver& Loopback() { return *loopback_; }

  std::uint32_t InputCount() override { return Total(&MidiDriver::InputCount); }
  std::uint32_t OutputCount() override { return Total(&MidiDriver::OutputCount); }

  std::string InputName(std::uint32_t index) override {
    MidiDriver* backend = FindInput(index);
    return backend ? backend->InputName(index) : std::string();
  }
  std::string OutputName(std::uint32_t index) override {
    MidiDriver* backend = FindOutput(index);
    return backend ? backend->OutputName(index) : std::string();
  }

  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    MidiDriver* backend = FindInput(index);
    return backend ? backend->OpenInput(index, callback, instance) : nullptr;
  }
  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    MidiDriver* backend = FindOutput(index);
    return backend ? backend->OpenOutput(index) : nullptr;
  }

 private:
  using Count = std::uint32_t (MidiDriver::*)();

  std::uint32_t Total(Count count) {
    std::uint32_t total = 0;
    for (MidiDriver* backend : backends_) total += (backend->*count)();
    return total;
  }
  // Turns a global index into the backend that lists it and its local index.
  MidiDriver* Find(Count count, std::uint32_t& index) {
    for (MidiDriver* backend : backends_) {
      const std::uint32_t listed = (backend->*count)();
      if (index < listed) return backend;
      index -= listed;
    }
    return nullptr;
  }
  MidiDriver* FindInput(std::uint32_t& index) { return Find(&MidiDriver::InputCount, index); }
  MidiDriver* FindOutput(std::uint32_t& index) { return Find(&MidiDriver::OutputCount, index); }

  std::unique_ptr<loopback::LoopbackDriver> loopback_;
  std::unique_ptr<MidiDriver> alsa_;
  std::unique_ptr<MidiDriver> jack_;
  const std::vector<MidiDriver*> backends_;
};

CompositeDriver& Composite() {
  // Built on first use; the language makes this thread-safe.
  static CompositeDriver driver;
  return driver;
}

}  // namespace

MidiDriver& SystemMidiDriver() {
  return Composite();
}

loopback::LoopbackDriver& SystemLoopback() {
  return Composite().Loopback();
}

}  // namespace vessa::midi
