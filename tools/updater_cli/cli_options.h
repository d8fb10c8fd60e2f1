#pragma once
// The command line of vessa-updater-cli.

#include <optional>
#include <string>
#include <vector>

#include "engine/virtual_unit/unit_options.h"

namespace vessa::cli {

struct CliOptions {
  bool help = false;
  bool list = false;
  std::optional<std::string> inPort;  // an index or an exact name
  std::optional<std::string> outPort;
  std::string traceFile;
  bool simulate = false;
  engine::unit::UnitOptions unit;  // only with --simulate
};

// Nothing, with `error` set, when the command line is not valid.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);

const char* CliUsage();

}  // namespace vessa::cli
