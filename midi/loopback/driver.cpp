#include "midi/loopback/driver.h"

#include <mutex>
#include <vector>

#include "midi/loopback/device.h"
#include "midi/loopback/input.h"
#include "midi/loopback/output.h"

namespace vessa::midi::loopback {

namespace {

// The far side's handle. Dropping it detaches the device: the host's sends
// to it fail from then on, though open connections stay safe to use.
class DeviceHandle : public LoopbackDevice {
 public:
  explicit DeviceHandle(std::shared_ptr<DeviceCore> core) : core_(std::move(core)) {}
  ~DeviceHandle() override { core_->Detach(); }

  void SetReceiver(std::function<void(std::span<const std::uint8_t>)> receiver) override {
    core_->SetReceiver(std::move(receiver));
  }
  bool Send(std::span<const std::uint8_t> message) override { return core_->SendToHost(message); }
  const std::string& Name() const override { return core_->Name(); }

 private:
  const std::shared_ptr<DeviceCore> core_;
};

class LoopbackDriverImpl : public LoopbackDriver {
 public:
  std::shared_ptr<LoopbackDevice> AddDevice(const std::string& name) override {
    auto core = std::make_shared<DeviceCore>(name);
    std::lock_guard lock(mutex_);
    devices_.push_back(core);
    return std::make_shared<DeviceHandle>(std::move(core));
  }

  // Every device is both an input and an output, under the same index.
  std::uint32_t InputCount() override { return DeviceCount(); }
  std::string InputName(std::uint32_t index) override { return DeviceName(index); }
  std::uint32_t OutputCount() override { return DeviceCount(); }
  std::string OutputName(std::uint32_t index) override { return DeviceName(index); }

  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    return LoopbackInput::Open(Device(index), callback, instance);
  }

  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    auto device = Device(index);
    if (!device) return nullptr;
    return std::make_unique<LoopbackOutput>(std::move(device));
  }

 private:
  // Forgets devices whose handle and connections are all gone; the caller
  // holds the lock.
  void Prune() {
    std::erase_if(devices_, [](const std::weak_ptr<DeviceCore>& d) { return d.expired(); });
  }

  std::uint32_t DeviceCount() {
    std::lock_guard lock(mutex_);
    Prune();
    return static_cast<std::uint32_t>(devices_.size());
  }

  std::shared_ptr<DeviceCore> Device(std::uint32_t index) {
    std::lock_guard lock(mutex_);
    Prune();
    if (index >= devices_.size()) return nullptr;
    return devices_[index].lock();
  }

  std::string DeviceName(std::uint32_t index) {
    auto device = Device(index);
    return device ? device->Name() : std::string();
  }

  std::mutex mutex_;
  std::vector<std::weak_ptr<DeviceCore>> devices_;
};

}  // namespace

std::unique_ptr<LoopbackDriver> CreateLoopbackDriver() {
  return std::make_unique<LoopbackDriverImpl>();
}

}  // namespace vessa::midi::loopback
