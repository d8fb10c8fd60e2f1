#pragma once
// A driver without threads or devices: the test decides what each call
// returns and drives the input callback itself, and every call is logged.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "midi/driver.h"

namespace vessa::midi::testing {

struct CallLog {
  std::mutex mutex;
  std::vector<std::string> calls;

  void Add(std::string call) {
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
  }
  std::vector<std::string> Take() {
    std::lock_guard lock(mutex);
    return std::exchange(calls, {});
  }
};

// Which step of an input connection fails.
struct InputFailures {
  bool reset = false;
  bool addBuffer = false;
  bool start = false;
  bool stop = false;
  bool close = false;
};

class FakeInput : public InputConnection {
 public:
  FakeInput(std::shared_ptr<CallLog> log, InputFailures failures, InputCallback callback,
            void* instance)
      : log_(std::move(log)), failures_(failures), callback_(callback), instance_(instance) {}

  ~FakeInput() override {
    // A driver may touch a buffer it holds up to the very end.
    for (MidiHeader* header : held_) header->data[0] = 0;
  }

  bool AddBuffer(MidiHeader* header) override {
    log_->Add("add");
    if (failures_.addBuffer) return false;
    held_.push_back(header);
    return true;
  }
  bool Start() override { return Step("start", failures_.start); }
  bool Stop() override { return Step("stop", failures_.stop); }
  bool Reset() override {
    log_->Add("reset");
    if (failures_.reset) return false;
    while (!held_.empty()) HandBack(0, kHeaderDone);
    return true;
  }
  bool Close() override { return Step("close", failures_.close); }

  std::size_t HeldBuffers() const { return held_.size(); }

  // Fills held buffers with one message, in pieces of the buffer's length.
  // False when a piece found no buffer.
  bool Deliver(std::span<const std::uint8_t> message) {
    std::size_t offset = 0;
    do {
      if (held_.empty()) return false;
      MidiHeader* header = held_.front();
      const std::size_t piece =
          std::min<std::size_t>(header->bufferLength, message.size() - offset);
      std::copy_n(message.begin() + static_cast<std::ptrdiff_t>(offset), piece, header->data);
      offset += piece;
      HandBack(static_cast<std::uint32_t>(piece), kHeaderDone);
    } while (offset < message.size());
    return true;
  }

  // Hands the oldest held buffer back as it is told to.
  void HandBack(std::uint32_t recorded, std::uint32_t flags) {
    MidiHeader* header = held_.front();
    held_.pop_front();
    header->bytesRecorded.store(recorded);
    header->flags.store(flags);
    callback_(instance_, InputEvent::kLongData, header);
  }

  void DeliverShort() { callback_(instance_, InputEvent::kShortData, nullptr); }

 private:
  bool Step(const char* name, bool fails) {
    log_->Add(name);
    return !fails;
  }

  std::shared_ptr<CallLog> log_;
  InputFailures failures_;
  InputCallback callback_;
  void* instance_;
  std::deque<MidiHeader*> held_;
};

// How an output connection's send behaves.
enum class SendBehaviour {
  kCompletes,
  kFails,
  kNeverCompletes,  // waits for a completion that never comes, up to the limit
  kWaitsForRelease,
};

class FakeOutput : public OutputConnection {
 public:
  FakeOutput(std::shared_ptr<CallLog> log, std::uint32_t index, SendBehaviour behaviour,
             bool closeFails)
      : log_(std::move(log)), index_(index), behaviour_(behaviour), closeFails_(closeFails) {}

  bool Send(const std::uint8_t* data, std::uint32_t length,
            std::chrono::milliseconds limit) override {
    log_->Add("send " + std::to_string(length) + " limit " + std::to_string(limit.count()));
    {
      std::lock_guard lock(mutex_);
      sent_.emplace_back(data, data + length);
      inSend_ = true;
    }
    changed_.notify_all();
    const bool result = Complete(limit);
    log_->Add("send done");
    return result;
  }

  bool Close() override {
    log_->Add("close " + std::to_string(index_));
    return !closeFails_;
  }

  void WaitUntilInSend() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inSend_; });
  }
  // Notifies under the lock: the released send may let the connection be
  // destroyed at once.
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::vector<std::vector<std::uint8_t>> Sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }

 private:
  bool Complete(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    switch (behaviour_) {
      case SendBehaviour::kCompletes:
        return true;
      case SendBehaviour::kFails:
        return false;
      case SendBehaviour::kNeverCompletes:
        return changed_.wait_for(lock, limit, [] { return false; });
      case SendBehaviour::kWaitsForRelease:
        changed_.wait(lock, [this] { return released_; });
        return true;
    }
    return false;
  }

  std::shared_ptr<CallLog> log_;
  const std::uint32_t index_;
  const SendBehaviour behaviour_;
  const bool closeFails_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::vector<std::uint8_t>> sent_;
  bool inSend_ = false;
  bool released_ = false;
};

class FakeDriver : public MidiDriver {
 public:
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::vector<std::string> names = {"Port A", "Port B"};
  bool refuseOpen = false;
  InputFailures inputFailures;
  SendBehaviour sendBehaviour = SendBehaviour::kCompletes;
  bool outputCloseFails = false;

  // The connections most recently opened; owned by the port.
  FakeInput* input = nullptr;
  FakeOutput* output = nullptr;

  std::uint32_t InputCount() override { return static_cast<std::uint32_t>(names.size()); }
  std::string InputName(std::uint32_t index) override { return names.at(index); }
  std::uint32_t OutputCount() override { return static_cast<std::uint32_t>(names.size()); }
  std::string OutputName(std::uint32_t index) override { return names.at(index); }

  std::unique_ptr<InputConnection> OpenInput(std::uint32_t index, InputCallback callback,
                                             void* instance) override {
    log->Add("open " + std::to_string(index));
    if (refuseOpen) return nullptr;
    auto connection = std::make_unique<FakeInput>(log, inputFailures, callback, instance);
    input = connection.get();
    return connection;
  }

  std::unique_ptr<OutputConnection> OpenOutput(std::uint32_t index) override {
    log->Add("open " + std::to_string(index));
    if (refuseOpen) return nullptr;
    auto connection = std::make_unique<FakeOutput>(log, index, sendBehaviour, outputCloseFails);
    output = connection.get();
    return connection;
  }
};

}  // namespace vessa::midi::testing
