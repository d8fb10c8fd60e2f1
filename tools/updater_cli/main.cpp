// vessa-updater-cli: runs one update from the command line, against the
// unit's ports or against the built-in virtual unit.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/port_preselection.h"
#include "engine/trace_file.h"
#include "engine/update_context.h"
#include "engine/virtual_unit/loopback_unit.h"
#include "midi/common/port_lists.h"
#include "midi/loopback/driver.h"
#include "midi/system_driver.h"
#include "platform/instance_lock.h"
#include "tools/updater_cli/cli_options.h"
#include "tools/updater_cli/console_ui.h"
#include "tools/updater_cli/port_choice.h"

namespace vessa::cli {
namespace {

enum ExitStatus : int {
  kExitCompleted = 0,
  kExitFailed = 1,
  kExitUsage = 2,
  kExitFlashDiffers = 3,
};

struct PortLists {
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
};

PortLists ListPorts(midi::MidiDriver& driver) {
  return {midi::InputNames(driver), midi::OutputNames(driver)};
}

void PrintPorts(const PortLists& ports) {
  std::printf("MIDI IN\n");
  for (std::size_t i = 0; i < ports.inputs.size(); ++i) {
    std::printf("  %zu  %s\n", i, ports.inputs[i].c_str());
  }
  std::printf("MIDI OUT\n");
  for (std::size_t i = 0; i < ports.outputs.size(); ++i) {
    std::printf("  %zu  %s\n", i, ports.outputs[i].c_str());
  }
}

// The ports as given, or as the dialog would preselect them for this
// instance. The instance lock stays held while the program runs.
bool ChoosePorts(const CliOptions& options, const PortLists& ports, bool simulated,
                 std::unique_ptr<platform::InstanceLock>& instanceLock, std::int32_t& in,
                 std::int32_t& out) {
  int instance = 0;
  const auto preselect = [&](const std::vector<std::string>& names) -> std::int32_t {
    if (instance == 0) {
      instanceLock = platform::CreateSystemInstanceLock();
      instance = platform::AcquireInstanceNumber(*instanceLock);
      if (instance == 0) {
        std::fprintf(stderr, "%s\n", platform::RefusalText().c_str());
        return -1;
      }
    }
    return engine::PreselectPort(names, instance);
  };
  const auto choose = [&](const std::optional<std::string>& wanted,
                          const std::vector<std::string>& names, const char* what) {
    std::string error;
    std::int32_t index = -1;
    if (wanted) {
      index = ChoosePort(names, *wanted, error).value_or(-1);
    } else if (simulated) {
      index = 0;  // the simulated unit's own device, whatever this instance's number
    } else {
      index = preselect(names);
      if (index < 0 && instance != 0) error = "no port carries a name this instance looks for";
    }
    if (index < 0 && !error.empty()) std::fprintf(stderr, "MIDI %s: %s\n", what, error.c_str());
    return index;
  };
  in = choose(options.inPort, ports.inputs, "IN");
  out = choose(options.outPort, ports.outputs, "OUT");
  return in >= 0 && out >= 0;
}

// The built-in virtual unit on a loopback device of its own.
class SimulatedUnit {
 public:
  explicit SimulatedUnit(engine::unit::UnitOptions options)
      : driver_(midi::loopback::CreateLoopbackDriver()),
        unit_(*driver_, engine::unit::kDefaultUnitName, std::move(options)) {}

  midi::MidiDriver& Driver() { return *driver_; }
  engine::unit::VirtualUnit& Unit() { return unit_.Unit(); }

 private:
  std::unique_ptr<midi::loopback::LoopbackDriver> driver_;
  engine::unit::LoopbackUnit unit_;
};

int Verify(const engine::unit::VirtualUnit& unit) {
  const auto misplaced = unit.FirstImageNotInPlace();
  if (misplaced) {
    std::printf("Simulated unit: image %d is not in place in its flash.\n", *misplaced);
    return kExitFlashDiffers;
  }
  std::printf("Simulated unit: flash verified, every image at its plan address.\n");
  return kExitCompleted;
}

int Run(const CliOptions& options) {
  std::unique_ptr<SimulatedUnit> simulated;
  if (options.simulate) simulated = std::make_unique<SimulatedUnit>(options.unit);
  midi::MidiDriver& driver = simulated ? simulated->Driver() : midi::SystemMidiDriver();

  const PortLists ports = ListPorts(driver);
  if (options.list) {
    PrintPorts(ports);
    return kExitCompleted;
  }
  std::unique_ptr<platform::InstanceLock> instanceLock;
  std::int32_t in = -1;
  std::int32_t out = -1;
  if (!ChoosePorts(options, ports, simulated != nullptr, instanceLock, in, out)) return kExitUsage;
  std::printf("MIDI IN  %d  %s\nMIDI OUT %d  %s\n", in, ports.inputs[in].c_str(), out,
              ports.outputs[out].c_str());

  std::unique_ptr<engine::TraceFile> trace;
  if (!options.traceFile.empty()) {
    trace = std::make_unique<engine::TraceFile>(options.traceFile);
    if (!trace->IsOpen()) {
      std::fprintf(stderr, "cannot write %s\n", options.traceFile.c_str());
      return kExitUsage;
    }
  }

  ConsoleUi ui(stdout, isatty(fileno(stdout)) != 0);
  ui.SelectPorts(in, out);
  int status = kExitFailed;
  {
    engine::UpdateContext context(ui, driver);
    if (trace) {
      context.SetMessageTrace(
          [&trace](engine::TraceDirection direction, std::span<const std::uint8_t> message) {
            trace->Write(direction == engine::TraceDirection::kSent ? '>' : '<', message);
          });
    }
    context.StartReplyTimer();
    context.StartUpdate();
    context.JoinWorker();
    context.OnDestroy();
    status = ui.Completed() ? kExitCompleted : kExitFailed;
  }
  if (simulated) {
    const auto& dump = options.unit.dumpFlashFile;
    if (!dump.empty() && !simulated->Unit().DumpFlash(dump)) {
      std::fprintf(stderr, "cannot write %s\n", dump.c_str());
    }
    if (status == kExitCompleted) status = Verify(simulated->Unit());
  }
  return status;
}

}  // namespace
}  // namespace vessa::cli

int main(int argc, char** argv) {
  using namespace vessa::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseCliOptions(args, error);
  if (!options || options->help) {
    if (!options) std::fprintf(stderr, "vessa-updater-cli: %s\n", error.c_str());
    std::fprintf(options ? stdout : stderr, "%s%s", CliUsage(),
                 vessa::engine::unit::UnitOptionsUsage());
    return options ? kExitCompleted : kExitUsage;
  }
  return Run(*options);
}
