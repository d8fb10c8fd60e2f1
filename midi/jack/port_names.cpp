#include "midi/jack/port_names.h"

#include <map>

namespace vessa::midi::jack {
namespace {

// JACK separates the client from the port at the first colon.
std::string ClientOf(const std::string& fullName) {
  return fullName.substr(0, fullName.find(':'));
}

}  // namespace

std::vector<std::string> ListedNames(const std::vector<std::string>& fullNames) {
  std::map<std::string, int> portsPerClient;
  for (const std::string& name : fullNames) ++portsPerClient[ClientOf(name)];
  std::vector<std::string> listed;
  listed.reserve(fullNames.size());
  for (const std::string& name : fullNames) {
    const std::string client = ClientOf(name);
    listed.push_back(portsPerClient[client] == 1 ? client : name);
  }
  return listed;
}

}  // namespace vessa::midi::jack
