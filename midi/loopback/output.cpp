#include "midi/loopback/output.h"

namespace vessa::midi::loopback {

// The queue never fills, so a send never waits and the limit is never reached.
bool LoopbackOutput::Send(const std::uint8_t* data, std::uint32_t length,
                          std::chrono::milliseconds /*limit*/) {
  if (closed_.load() || data == nullptr || length == 0) return false;
  return device_->QueueFromHost({data, length});
}

bool LoopbackOutput::Close() {
  closed_.store(true);
  return true;
}

}  // namespace vessa::midi::loopback
