#include "midi/midi_out_port.h"

namespace vessa::midi {

MidiOutPort::MidiOutPort(MidiDriver& driver, std::chrono::milliseconds sendLimit)
    : driver_(driver), sendLimit_(sendLimit) {}

MidiOutPort::~MidiOutPort() {
  Close();
}

int MidiOutPort::Open(std::uint32_t index) {
  std::lock_guard lock(mutex_);
  if (handle_ && index == deviceIndex_) return 1;
  if (handle_) {
    handle_->Close();
    handle_.reset();
  }
  deviceIndex_ = index;
  handle_ = driver_.OpenOutput(index);
  return handle_ ? 1 : 0;
}

int MidiOutPort::Close() {
  // Taking the lock waits for a send in progress; that send is bounded by
  // the completion limit, so Close is too.
  std::lock_guard lock(mutex_);
  if (!handle_) return 0;
  handle_->Close();  // the handle is given up even when closing fails
  handle_.reset();
  return 1;
}

int MidiOutPort::SendLongMessage(MidiHeader* header) {
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0) return 0;
  std::lock_guard lock(mutex_);
  if (!handle_) return 0;
  header->flags.store(0);
  if (!handle_->Send(header->data, header->bufferLength, sendLimit_)) return 0;
  header->flags.store(kHeaderDone);
  return 1;
}

std::string MidiOutPort::GetDeviceName(std::uint32_t index) const {
  return driver_.OutputName(index);
}

std::uint32_t MidiOutPort::GetDeviceCount() const {
  return driver_.OutputCount();
}

}  // namespace vessa::midi
