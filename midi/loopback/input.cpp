#include "midi/loopback/input.h"

namespace vessa::midi::loopback {

std::unique_ptr<LoopbackInput> LoopbackInput::Open(std::shared_ptr<DeviceCore> device,
                                                   InputCallback callback, void* instance) {
  if (!device || callback == nullptr) return nullptr;
  auto delivery = std::make_shared<InputDelivery>(callback, instance);
  if (!device->AttachInput(delivery)) return nullptr;
  return std::unique_ptr<LoopbackInput>(new LoopbackInput(std::move(device), std::move(delivery)));
}

LoopbackInput::LoopbackInput(std::shared_ptr<DeviceCore> device,
                             std::shared_ptr<InputDelivery> delivery)
    : device_(std::move(device)), delivery_(std::move(delivery)) {}

LoopbackInput::~LoopbackInput() {
  Close();
}

bool LoopbackInput::AddBuffer(MidiHeader* header) {
  return delivery_->AddBuffer(header);
}

bool LoopbackInput::Start() {
  delivery_->Start();
  return true;
}

bool LoopbackInput::Stop() {
  delivery_->Stop();
  return true;
}

bool LoopbackInput::Reset() {
  delivery_->Reset();
  return true;
}

bool LoopbackInput::Close() {
  if (closed_) return true;
  closed_ = true;
  delivery_->Close();
  device_->DetachInput(delivery_.get());
  return true;
}

}  // namespace vessa::midi::loopback
