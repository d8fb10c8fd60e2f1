// Update runs against the virtual unit over the loopback driver.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/update_plan.h"
#include "resources/string_table.h"
#include "tests/engine/engine_rig.h"

namespace vessa::engine::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using unit::CommandKind;

constexpr std::uint32_t kFullPlanWrites = 1884;
constexpr std::uint32_t kSkippedBootWrites = 1849;
constexpr std::uint32_t kFullPlanErases = 5;
constexpr std::uint32_t kSkippedBootErases = 4;

std::string Status(int id) {
  return "status:" + std::string(resources::LoadString(id));
}

struct FailureCase {
  const char* name;
  std::vector<std::string> faults;
  bool preload;
  protocol::Identity identity;
  EngineTimings timings;
  int expectedError;
  std::uint32_t expectedErases;  // erase commands on the wire
  std::uint32_t expectedWrites;  // write commands on the wire
};

// Test listings show the case, not its bytes.
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class UpdateFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(UpdateFailure, ReportsOnceRestoresControlsAndStops) {
  const FailureCase& c = GetParam();
  UnitRig rig(WithFaults(c.faults, c.preload, c.identity));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), c.timings);
  RunOnce(context);

  EXPECT_THAT(ui.Errors(), ElementsAre("error:" + std::to_string(c.expectedError)));
  const auto calls = ui.Calls();
  ASSERT_GE(calls.size(), 2u);
  // The message comes first, then the controls; nothing follows.
  EXPECT_EQ(calls[calls.size() - 2], "error:" + std::to_string(c.expectedError));
  EXPECT_EQ(calls.back(), "restore");
  EXPECT_FALSE(context.UpdateInProgress());
  EXPECT_EQ(rig.Unit().Count(CommandKind::kErase), c.expectedErases);
  EXPECT_EQ(rig.Unit().Count(CommandKind::kWrite), c.expectedWrites);
}

constexpr protocol::Identity kUnitV2 = unit::kDefaultUnitIdentity;
constexpr protocol::Identity kUnitV1 = {0x6E, 0x00, 0x01, 0x00};
constexpr protocol::Identity kUnknownMember = {0x6E, 0x00, 0x03, 0x00};

// Writes on the wire before image 129 on a fresh unit: images 133 and 142.
constexpr std::uint32_t kWritesBefore129 = 29 + 35;

