#include "midi/common/input_delivery.h"

#include <algorithm>
#include <cstring>

namespace vessa::midi {

bool InputDelivery::AddBuffer(MidiHeader* header) {
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0) return false;
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  header->flags.store(0);
  header->bytesRecorded.store(0);
  buffers_.push_back(header);
  return true;
}

void InputDelivery::Start() {
  std::lock_guard lock(mutex_);
  started_ = true;
}

void InputDelivery::Stop() {
  std::lock_guard lock(mutex_);
  started_ = false;
}

MidiHeader* InputDelivery::TakeBuffer() {
  std::lock_guard lock(mutex_);
  if (!started_ || closed_ || buffers_.empty()) return nullptr;
  MidiHeader* header = buffers_.front();
  buffers_.pop_front();
  ++inCallback_;
  return header;
}

void InputDelivery::EndCallback() {
  {
    std::lock_guard lock(mutex_);
    --inCallback_;
  }
  idle_.notify_all();
}

bool InputDelivery::DeliverMessage(std::span<const std::uint8_t> message) {
  if (message.empty()) return true;
  if (message.front() == kSysExStart) return Deliver(message);
  DeliverShort();
  return true;
}

bool InputDelivery::Deliver(std::span<const std::uint8_t> message) {
  std::size_t offset = 0;
  do {
    MidiHeader* header = TakeBuffer();
    if (header == nullptr) return false;
    const std::size_t piece = std::min<std::size_t>(header->bufferLength, message.size() - offset);
    std::memcpy(header->data, message.data() + offset, piece);
    offset += piece;
    header->bytesRecorded.store(static_cast<std::uint32_t>(piece));
    header->flags.store(kHeaderDone);
    callback_(instance_, InputEvent::kLongData, header);
    EndCallback();
  } while (offset < message.size());
  return true;
}

void InputDelivery::DeliverShort() {
  {
    std::lock_guard lock(mutex_);
    if (!started_ || closed_) return;
    ++inCallback_;
  }
  callback_(instance_, InputEvent::kShortData, nullptr);
  EndCallback();
}

void InputDelivery::Reset() {
  std::deque<MidiHeader*> held;
  {
    std::unique_lock lock(mutex_);
    started_ = false;
    idle_.wait(lock, [this] { return inCallback_ == 0; });
    held.swap(buffers_);
  }
  for (MidiHeader* header : held) {
    header->bytesRecorded.store(0);
    header->flags.store(kHeaderDone);
    callback_(instance_, InputEvent::kLongData, header);
  }
}

void InputDelivery::Close() {
  std::unique_lock lock(mutex_);
  closed_ = true;
  started_ = false;
  idle_.wait(lock, [this] { return inCallback_ == 0; });
  buffers_.clear();
}

}  // namespace vessa::midi
