#include "midi/midi_in_port.h"

#include <new>

namespace vessa::midi {

MidiInPort::MidiInPort(MidiDriver& driver) : driver_(driver) {}

MidiInPort::~MidiInPort() {
  Close();
  // Each parked connection goes before the buffer it may still hold (member
  // order of Parked).
  parked_.clear();
}

int MidiInPort::Open() {
  if (opened_ == 1) return 1;
  if (!AllocateHeader()) return 0;
  handle_ = driver_.OpenInput(DeviceIndex, &MidiInPort::MidiInCallback, this);
  if (!handle_) {
    ReleaseHeader();
    return 0;
  }
  if (!StartReceiving()) {
    ShutDownConnection();
    return 0;
  }
  opened_ = 1;
  return 1;
}

bool MidiInPort::AllocateHeader() {
  // A failed allocation ends Open before the driver sees anything.
  header_.reset(new (std::nothrow) MidiHeader);
  headerData_.reset(new (std::nothrow) std::uint8_t[kReceiveBufferSize]());
  if (!header_ || !headerData_) {
    ReleaseHeader();
    return false;
  }
  header_->data = headerData_.get();
  header_->bufferLength = kReceiveBufferSize;
  return true;
}

bool MidiInPort::StartReceiving() {
  liveHeader_.store(header_.get());
  liveConnection_.store(handle_.get());
  return handle_->Reset() && handle_->AddBuffer(header_.get()) && handle_->Start();
}

void MidiInPort::Close() {
  if (opened_ == 0) return;
  ShutDownConnection();
  opened_ = 0;
}

void MidiInPort::ShutDownConnection() {
  // The reset hands the buffer back empty, which the callback ignores.
  const bool closed = handle_->Stop() && handle_->Reset() && handle_->Close();
  liveConnection_.store(nullptr);
  liveHeader_.store(nullptr);
  if (closed) {
    handle_.reset();
    ReleaseHeader();
    return;
  }
  // The driver may still hold the buffer: keep it, and the connection, alive.
  parked_.push_back({std::move(header_), std::move(headerData_), std::move(handle_)});
}

void MidiInPort::ReleaseHeader() {
  header_.reset();
  headerData_.reset();
}

void MidiInPort::MidiInCallback(void* instance, InputEvent event, MidiHeader* header) {
  if (event != InputEvent::kLongData || header == nullptr) return;
  static_cast<MidiInPort*>(instance)->OnLongData(header);
}

void MidiInPort::OnLongData(MidiHeader* header) {
  if (header != liveHeader_.load()) return;
  const std::uint32_t recorded = header->bytesRecorded.load();
  if ((header->flags.load() & kHeaderDone) == 0 || recorded == 0) return;
  try {
    std::vector<std::uint8_t> message(header->data, header->data + recorded);
    std::lock_guard lock(queueMutex_);
    receivedMessageQueue_.push_back(std::move(message));
  } catch (const std::bad_alloc&) {
    // Out of memory loses this message, never the buffer: it goes back below.
  }
  InputConnection* connection = liveConnection_.load();
  if (connection != nullptr) connection->AddBuffer(header);
}

std::span<const std::uint8_t> MidiInPort::FrontMessage() {
  std::lock_guard lock(queueMutex_);
  if (receivedMessageQueue_.empty()) return {};
  const std::vector<std::uint8_t>& front = receivedMessageQueue_.front();
  return {front.data(), front.size()};
}

void MidiInPort::PopMessage() {
  std::lock_guard lock(queueMutex_);
  if (!receivedMessageQueue_.empty()) receivedMessageQueue_.pop_front();
}

std::string MidiInPort::GetDeviceName(std::uint32_t index) const {
  return driver_.InputName(index);
}

std::uint32_t MidiInPort::GetDeviceCount() const {
  return driver_.InputCount();
}

}  // namespace vessa::midi
