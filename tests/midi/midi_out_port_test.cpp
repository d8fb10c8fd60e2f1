#include "midi/midi_out_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "tests/midi/fake_driver.h"

namespace vessa::midi {
namespace {

using ::testing::ElementsAre;
using testing::FakeDriver;
using ::testing::IsEmpty;
using testing::SendBehaviour;

constexpr std::chrono::milliseconds kShortLimit{20};
constexpr std::uint32_t kUntouched = 0xA5;

struct Message {
  std::vector<std::uint8_t> bytes{0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7};
  MidiHeader header;

  Message() {
    header.data = bytes.data();
    header.bufferLength = static_cast<std::uint32_t>(bytes.size());
    header.flags.store(kUntouched);
  }
};

class MidiOutPortTest : public ::testing::Test {
 protected:
  void OpenPort(std::uint32_t index = 0) {
    ASSERT_EQ(port.Open(index), 1);
    driver.log->Take();
  }

  FakeDriver driver;
  MidiOutPort port{driver, kShortLimit};
};

TEST_F(MidiOutPortTest, OpenSameIndexKeepsTheDevice) {
  OpenPort(1);
  EXPECT_EQ(port.Open(1), 1);
  EXPECT_THAT(driver.log->Take(), IsEmpty());
}

TEST_F(MidiOutPortTest, OpenAnotherIndexClosesTheOldDeviceFirst) {
  OpenPort(0);
  EXPECT_EQ(port.Open(1), 1);
  EXPECT_THAT(driver.log->Take(), ElementsAre("close 0", "open 1"));
}

TEST_F(MidiOutPortTest, FailedOpenLeavesThePortClosed) {
  driver.refuseOpen = true;
  EXPECT_EQ(port.Open(0), 0);
  EXPECT_EQ(port.Close(), 0);
}

TEST_F(MidiOutPortTest, CloseReportsWhetherADeviceWasHeld) {
  EXPECT_EQ(port.Close(), 0);
  EXPECT_THAT(driver.log->Take(), IsEmpty());

  driver.outputCloseFails = true;
  OpenPort();
  EXPECT_EQ(port.Close(), 1);  // the device is given up even so
  EXPECT_EQ(port.Close(), 0);
  EXPECT_THAT(driver.log->Take(), ElementsAre("close 0"));
}

TEST_F(MidiOutPortTest, SendOnAClosedPortLeavesTheHeaderAlone) {
  Message message;
  EXPECT_EQ(port.SendLongMessage(&message.header), 0);
  EXPECT_EQ(message.header.flags.load(), kUntouched);
  EXPECT_THAT(driver.log->Take(), IsEmpty());
}

struct SendCase {
  const char* name;
  SendBehaviour behaviour;
  int result;
  std::uint32_t flags;
};

class MidiOutPortSend : public MidiOutPortTest, public ::testing::WithParamInterface<SendCase> {};

// The limit reaches the driver unchanged, and a send it does not finish
// within that limit is a failure rather than a wait for ever.
TEST_P(MidiOutPortSend, ReportsTheDriversOutcome) {
  driver.sendBehaviour = GetParam().behaviour;
  OpenPort();
  Message message;
  EXPECT_EQ(port.SendLongMessage(&message.header), GetParam().result);
  EXPECT_EQ(message.header.flags.load(), GetParam().flags);
  EXPECT_THAT(driver.log->Take(), ElementsAre("send 6 limit 20", "send done"));
  EXPECT_THAT(driver.output->Sent(), ElementsAre(message.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, MidiOutPortSend,
    ::testing::Values(SendCase{"Completes", SendBehaviour::kCompletes, 1, kHeaderDone},
                      SendCase{"Fails", SendBehaviour::kFails, 0, 0},
                      SendCase{"NeverCompletes", SendBehaviour::kNeverCompletes, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The close must not pull the connection from under a send that is still
// going; it goes through once the send has finished.
TEST_F(MidiOutPortTest, CloseWaitsForASendInProgress) {
  driver.sendBehaviour = SendBehaviour::kWaitsForRelease;
  OpenPort();
  Message message;
  int sendResult = -1;
  std::thread sender([&] { sendResult = port.SendLongMessage(&message.header); });
  driver.output->WaitUntilInSend();

  int closeResult = -1;
  std::thread closer([&] { closeResult = port.Close(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let a wrong Close get ahead
  driver.output->Release();
  sender.join();
  closer.join();

  EXPECT_EQ(sendResult, 1);
  EXPECT_EQ(closeResult, 1);
  EXPECT_THAT(driver.log->Take(), ElementsAre("send 6 limit 20", "send done", "close 0"));
}

TEST_F(MidiOutPortTest, NamesAndCountComeFromTheDriver) {
  driver.names = {"ORVANE Vessa Series", "USB Audio Device (2)"};
  EXPECT_EQ(port.GetDeviceCount(), 2u);
  EXPECT_EQ(port.GetDeviceName(1), "USB Audio Device (2)");
}

}  // namespace
}  // namespace vessa::midi
