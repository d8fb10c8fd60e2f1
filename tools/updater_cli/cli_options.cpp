#include "tools/updater_cli/cli_options.h"

namespace vessa::cli {

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string& error) {
  CliOptions options;
  bool unitOptionSeen = false;
  for (std::size_t i = 0; i < args.size();) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    const bool takesValue = arg == "--in" || arg == "--out" || arg == "--trace";
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      ++i;
    } else if (arg == "--list") {
      options.list = true;
      ++i;
    } else if (arg == "--simulate") {
      options.simulate = true;
      ++i;
    } else if (takesValue && hasValue) {
      // --trace always records the updater's own traffic, also with --simulate.
      if (arg == "--in") options.inPort = args[i + 1];
      if (arg == "--out") options.outPort = args[i + 1];
      if (arg == "--trace") options.traceFile = args[i + 1];
      i += 2;
    } else if (arg == "--unit-trace" && hasValue) {
      options.unit.traceFile = args[i + 1];
      unitOptionSeen = true;
      i += 2;
    } else if (engine::unit::ParseUnitOption(args, i, options.unit, error)) {
      unitOptionSeen = true;
    } else {
      if (error.empty()) error = "unknown option '" + arg + "'";
      if (takesValue) error = arg + " needs a value";
      return std::nullopt;
    }
  }
  if (unitOptionSeen && !options.simulate) {
    error = "unit options need --simulate";
    return std::nullopt;
  }
  return options;
}

const char* CliUsage() {
  return "usage: vessa-updater-cli [--list] [--in PORT] [--out PORT] [--trace FILE]\n"
         "                         [--simulate [unit options]]\n"
         "  --list               print the MIDI input and output ports and end\n"
         "  --in PORT, --out PORT  the unit's ports, by index or exact name; without\n"
         "                       them the ports named for this instance are chosen\n"
         "  --trace FILE         record every SysEx message sent (>) or received (<)\n"
         "  --simulate           update the built-in virtual unit and verify its flash\n"
         "unit options (with --simulate):\n"
         "  --unit-trace FILE    record the virtual unit's traffic\n";
}

}  // namespace vessa::cli
