#pragma once
// How a virtual unit behaves: its identity, its starting flash, and faults
// injected into its answers. Parsed from the same option strings by the
// library and by the vessa-unit-sim executable.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/port_preselection.h"
#include "protocol/messages.h"

namespace vessa::engine::unit {

// The kinds of command a fault rule counts; each kind counts on its own, from
// 1, re-sends included.
enum class CommandKind { kIdentity, kEnter, kRead, kErase, kWrite, kFinish };

enum class FaultAction {
  kDrop,     // no answer at all
  kError,    // acknowledge with `code`
  kCorrupt,  // a read reply whose checksum is wrong
  kDelay,    // the usual answer, `delayMs` late
};

struct FaultRule {
  CommandKind kind;
  std::uint32_t first;
  std::uint32_t last;
  FaultAction action;
  std::uint8_t code = 0;
  std::uint32_t delayMs = 0;
};

inline constexpr protocol::Identity kDefaultUnitIdentity = {0x6E, 0x00, 0x02, 0x00};
// The maker's port name, which the dialog preselects.
inline constexpr const char* kDefaultUnitName = kPreferredPortBaseNames[2].data();

struct UnitOptions {
  protocol::Identity identity = kDefaultUnitIdentity;
  bool preload = false;  // flash starts holding the images at their plan addresses
  std::vector<FaultRule> faults;
  std::string traceFile;
  std::string dumpFlashFile;
};

// "KIND:N[-M]:ACTION"; nothing when the text is not a valid rule.
std::optional<FaultRule> ParseFaultRule(const std::string& text);

// Takes one unit option at args[index] (with its value, if it has one) and
// advances index past it. Returns false when args[index] is not a unit option
// (`error` left empty) or its value is bad (`error` set).
bool ParseUnitOption(const std::vector<std::string>& args, std::size_t& index, UnitOptions& options,
                     std::string& error);

// The usage lines of the unit options, but for --trace, whose name the
// front ends may give to their own trace.
const char* UnitOptionsUsage();

}  // namespace vessa::engine::unit
