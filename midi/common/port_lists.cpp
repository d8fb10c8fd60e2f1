#include "midi/common/port_lists.h"

namespace vessa::midi {

std::vector<std::string> InputNames(MidiDriver& driver) {
  std::vector<std::string> names;
  const std::uint32_t count = driver.InputCount();
  for (std::uint32_t i = 0; i < count; ++i) names.push_back(driver.InputName(i));
  return names;
}

std::vector<std::string> OutputNames(MidiDriver& driver) {
  std::vector<std::string> names;
  const std::uint32_t count = driver.OutputCount();
  for (std::uint32_t i = 0; i < count; ++i) names.push_back(driver.OutputName(i));
  return names;
}

}  // namespace vessa::midi
