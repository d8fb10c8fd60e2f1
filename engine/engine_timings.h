#pragma once
// Every wait for the unit and every pause of an update run. The defaults are
// the real values; tests pass short ones.

#include <chrono>

namespace vessa::engine {

struct EngineTimings {
  std::chrono::milliseconds identityWait{30000};
  std::chrono::milliseconds enterUpdateWait{30000};
  std::chrono::milliseconds finishWait{30000};
  std::chrono::milliseconds bootReadWait{60000};
  std::chrono::milliseconds eraseWait{60000};
  std::chrono::milliseconds writeChunkWait{1000};
  std::chrono::milliseconds retryPause{100};
  std::chrono::milliseconds enterUpdatePause{500};
};

}  // namespace vessa::engine
