#pragma once
// The receive-buffer hand-off that every input backend shares: the port adds
// its buffer, the backend's thread delivers each complete SysEx message into
// it (in pieces of the buffer's length when longer) and hands it back through
// the port's callback. Messages arrive only while started; a message that
// finds no buffer is dropped.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>

#include "midi/driver.h"

namespace vessa::midi {

class InputDelivery {
 public:
  InputDelivery(InputCallback callback, void* instance)
      : callback_(callback), instance_(instance) {}

  bool AddBuffer(MidiHeader* header);
  void Start();
  void Stop();
  // Waits until no delivery is in its callback, then hands every held buffer
  // back empty.
  void Reset();
  // After Close returns no callback runs again.
  void Close();

  // Called on the backend's thread with one complete message: SysEx goes into
  // the port's buffers, anything else is reported as a short message. False
  // when SysEx found no buffer and was dropped.
  bool DeliverMessage(std::span<const std::uint8_t> message);
  bool Deliver(std::span<const std::uint8_t> message);
  void DeliverShort();

 private:
  MidiHeader* TakeBuffer();
  void EndCallback();

  const InputCallback callback_;
  void* const instance_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::deque<MidiHeader*> buffers_;
  bool started_ = false;
  bool closed_ = false;
  int inCallback_ = 0;
};

}  // namespace vessa::midi
