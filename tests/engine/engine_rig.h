#pragma once
// An update context wired to a virtual unit through the loopback driver, and
// a user interface that records every call.

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/update_context.h"
#include "engine/virtual_unit/loopback_unit.h"
#include "midi/loopback/driver.h"

namespace vessa::engine::testing {

using namespace std::chrono_literals;

// Records calls as short strings: "status:TEXT", "step:TEXT", "error:ID",
// "range:LO-HI", "pos:N", "restore", "execute:0|1", "enable:ID:0|1".
class RecordingUi : public UserInterface {
 public:
  std::int32_t inSelection = 0;
  std::int32_t outSelection = 0;

  std::int32_t MidiInSelection() override { return inSelection; }
  std::int32_t MidiOutSelection() override { return outSelection; }
  void EnableControl(Control control, bool enable) override {
    Record("enable:" + std::to_string(static_cast<int>(control)) + (enable ? ":1" : ":0"));
  }
  void SetStatusText(const std::string& text) override { Record("status:" + text); }
  void SetStepText(const std::string& text) override { Record("step:" + text); }
  void ShowError(int stringId) override { Record("error:" + std::to_string(stringId)); }
  void SetProgressRange(std::int32_t lower, std::int32_t upper) override {
    Record("range:" + std::to_string(lower) + "-" + std::to_string(upper));
  }
  void SetProgressPos(std::int32_t position) override { Record("pos:" + std::to_string(position)); }
  void RestoreControls() override { Record("restore"); }
  void EnableExecute(bool enable) override { Record(enable ? "execute:1" : "execute:0"); }

  std::vector<std::string> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  // The calls that start with `prefix`, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const auto& call : Calls()) {
      if (call.rfind(prefix, 0) == 0) matching.push_back(call);
    }
    return matching;
  }
  std::vector<std::string> Errors() const { return CallsStartingWith("error:"); }

 private:
  void Record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }

  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

// Waits long enough that only a broken answer path would hit them, and no pauses.
inline EngineTimings GenerousTimings() {
  EngineTimings t;
  t.identityWait = t.enterUpdateWait = t.finishWait = 10s;
  t.bootReadWait = t.eraseWait = 10s;
  t.writeChunkWait = 10s;
  t.retryPause = 1ms;
  t.enterUpdatePause = 1ms;
  return t;
}

// For runs whose point is a missing answer.
inline EngineTimings QuickTimeouts() {
  EngineTimings t = GenerousTimings();
  t.identityWait = t.enterUpdateWait = t.finishWait = 150ms;
  t.bootReadWait = t.eraseWait = 150ms;
  t.writeChunkWait = 60ms;
  return t;
}

// The loopback driver with one device served by a virtual unit.
class UnitRig {
 public:
  explicit UnitRig(unit::UnitOptions options = {})
      : driver_(midi::loopback::CreateLoopbackDriver()),
        unit_(*driver_, unit::kDefaultUnitName, std::move(options)) {}

  midi::MidiDriver& Driver() { return *driver_; }
  unit::VirtualUnit& Unit() { return unit_.Unit(); }

  // Polls until the unit has received `count` commands of `kind`.
  bool AwaitCount(unit::CommandKind kind, std::uint32_t count,
                  std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Unit().Count(kind) < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

 private:
  std::unique_ptr<midi::loopback::LoopbackDriver> driver_;
  unit::LoopbackUnit unit_;
};

// Starts one run and waits for its worker to end.
inline void RunOnce(UpdateContext& context) {
  context.StartReplyTimer();
  context.StartUpdate();
  context.JoinWorker();
}

inline unit::UnitOptions WithFaults(std::vector<std::string> rules, bool preload = false,
                                    protocol::Identity identity = unit::kDefaultUnitIdentity) {
  unit::UnitOptions options;
  options.preload = preload;
  options.identity = identity;
  for (const auto& rule : rules) options.faults.push_back(*unit::ParseFaultRule(rule));
  return options;
}

}  // namespace vessa::engine::testing
