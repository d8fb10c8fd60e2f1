#pragma once
// The output half of the link to the unit: holds at most one open output
// device and sends complete SysEx messages synchronously.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "midi/driver.h"

namespace vessa::midi {

// A send that the driver has not finished in this time is reported as failed,
// so a stuck driver never holds the sender for ever.
inline constexpr std::chrono::milliseconds kSendCompletionLimit{10000};

class MidiOutPort {
 public:
  explicit MidiOutPort(MidiDriver& driver,
                       std::chrono::milliseconds sendLimit = kSendCompletionLimit);
  ~MidiOutPort();
  MidiOutPort(const MidiOutPort&) = delete;
  MidiOutPort& operator=(const MidiOutPort&) = delete;

  // 1 the device is open, 0 opening failed.
  int Open(std::uint32_t index);
  // 1 a device was held and has been given up, 0 there was none.
  int Close();
  // 1 sent and finished (kHeaderDone set), 0 failed.
  int SendLongMessage(MidiHeader* header);

  std::string GetDeviceName(std::uint32_t index) const;
  std::uint32_t GetDeviceCount() const;

 private:
  MidiDriver& driver_;
  std::chrono::milliseconds sendLimit_;
  std::mutex mutex_;  // Close waits for a send in progress
  std::unique_ptr<OutputConnection> handle_;
  std::uint32_t deviceIndex_ = 0;
};

}  // namespace vessa::midi
