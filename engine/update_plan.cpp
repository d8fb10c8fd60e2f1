#include "engine/update_plan.h"

#include <algorithm>

namespace vessa::engine {

bool IsAcceptedIdentity(const protocol::Identity& identity) {
  return std::find(AcceptedIdentities.begin(), AcceptedIdentities.end(), identity) !=
         AcceptedIdentities.end();
}

}  // namespace vessa::engine
