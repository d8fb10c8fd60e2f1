// Starting a run from the UI thread, and closing the window during one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "engine/engine_timings.h"
#include "resources/string_table.h"
#include "tests/engine/engine_rig.h"

namespace vessa::engine::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using unit::CommandKind;

TEST(EngineTimings, DefaultsAreTheRealValues) {
  const EngineTimings t;
  EXPECT_EQ(t.identityWait, 30000ms);
  EXPECT_EQ(t.enterUpdateWait, 30000ms);
  EXPECT_EQ(t.finishWait, 30000ms);
  EXPECT_EQ(t.bootReadWait, 60000ms);
  EXPECT_EQ(t.eraseWait, 60000ms);
  EXPECT_EQ(t.writeChunkWait, 1000ms);
  EXPECT_EQ(t.retryPause, 100ms);
  EXPECT_EQ(t.enterUpdatePause, 500ms);
}

struct PortFailureCase {
  const char* name;
  std::int32_t inSelection;
  std::int32_t outSelection;
  int expectedError;
};

// Test listings show the case, not its bytes.
void PrintTo(const PortFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class StartUpdatePortFailure : public ::testing::TestWithParam<PortFailureCase> {};

TEST_P(StartUpdatePortFailure, ShowsTheMessageAndLeavesControlsAlone) {
  const auto& c = GetParam();
  UnitRig rig;
  RecordingUi ui;
  ui.inSelection = c.inSelection;
  ui.outSelection = c.outSelection;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  context.StartReplyTimer();
  context.StartUpdate();
  EXPECT_THAT(ui.Calls(), ElementsAre("error:" + std::to_string(c.expectedError)));
  EXPECT_FALSE(context.UpdateInProgress());
  EXPECT_FALSE(context.WorkerRunning());
}

INSTANTIATE_TEST_SUITE_P(Ports, StartUpdatePortFailure,
                         ::testing::Values(PortFailureCase{"NoOutputSelected", 0, -1, 113},
                                           PortFailureCase{"NoSuchOutput", 0, 7, 113},
                                           PortFailureCase{"NoInputSelected", -1, 0, 110}),
                         [](const auto& info) { return std::string(info.param.name); });

// Wraps a driver so that every send on its outputs fails.
class FailingSendDriver : public midi::MidiDriver {
 public:
  explicit FailingSendDriver(midi::MidiDriver& inner) : inner_(inner) {}
  std::uint32_t InputCount() override { return inner_.InputCount(); }
  std::string InputName(std::uint32_t i) override { return inner_.InputName(i); }
  std::unique_ptr<midi::InputConnection> OpenInput(std::uint32_t i, midi::InputCallback callback,
                                                   void* instance) override {
    return inner_.OpenInput(i, callback, instance);
  }
  std::uint32_t OutputCount() override { return inner_.OutputCount(); }
  std::string OutputName(std::uint32_t i) override { return inner_.OutputName(i); }
  std::unique_ptr<midi::OutputConnection> OpenOutput(std::uint32_t) override {
    return std::make_unique<FailingOutput>();
  }

 private:
  class FailingOutput : public midi::OutputConnection {
   public:
    bool Send(const std::uint8_t*, std::uint32_t, std::chrono::milliseconds) override {
      return false;
    }
    bool Close() override { return true; }
  };
  midi::MidiDriver& inner_;
};

TEST(StartUpdate, IdentityRequestThatCannotBeSentReportsTheOutputPort) {
  UnitRig rig;
  FailingSendDriver driver(rig.Driver());
  RecordingUi ui;
  UpdateContext context(ui, driver, GenerousTimings());
  RunOnce(context);
  EXPECT_THAT(ui.Errors(), ElementsAre("error:113"));
  EXPECT_EQ(ui.Calls().back(), "restore");
}

TEST(StartUpdate, LocksTheControlsInOrderBeforeTheRun) {
  UnitRig rig(WithFaults({"identity:1:error=5"}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  RunOnce(context);
  const auto calls = ui.Calls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_THAT(
      std::vector(calls.begin(), calls.begin() + 5),
      ElementsAre("enable:1000:0", "enable:1001:0", "enable:1:0", "enable:1004:0", "step:0/10"));
}

TEST(StartUpdate, ExecuteDuringARunShowsInProgressAndTheRunGoesOn) {
  UnitRig rig(WithFaults({"identity:1:delay=300"}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  context.StartReplyTimer();
  context.StartUpdate();
  ASSERT_TRUE(rig.AwaitCount(CommandKind::kIdentity, 1));
  context.StartUpdate();
  EXPECT_THAT(ui.Errors(), ElementsAre("error:109"));
  // The run gets its answer and carries on: the next command reaches the unit.
  EXPECT_TRUE(rig.AwaitCount(CommandKind::kEnter, 1));
  context.OnDestroy();
  context.JoinWorker();
  EXPECT_THAT(ui.Errors(), ElementsAre("error:109"));
}

TEST(StartUpdate, SecondRunAfterAFailedOneStartsAfresh) {
  UnitRig rig(WithFaults({"identity:1:error=5"}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  RunOnce(context);
  context.StartUpdate();  // reopens the ports; identity answers this time
  ASSERT_TRUE(rig.AwaitCount(CommandKind::kEnter, 1));
  context.OnDestroy();
  context.JoinWorker();
  EXPECT_THAT(ui.Errors(), ElementsAre("error:105"));
}

// Closing the window while the worker waits for each kind of answer.
class CloseDuringWait : public ::testing::TestWithParam<CommandKind> {};

TEST_P(CloseDuringWait, EndsQuietly) {
  const CommandKind kind = GetParam();
  const std::map<CommandKind, const char*> dropRule = {
      {CommandKind::kIdentity, "identity:1:drop"}, {CommandKind::kEnter, "enter:1:drop"},
      {CommandKind::kRead, "read:1:drop"},         {CommandKind::kErase, "erase:1:drop"},
      {CommandKind::kWrite, "write:1:drop"},
  };
  UnitRig rig(WithFaults({dropRule.at(kind)}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  context.StartReplyTimer();
  context.StartUpdate();
  ASSERT_TRUE(rig.AwaitCount(kind, 1));
  const std::size_t callsBeforeClose = ui.Calls().size();
  context.OnDestroy();
  context.JoinWorker();
  EXPECT_THAT(ui.Errors(), IsEmpty());
  // At most the calls the worker was already making after its send.
  EXPECT_LE(ui.Calls().size(), callsBeforeClose + 2);
  for (const auto& call : ui.Calls()) EXPECT_NE(call, "restore");
  EXPECT_FALSE(context.WorkerRunning());
}

INSTANTIATE_TEST_SUITE_P(Waits, CloseDuringWait,
                         ::testing::Values(CommandKind::kIdentity, CommandKind::kEnter,
                                           CommandKind::kRead, CommandKind::kErase,
                                           CommandKind::kWrite));

TEST(CloseDuringWait, DestroyingTheContextMidRunEndsTheWorker) {
  UnitRig rig(WithFaults({"write:1:drop"}));
  RecordingUi ui;
  {
    UpdateContext context(ui, rig.Driver(), GenerousTimings());
    context.StartReplyTimer();
    context.StartUpdate();
    ASSERT_TRUE(rig.AwaitCount(CommandKind::kWrite, 1));
  }
  EXPECT_THAT(ui.Errors(), IsEmpty());
}

}  // namespace
}  // namespace vessa::engine::testing
