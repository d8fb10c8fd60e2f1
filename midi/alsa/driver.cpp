#include "midi/alsa/driver.h"

namespace vessa::midi::alsa {
namespace {

// Placeholder until the backend lands: lists nothing.
class EmptyDriver : public MidiDriver {
 public:
  std::uint32_t InputCount() override { return 0; }
  std::string InputName(std::uint32_t) override { return {}; }
  std::unique_ptr<InputConnection> OpenInput(std::uint32_t, InputCallback, void*) override {
    return nullptr;
  }
  std::uint32_t OutputCount() override { return 0; }
  std::string OutputName(std::uint32_t) override { return {}; }
  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t) override { return nullptr; }
};

}  // namespace

std::unique_ptr<MidiDriver> CreateAlsaDriver() { return std::make_unique<EmptyDriver>(); }

}  // namespace vessa::midi::alsa
