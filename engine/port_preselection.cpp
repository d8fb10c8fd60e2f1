#include "engine/port_preselection.h"

#include <algorithm>

namespace vessa::engine {

std::array<std::string, kPreferredPortBaseNames.size()> PreferredPortNames(int instanceNumber) {
  std::array<std::string, kPreferredPortBaseNames.size()> names;
  for (std::size_t i = 0; i < names.size(); ++i) {
    names[i] = std::string(kPreferredPortBaseNames[i]);
    if (instanceNumber != 1) names[i] += " (" + std::to_string(instanceNumber) + ")";
  }
  return names;
}

std::int32_t PreselectPort(const std::vector<std::string>& portNames, int instanceNumber) {
  const auto preferred = PreferredPortNames(instanceNumber);
  std::int32_t selected = -1;
  for (std::size_t index = 0; index < portNames.size(); ++index) {
    if (std::find(preferred.begin(), preferred.end(), portNames[index]) != preferred.end()) {
      selected = static_cast<std::int32_t>(index);  // a later match wins
    }
  }
  return selected;
}

}  // namespace vessa::engine
