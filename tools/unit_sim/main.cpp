// vessa-unit-sim: a virtual unit on a pair of JACK MIDI ports of its own, for
// updating from another process. Serves until SIGINT or SIGTERM.
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/virtual_unit/virtual_unit.h"
#include "midi/jack/virtual_ports.h"

namespace {

using namespace vessa;

constexpr std::chrono::milliseconds kSendLimit{1000};
constexpr int kExitServed = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFlashDiffers = 3;
constexpr int kExitNoServer = 4;

struct SimOptions {
  std::string name = engine::unit::kDefaultUnitName;
  bool verify = false;
  engine::unit::UnitOptions unit;
};

std::string Usage() {
  return std::string(
             "usage: vessa-unit-sim [--name NAME] [--verify] [unit options]\n"
             "  --name NAME          the JACK client name the updater sees (default\n"
             "                       \"") +
         engine::unit::kDefaultUnitName +
         "\")\n"
         "  --verify             at the end, report whether the flash holds every image\n"
         "                       at its plan address (exit status 3 when not)\n"
         "  --trace FILE         record the unit's traffic\n";
}

bool Parse(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size();) {
    if (args[i] == "--verify") {
      options.verify = true;
      ++i;
    } else if (args[i] == "--name" && i + 1 < args.size()) {
      options.name = args[i + 1];
      i += 2;
    } else if (!engine::unit::ParseUnitOption(args, i, options.unit, error)) {
      if (error.empty()) error = "unknown option '" + args[i] + "'";
      return false;
    }
  }
  return true;
}

int Finish(const SimOptions& options, const engine::unit::VirtualUnit& unit) {
  if (!options.unit.dumpFlashFile.empty() && !unit.DumpFlash(options.unit.dumpFlashFile)) {
    std::fprintf(stderr, "vessa-unit-sim: cannot write %s\n", options.unit.dumpFlashFile.c_str());
  }
  if (!options.verify) return kExitServed;
  const auto misplaced = unit.FirstImageNotInPlace();
  if (misplaced) {
    std::printf("vessa-unit-sim: image %d is not in place in the flash.\n", *misplaced);
    return kExitFlashDiffers;
  }
  std::printf("vessa-unit-sim: flash verified, every image at its plan address.\n");
  return kExitServed;
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!Parse({argv + 1, argv + argc}, options, error)) {
    std::fprintf(stderr, "vessa-unit-sim: %s\n%s%s", error.c_str(), Usage().c_str(),
                 engine::unit::UnitOptionsUsage());
    return kExitUsage;
  }

  // Every thread started from here on inherits the blocked signals, so only
  // sigwait below ever takes them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  // The unit answers through whichever pair delivered the message.
  std::atomic<midi::jack::VirtualPortPair*> replyPorts{nullptr};
  engine::unit::VirtualUnit unit(options.unit, [&replyPorts](std::span<const std::uint8_t> m) {
    if (auto* ports = replyPorts.load()) ports->Send(m, kSendLimit);
  });
  auto ports = midi::jack::OpenVirtualPorts(
      options.name, [&](midi::jack::VirtualPortPair& pair, std::span<const std::uint8_t> m) {
        replyPorts.store(&pair);
        unit.Receive(m);
      });
  if (!ports) {
    std::fprintf(stderr, "vessa-unit-sim: no JACK server answered, or '%s' is taken\n",
                 options.name.c_str());
    return kExitNoServer;
  }
  std::printf("vessa-unit-sim: serving as '%s' (%s, %s)\n", options.name.c_str(),
              ports->InputPortName().c_str(), ports->OutputPortName().c_str());
  std::fflush(stdout);

  int signal = 0;
  sigwait(&stopSignals, &signal);
  ports.reset();  // no delivery runs after this
  return Finish(options, unit);
}
