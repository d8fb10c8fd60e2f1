#include "midi/loopback/device.h"

namespace vessa::midi::loopback {

namespace {

bool WaitForWork(Mailbox& box, std::vector<std::uint8_t>& message,
                 std::shared_ptr<Receiver>& receiver) {
  std::unique_lock lock(box.mutex);
  // Messages wait for a receiver rather than being dropped.
  box.wake.wait(lock, [&box] { return box.closed || (box.receiver && !box.messages.empty()); });
  if (box.closed) return false;
  message = std::move(box.messages.front());
  box.messages.pop_front();
  receiver = box.receiver;
  return true;
}

void RunReceiver(std::shared_ptr<Mailbox> box) {
  std::vector<std::uint8_t> message;
  std::shared_ptr<Receiver> receiver;
  while (WaitForWork(*box, message, receiver)) {
    (*receiver)(message);
    receiver.reset();
  }
}

}  // namespace

DeviceCore::DeviceCore(std::string name)
    : name_(std::move(name)), mailbox_(std::make_shared<Mailbox>()) {
  thread_ = std::thread(RunReceiver, mailbox_);
}

DeviceCore::~DeviceCore() {
  Detach();
}

void DeviceCore::SetReceiver(Receiver receiver) {
  {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->receiver = receiver ? std::make_shared<Receiver>(std::move(receiver)) : nullptr;
  }
  mailbox_->wake.notify_all();
}

void DeviceCore::Detach() {
  {
    std::lock_guard lock(inputMutex_);
    detached_ = true;
    input_.reset();
  }
  {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->closed = true;
    mailbox_->messages.clear();
  }
  mailbox_->wake.notify_all();
  if (!thread_.joinable()) return;
  // A receiver that drops the last handle to its device runs on this very
  // thread; it cannot join itself, and the mailbox keeps it safe meanwhile.
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

bool DeviceCore::QueueFromHost(std::span<const std::uint8_t> message) {
  {
    std::lock_guard lock(mailbox_->mutex);
    if (mailbox_->closed) return false;
    mailbox_->messages.emplace_back(message.begin(), message.end());
  }
  mailbox_->wake.notify_all();
  return true;
}

bool DeviceCore::SendToHost(std::span<const std::uint8_t> message) {
  if (message.empty()) return false;
  std::lock_guard sending(toHostMutex_);
  std::shared_ptr<InputDelivery> input;
  {
    std::lock_guard lock(inputMutex_);
    input = input_;
  }
  if (!input) return false;
  return input->DeliverMessage(message);
}

bool DeviceCore::AttachInput(std::shared_ptr<InputDelivery> delivery) {
  std::lock_guard lock(inputMutex_);
  if (detached_ || input_) return false;
  input_ = std::move(delivery);
  return true;
}

void DeviceCore::DetachInput(const InputDelivery* delivery) {
  std::lock_guard lock(inputMutex_);
  if (input_.get() == delivery) input_.reset();
}

}  // namespace vessa::midi::loopback
