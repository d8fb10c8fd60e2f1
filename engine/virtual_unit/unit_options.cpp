#include "engine/virtual_unit/unit_options.h"

#include <array>
#include <charconv>
#include <string_view>
#include <utility>

namespace vessa::engine::unit {
namespace {

constexpr std::array<std::pair<std::string_view, CommandKind>, 6> kKindNames = {{
    {"identity", CommandKind::kIdentity},
    {"enter", CommandKind::kEnter},
    {"read", CommandKind::kRead},
    {"erase", CommandKind::kErase},
    {"write", CommandKind::kWrite},
    {"finish", CommandKind::kFinish},
}};

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<CommandKind> ParseKind(std::string_view text) {
  for (const auto& [name, kind] : kKindNames) {
    if (name == text) return kind;
  }
  return std::nullopt;
}

bool ParseRange(std::string_view text, FaultRule& rule) {
  const auto dash = text.find('-');
  const auto first = ParseNumber<std::uint32_t>(text.substr(0, dash));
  const auto last =
      dash == std::string_view::npos ? first : ParseNumber<std::uint32_t>(text.substr(dash + 1));
  if (!first || !last || *first == 0 || *last < *first) return false;
  rule.first = *first;
  rule.last = *last;
  return true;
}

bool ParseAction(std::string_view text, FaultRule& rule) {
  constexpr std::string_view kErrorPrefix = "error=";
  constexpr std::string_view kDelayPrefix = "delay=";
  if (text == "drop") {
    rule.action = FaultAction::kDrop;
  } else if (text == "corrupt") {
    // Only a read reply carries a checksum the host checks.
    if (rule.kind != CommandKind::kRead) return false;
    rule.action = FaultAction::kCorrupt;
  } else if (text.starts_with(kErrorPrefix)) {
    // An acknowledgement's result is one 7-bit data byte.
    const auto code = ParseNumber<std::uint32_t>(text.substr(kErrorPrefix.size()));
    if (!code || *code > 0x7F) return false;
    rule.action = FaultAction::kError;
    rule.code = static_cast<std::uint8_t>(*code);
  } else if (text.starts_with(kDelayPrefix)) {
    const auto delay = ParseNumber<std::uint32_t>(text.substr(kDelayPrefix.size()));
    if (!delay) return false;
    rule.action = FaultAction::kDelay;
    rule.delayMs = *delay;
  } else {
    return false;
  }
  return true;
}

std::optional<protocol::Identity> ParseIdentity(std::string_view text) {
  constexpr std::size_t kHexDigits = 8;
  if (text.size() != kHexDigits) return std::nullopt;
  protocol::Identity identity{};
  for (std::size_t i = 0; i < identity.size(); ++i) {
    const auto byte = ParseNumber<std::uint32_t>(text.substr(2 * i, 2), 16);
    if (!byte) return std::nullopt;
    identity[i] = static_cast<std::uint8_t>(*byte);
  }
  return identity;
}

}  // namespace

std::optional<FaultRule> ParseFaultRule(const std::string& text) {
  const std::string_view rest(text);
  const auto firstColon = rest.find(':');
  const auto secondColon = rest.find(':', firstColon + 1);
  if (firstColon == std::string_view::npos || secondColon == std::string_view::npos) {
    return std::nullopt;
  }
  const auto kind = ParseKind(rest.substr(0, firstColon));
  if (!kind) return std::nullopt;
  FaultRule rule{*kind, 0, 0, FaultAction::kDrop};
  if (!ParseRange(rest.substr(firstColon + 1, secondColon - firstColon - 1), rule)) {
    return std::nullopt;
  }
  if (!ParseAction(rest.substr(secondColon + 1), rule)) return std::nullopt;
  return rule;
}

bool ParseUnitOption(const std::vector<std::string>& args, std::size_t& index, UnitOptions& options,
                     std::string& error) {
  error.clear();
  const std::string& option = args[index];
  if (option == "--preload") {
    options.preload = true;
    ++index;
    return true;
  }
  const bool takesValue = option == "--identity" || option == "--fault" || option == "--trace" ||
                          option == "--dump-flash";
  if (!takesValue) return false;
  if (index + 1 >= args.size()) {
    error = option + " needs a value";
    return false;
  }
  const std::string& value = args[index + 1];
  if (option == "--identity") {
    const auto identity = ParseIdentity(value);
    if (!identity) {
      error = "--identity takes eight hex digits, e.g. 6E000200";
      return false;
    }
    options.identity = *identity;
  } else if (option == "--fault") {
    const auto rule = ParseFaultRule(value);
    if (!rule) {
      error = "bad fault rule '" + value + "' (KIND:N[-M]:ACTION)";
      return false;
    }
    options.faults.push_back(*rule);
  } else if (option == "--trace") {
    options.traceFile = value;
  } else {
    options.dumpFlashFile = value;
  }
  index += 2;
  return true;
}

const char* UnitOptionsUsage() {
  return "  --identity HEX8      identity bytes of the unit (default 6E000200)\n"
         "  --preload            flash starts holding the images at their plan addresses\n"
         "  --fault KIND:N[-M]:ACTION   repeatable; KIND identity|enter|read|erase|write|finish,\n"
         "                       N..M its occurrences from 1, ACTION "
         "drop|error=CODE|corrupt|delay=MS\n"
         "  --dump-flash FILE    write the flash to FILE at the end\n";
}

}  // namespace vessa::engine::unit
