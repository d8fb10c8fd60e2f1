#pragma once
// The input half of the link to the unit: opens one input device, keeps one
// 8192-byte receive buffer with the driver, and queues a private copy of every
// SysEx buffer the driver hands back, with its length, for the dispatcher.

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "midi/driver.h"

namespace vessa::midi {

class MidiInPort {
 public:
  explicit MidiInPort(MidiDriver& driver);
  ~MidiInPort();
  MidiInPort(const MidiInPort&) = delete;
  MidiInPort& operator=(const MidiInPort&) = delete;

  // 1 when the port is open and receiving (also when it already was), 0 when not.
  int Open();
  void Close();

  // The oldest queued message, or an empty span (null data) when there is none.
  // Stays valid until the next PopMessage or the port's destruction.
  std::span<const std::uint8_t> FrontMessage();
  void PopMessage();

  std::string GetDeviceName(std::uint32_t index) const;
  std::uint32_t GetDeviceCount() const;

  // Written by the owner before Open.
  std::uint32_t DeviceIndex = 0;

 private:
  // A connection whose close failed midway, with the buffer it may still
  // hold; kept until the port is destroyed. The connection goes first.
  struct Parked {
    std::unique_ptr<MidiHeader> header;
    std::unique_ptr<std::uint8_t[]> data;
    std::unique_ptr<InputConnection> connection;
  };

  static void MidiInCallback(void* instance, InputEvent event, MidiHeader* header);
  void OnLongData(MidiHeader* header);
  bool AllocateHeader();
  bool StartReceiving();
  void ShutDownConnection();
  void ReleaseHeader();

  MidiDriver& driver_;
  std::unique_ptr<InputConnection> handle_;
  std::unique_ptr<MidiHeader> header_;
  std::unique_ptr<std::uint8_t[]> headerData_;
  int opened_ = 0;
  std::vector<Parked> parked_;

  // What the driver's thread may use: the buffer it hands back must be this
  // one, and it goes back to this connection. Anything else is stale.
  std::atomic<InputConnection*> liveConnection_{nullptr};
  std::atomic<MidiHeader*> liveHeader_{nullptr};

  std::mutex queueMutex_;  // the driver's thread appends, the timer thread takes
  std::deque<std::vector<std::uint8_t>> receivedMessageQueue_;
};

}  // namespace vessa::midi
