#include "midi/alsa/port_names.h"

#include <map>
#include <set>

namespace vessa::midi::alsa {
namespace {

bool TellApart(const std::vector<std::string>& names) {
  if (names.size() < 2) return false;
  std::set<std::string> distinct;
  for (const std::string& name : names) {
    if (name.empty() || !distinct.insert(name).second) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SubdevicePortNames(const std::string& deviceName,
                                            const std::vector<std::string>& subdeviceNames) {
  if (TellApart(subdeviceNames)) return subdeviceNames;
  return std::vector<std::string>(subdeviceNames.size(), deviceName);
}

void NumberRepeatedNames(std::vector<std::string>& names) {
  // Every name as given counts as taken, so that a numbered name never
  // collides with a port that really carries it.
  std::set<std::string> taken(names.begin(), names.end());
  std::set<std::string> seen;
  std::map<std::string, int> nextNumber;
  for (std::string& name : names) {
    if (seen.insert(name).second) continue;
    int& number = nextNumber.try_emplace(name, 2).first->second;
    std::string numbered;
    do {
      numbered = name + " (" + std::to_string(number++) + ")";
    } while (!taken.insert(numbered).second);
    name = numbered;
  }
}

}  // namespace vessa::midi::alsa