INSTANTIATE_TEST_SUITE_P(
    FailureTable, UpdateFailure,
    ::testing::Values(
        FailureCase{
            "IdentityUnanswered", {"identity:1:drop"}, false, kUnitV2, QuickTimeouts(), 102, 0, 0},
        FailureCase{"IdentityAnsweredWithError",
                    {"identity:1:error=5"},
                    false,
                    kUnitV2,
                    GenerousTimings(),
                    105,
                    0,
                    0},
        FailureCase{"IdentityRefused", {}, false, kUnknownMember, GenerousTimings(), 105, 0, 0},
        // The older member passes the model check and gets as far as enter-update.
        FailureCase{"OlderMemberPassesModelCheck",
                    {"enter:1:error=3"},
                    false,
                    kUnitV1,
                    GenerousTimings(),
                    107,
                    0,
                    0},
        FailureCase{
            "EnterUpdateUnanswered", {"enter:1:drop"}, false, kUnitV2, QuickTimeouts(), 102, 0, 0},
        FailureCase{
            "NotInUpdateMode", {"enter:1:error=11"}, false, kUnitV2, GenerousTimings(), 106, 0, 0},
        FailureCase{
            "EnterUpdateError", {"enter:1:error=3"}, false, kUnitV2, GenerousTimings(), 107, 0, 0},
        FailureCase{
            "BootReadUnanswered", {"read:1:drop"}, false, kUnitV2, QuickTimeouts(), 107, 0, 0},
        FailureCase{
            "BootReadFailsCheck", {"read:1:corrupt"}, false, kUnitV2, GenerousTimings(), 107, 0, 0},
        FailureCase{
            "BootReadError", {"read:1:error=5"}, false, kUnitV2, GenerousTimings(), 107, 0, 0},
        // A missing erase answer is never followed by a second erase command.
        FailureCase{
            "EraseUnanswered", {"erase:1:drop"}, false, kUnitV2, QuickTimeouts(), 104, 1, 0},
        FailureCase{"EraseErrorSevenTimes",
                    {"erase:1-7:error=3"},
                    false,
                    kUnitV2,
                    GenerousTimings(),
                    107,
                    7,
                    0},
        FailureCase{"ChunkUnanswered32Times",
                    {"write:1-32:drop"},
                    false,
                    kUnitV2,
                    QuickTimeouts(),
                    103,
                    2,
                    32},
        FailureCase{"ChunkError32Times",
                    {"write:1-32:error=3"},
                    false,
                    kUnitV2,
                    GenerousTimings(),
                    107,
                    2,
                    32},
        // The kind of the last failure picks the text.
        FailureCase{"ThirtyOneMissingThenError",
                    {"write:1-31:drop", "write:32:error=3"},
                    false,
                    kUnitV2,
                    QuickTimeouts(),
                    107,
                    2,
                    32},
        // Steps 8 to 10 never run; erases of steps 1, 2, 4 and 6 did.
        FailureCase{"Image129Fails",
                    {"write:65-96:error=3"},
                    false,
                    kUnitV2,
                    GenerousTimings(),
                    107,
                    4,
                    kWritesBefore129 + 32},
        FailureCase{"FinishUnanswered",
                    {"finish:1:drop"},
                    true,
                    kUnitV2,
                    QuickTimeouts(),
                    107,
                    kSkippedBootErases,
                    kSkippedBootWrites}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateFailureDetail, EnterUpdateTimeOutKeepsErasingText) {
  UnitRig rig(WithFaults({"enter:1:drop"}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), QuickTimeouts());
  RunOnce(context);
  EXPECT_THAT(ui.CallsStartingWith("status:"), ElementsAre(Status(resources::kIdsErasingFlash)));
}

TEST(UpdateFailureDetail, FailedBootReadLeavesFlashUntouchedAndStepAtZero) {
  UnitRig rig(WithFaults({"read:1:corrupt"}, true));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  RunOnce(context);
  EXPECT_THAT(ui.CallsStartingWith("step:"), ElementsAre("step:0/10"));
  EXPECT_EQ(rig.Unit().FirstImageNotInPlace(), std::nullopt);
}

TEST(UpdateFailureDetail, FailedImage129LeavesItsRegionAndTheSmallRegionErased) {
  UnitRig rig(WithFaults({"write:65-96:error=3"}));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  RunOnce(context);
  const auto small = rig.Unit().Flash(0xDF000, 0x1000);
  EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_THAT(ui.CallsStartingWith("step:").back(), "step:7/10");
}

struct SuccessCase {
  const char* name;
  std::vector<std::string> faults;
  bool preload;
  EngineTimings timings;
  std::uint32_t expectedErases;
  std::uint32_t expectedWrites;
};

void PrintTo(const SuccessCase& c, std::ostream* os) {
  *os << c.name;
}

class UpdateSuccess : public ::testing::TestWithParam<SuccessCase> {};

TEST_P(UpdateSuccess, CompletesWithEveryImageInPlace) {
  const SuccessCase& c = GetParam();
  UnitRig rig(WithFaults(c.faults, c.preload));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), c.timings);
  RunOnce(context);

  EXPECT_THAT(ui.Errors(), IsEmpty());
  const auto calls = ui.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_THAT(std::vector(calls.end() - 3, calls.end()),
              ElementsAre(Status(resources::kIdsUpdateCompleted), "restore", "execute:0"));
  EXPECT_EQ(ui.CallsStartingWith("step:").back(), "step:10/10");
  EXPECT_FALSE(context.UpdateInProgress());
  EXPECT_EQ(rig.Unit().Count(CommandKind::kErase), c.expectedErases);
  EXPECT_EQ(rig.Unit().Count(CommandKind::kWrite), c.expectedWrites);
  EXPECT_EQ(rig.Unit().FirstImageNotInPlace(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    SuccessTable, UpdateSuccess,
    ::testing::Values(
        SuccessCase{
            "FreshUnitFullPlan", {}, false, GenerousTimings(), kFullPlanErases, kFullPlanWrites},
        // An erase that errs six times, a chunk that fails 31 times and the
        // next chunk that does so again, and a finish answered with an error.
        SuccessCase{
            "SurvivableFaults",
            {"erase:1-6:error=3", "write:1-31:error=4", "write:33-63:error=4", "finish:1:error=5"},
            true,
            GenerousTimings(),
            kSkippedBootErases + 6,
            kSkippedBootWrites + 62},
        // The late answer ends the wait for the re-sent chunk; the run goes on.
        SuccessCase{"LateAnswerTakenForResentChunk",
                    {"write:2:delay=450"},
                    true,
                    [] {
                      EngineTimings t = GenerousTimings();
                      t.writeChunkWait = std::chrono::milliseconds(300);
                      return t;
                    }(),
                    kSkippedBootErases,
                    kSkippedBootWrites + 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateSuccessDetail, TagDifferingInOneByteRewritesTheBootArea) {
  // Clear one bit of the tag's last byte in the unit's flash with a plain
  // write: the run must see the difference and rewrite the whole boot area.
  UnitRig tampered(WithFaults({}, true));
  {
    std::vector<std::uint8_t> message(protocol::WriteCommandSize(1));
    const std::uint8_t changed = 0x20;  // "1.0 " where the tag ends in '0' (0x30)
    protocol::BuildWriteCommand(message.data(), 0x6E, &changed, kBootTagAddress + 3, 1);
    tampered.Unit().Receive(message);
  }
  RecordingUi ui;
  UpdateContext context(ui, tampered.Driver(), GenerousTimings());
  RunOnce(context);
  EXPECT_THAT(ui.Errors(), IsEmpty());
  EXPECT_EQ(tampered.Unit().Count(CommandKind::kWrite), 1 + kFullPlanWrites);
  EXPECT_EQ(tampered.Unit().FirstImageNotInPlace(), std::nullopt);
}

TEST(UpdateSuccessDetail, MatchingBootAreaTagSkipsStepsFourAndFiveOnly) {
  UnitRig rig(WithFaults({}, true));
  RecordingUi ui;
  UpdateContext context(ui, rig.Driver(), GenerousTimings());
  RunOnce(context);
  EXPECT_THAT(ui.Errors(), IsEmpty());
  EXPECT_EQ(rig.Unit().Count(CommandKind::kErase), kSkippedBootErases);
  EXPECT_EQ(rig.Unit().Count(CommandKind::kWrite), kSkippedBootWrites);
  EXPECT_EQ(rig.Unit().FirstImageNotInPlace(), std::nullopt);
  std::vector<std::string> steps = ui.CallsStartingWith("step:");
  EXPECT_THAT(steps, ElementsAre("step:0/10", "step:1/10", "step:2/10", "step:3/10", "step:4/10",
                                 "step:5/10", "step:6/10", "step:7/10", "step:8/10", "step:9/10",
                                 "step:10/10"));
  const auto statuses = ui.CallsStartingWith("status:");
  // The text shows the bytes acknowledged before each chunk, never the total.
  EXPECT_THAT(statuses, Contains("status:Data transmit  0 / 501408 "));
  EXPECT_THAT(statuses, Contains("status:Data transmit  499712 / 501408 "));
  EXPECT_THAT(statuses, Not(Contains("status:Data transmit  501408 / 501408 ")));
  EXPECT_THAT(statuses, Contains("status:Data transmit  0 / 4096 "));
  EXPECT_THAT(statuses, Not(Contains("status:Data transmit  4096 / 4096 ")));
  // Image 136 goes out with the plan's length.
  EXPECT_THAT(statuses, Contains("status:Data transmit  6942720 / 6946816 "));
}

}  // namespace
}  // namespace vessa::engine::testing
