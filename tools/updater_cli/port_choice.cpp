#include "tools/updater_cli/port_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vessa::cli {

std::optional<std::int32_t> ChoosePort(const std::vector<std::string>& names,
                                       const std::string& wanted, std::string& error) {
  const bool isIndex = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
  if (isIndex) {
    std::size_t index = 0;
    const auto [end, failure] =
        std::from_chars(wanted.data(), wanted.data() + wanted.size(), index);
    if (failure == std::errc() && index < names.size()) return static_cast<std::int32_t>(index);
    error = "no port with index " + wanted;
    return std::nullopt;
  }
  const auto matches = std::count(names.begin(), names.end(), wanted);
  if (matches == 0) {
    error = "no port named '" + wanted + "'";
    return std::nullopt;
  }
  if (matches > 1) {
    error = "several ports are named '" + wanted + "'; pick one by index";
    return std::nullopt;
  }
  return static_cast<std::int32_t>(std::find(names.begin(), names.end(), wanted) - names.begin());
}

}  // namespace vessa::cli
