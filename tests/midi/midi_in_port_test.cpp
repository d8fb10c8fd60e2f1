#include "midi/midi_in_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

#include "tests/midi/fake_driver.h"

namespace vessa::midi {
namespace {

using ::testing::ElementsAre;
using testing::FakeDriver;
using testing::InputFailures;
using ::testing::IsEmpty;

std::vector<std::uint8_t> SysEx(std::size_t length, std::uint8_t fill = 0x11) {
  std::vector<std::uint8_t> message(length, fill);
  message.front() = 0xF0;
  message.back() = 0xF7;
  return message;
}

std::vector<std::uint8_t> Copy(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

std::vector<std::vector<std::uint8_t>> Drain(MidiInPort& port) {
  std::vector<std::vector<std::uint8_t>> messages;
  for (auto front = port.FrontMessage(); front.data() != nullptr; front = port.FrontMessage()) {
    messages.push_back(Copy(front));
    port.PopMessage();
  }
  return messages;
}

class MidiInPortTest : public ::testing::Test {
 protected:
  void OpenPort() {
    ASSERT_EQ(port.Open(), 1);
    driver.log->Take();
  }

  FakeDriver driver;
  MidiInPort port{driver};
};

TEST_F(MidiInPortTest, OpenGivesTheDriverOneBufferAndStarts) {
  port.DeviceIndex = 1;
  EXPECT_EQ(port.Open(), 1);
  EXPECT_THAT(driver.log->Take(), ElementsAre("open 1", "reset", "add", "start"));
  EXPECT_EQ(driver.input->HeldBuffers(), 1u);
}

TEST_F(MidiInPortTest, OpenOnAnOpenPortMakesNoDriverCall) {
  OpenPort();
  EXPECT_EQ(port.Open(), 1);
  EXPECT_THAT(driver.log->Take(), IsEmpty());
}

TEST_F(MidiInPortTest, CloseWhenClosedMakesNoDriverCall) {
  port.Close();
  driver.refuseOpen = true;
  EXPECT_EQ(port.Open(), 0);
  driver.log->Take();
  port.Close();
  EXPECT_THAT(driver.log->Take(), IsEmpty());
}

TEST_F(MidiInPortTest, CloseStopsResetsAndCloses) {
  OpenPort();
  port.Close();
  EXPECT_THAT(driver.log->Take(), ElementsAre("stop", "reset", "close"));
}

struct FailedOpenCase {
  const char* name;
  InputFailures failures;
  std::vector<std::string> calls;
};

class MidiInPortFailedOpen : public MidiInPortTest,
                             public ::testing::WithParamInterface<FailedOpenCase> {};

// A failed open shuts down the connection it made, so nothing stays with the
// driver, and the next open starts afresh.
TEST_P(MidiInPortFailedOpen, ReleasesWhatItAcquired) {
  driver.inputFailures = GetParam().failures;
  EXPECT_EQ(port.Open(), 0);
  EXPECT_EQ(driver.log->Take(), GetParam().calls);

  port.Close();
  EXPECT_THAT(driver.log->Take(), IsEmpty());

  driver.inputFailures = {};
  EXPECT_EQ(port.Open(), 1);
  EXPECT_EQ(driver.input->HeldBuffers(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, MidiInPortFailedOpen,
    ::testing::Values(
        // The fake's reset keeps failing, so the connection is kept, never closed.
        FailedOpenCase{"Reset", {.reset = true}, {"open 0", "reset", "stop", "reset"}},
        FailedOpenCase{
            "AddBuffer", {.addBuffer = true}, {"open 0", "reset", "add", "stop", "reset", "close"}},
        FailedOpenCase{"Start",
                       {.start = true},
                       {"open 0", "reset", "add", "start", "stop", "reset", "close"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MidiInPortTest, RefusedOpenLeavesThePortClosed) {
  driver.refuseOpen = true;
  EXPECT_EQ(port.Open(), 0);
  driver.refuseOpen = false;
  driver.log->Take();
  EXPECT_EQ(port.Open(), 1);
  EXPECT_THAT(driver.log->Take(), ElementsAre("open 0", "reset", "add", "start"));
}

struct BadHandBack {
  const char* name;
  std::uint32_t recorded;
  std::uint32_t flags;
};

class MidiInPortBadHandBack : public MidiInPortTest,
                              public ::testing::WithParamInterface<BadHandBack> {};

TEST_P(MidiInPortBadHandBack, IsNeitherQueuedNorGivenBack) {
  OpenPort();
  driver.input->HandBack(GetParam().recorded, GetParam().flags);
  EXPECT_EQ(port.FrontMessage().data(), nullptr);
  EXPECT_THAT(driver.log->Take(), IsEmpty());
  EXPECT_EQ(driver.input->HeldBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, MidiInPortBadHandBack,
                         ::testing::Values(BadHandBack{"Empty", 0, kHeaderDone},
                                           BadHandBack{"NotDone", 6, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MidiInPortTest, ShortMessageLeavesTheQueueAlone) {
  OpenPort();
  driver.input->DeliverShort();
  EXPECT_EQ(port.FrontMessage().data(), nullptr);
}

TEST_F(MidiInPortTest, MessagesComeOutInOrderOfArrivalEachOnItsOwn) {
  OpenPort();
  const auto first = SysEx(6, 1), second = SysEx(7, 2), third = SysEx(20, 3);
  for (const auto& message : {first, second, third}) ASSERT_TRUE(driver.input->Deliver(message));

  // Looking twice without popping gives the same message.
  EXPECT_EQ(Copy(port.FrontMessage()), first);
  EXPECT_THAT(Drain(port), ElementsAre(first, second, third));

  port.PopMessage();  // on an empty queue: nothing happens
  EXPECT_EQ(port.FrontMessage().data(), nullptr);
  EXPECT_EQ(port.FrontMessage().size(), 0u);
}

TEST_F(MidiInPortTest, EachDeliveryGivesTheBufferBack) {
  OpenPort();
  ASSERT_TRUE(driver.input->Deliver(SysEx(6)));
  EXPECT_THAT(driver.log->Take(), ElementsAre("add"));
  EXPECT_EQ(driver.input->HeldBuffers(), 1u);
}

struct SizeCase {
  std::size_t length;
  std::vector<std::size_t> pieces;
};

class MidiInPortSizes : public MidiInPortTest, public ::testing::WithParamInterface<SizeCase> {};

// Longer than the buffer arrives as buffer-sized pieces; the port never joins them.
TEST_P(MidiInPortSizes, QueuesExactlyTheRecordedBytes) {
  OpenPort();
  std::vector<std::uint8_t> message(GetParam().length);
  std::iota(message.begin(), message.end(), std::uint8_t{0});
  ASSERT_TRUE(driver.input->Deliver(message));

  const auto received = Drain(port);
  ASSERT_EQ(received.size(), GetParam().pieces.size());
  std::size_t offset = 0;
  for (std::size_t i = 0; i < received.size(); ++i) {
    ASSERT_EQ(received[i].size(), GetParam().pieces[i]);
    EXPECT_TRUE(std::equal(received[i].begin(), received[i].end(),
                           message.begin() + static_cast<std::ptrdiff_t>(offset)));
    offset += received[i].size();
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, MidiInPortSizes,
                         ::testing::Values(SizeCase{6, {6}}, SizeCase{8192, {8192}},
                                           SizeCase{8193, {8192, 1}},
                                           SizeCase{20000, {8192, 8192, 3616}}));

TEST_F(MidiInPortTest, QueueOutlivesCloseAndReopen) {
  OpenPort();
  const auto message = SysEx(6);
  ASSERT_TRUE(driver.input->Deliver(message));
  port.Close();
  EXPECT_EQ(Copy(port.FrontMessage()), message);
  ASSERT_EQ(port.Open(), 1);
  EXPECT_THAT(Drain(port), ElementsAre(message));
}

// When the driver's stop fails it still holds the buffer: the port must keep
// that buffer alive until the connection is gone (the fake writes into it
// when destroyed with the port, which a sanitizer catches).
TEST_F(MidiInPortTest, FailedCloseKeepsTheBufferTheDriverHolds) {
  driver.inputFailures = {.stop = true};
  OpenPort();
  testing::FakeInput* stuck = driver.input;
  port.Close();
  EXPECT_THAT(driver.log->Take(), ElementsAre("stop"));

  driver.inputFailures = {};
  ASSERT_EQ(port.Open(), 1);
  EXPECT_EQ(stuck->HeldBuffers(), 1u);
}

// What a stuck connection still delivers is neither queued nor given to the
// connection that replaced it.
TEST_F(MidiInPortTest, FailedCloseIgnoresLaterDataInTheOldBuffer) {
  driver.inputFailures = {.stop = true};
  OpenPort();
  testing::FakeInput* stuck = driver.input;
  port.Close();
  driver.inputFailures = {};
  ASSERT_EQ(port.Open(), 1);
  driver.log->Take();

  ASSERT_TRUE(stuck->Deliver(SysEx(8192)));
  EXPECT_EQ(port.FrontMessage().data(), nullptr);
  EXPECT_THAT(driver.log->Take(), IsEmpty());
}

TEST_F(MidiInPortTest, NamesAndCountComeFromTheDriver) {
  EXPECT_EQ(port.GetDeviceCount(), 2u);
  EXPECT_EQ(port.GetDeviceName(1), "Port B");
}

}  // namespace
}  // namespace vessa::midi
