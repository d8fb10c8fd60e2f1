#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "midi/loopback/driver.h"
#include "midi/midi_in_port.h"
#include "midi/midi_out_port.h"
#include "midi/system_driver.h"
#include "tests/midi/message_inbox.h"

namespace vessa::midi {
namespace {

using ::testing::ElementsAre;

// Only bounds a wait for something that is bound to happen.
constexpr std::chrono::seconds kGenerousWait{10};

std::vector<std::uint8_t> SysEx(std::size_t length, std::uint8_t fill) {
  std::vector<std::uint8_t> message(length, fill & 0x7F);
  message.front() = 0xF0;
  message.back() = 0xF7;
  return message;
}

int Send(MidiOutPort& port, std::vector<std::uint8_t>& bytes) {
  MidiHeader header;
  header.data = bytes.data();
  header.bufferLength = static_cast<std::uint32_t>(bytes.size());
  return port.SendLongMessage(&header);
}

std::vector<std::uint8_t> WaitForFront(MidiInPort& port) {
  const auto deadline = std::chrono::steady_clock::now() + kGenerousWait;
  while (std::chrono::steady_clock::now() < deadline) {
    auto front = port.FrontMessage();
    if (front.data() != nullptr) {
      std::vector<std::uint8_t> message(front.begin(), front.end());
      port.PopMessage();
      return message;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {};
}

class LoopbackTest : public ::testing::Test {
 protected:
  void OpenPorts(std::uint32_t index = 0) {
    in.DeviceIndex = index;
    ASSERT_EQ(in.Open(), 1);
    ASSERT_EQ(out.Open(index), 1);
  }

  std::unique_ptr<loopback::LoopbackDriver> driver = loopback::CreateLoopbackDriver();
  MidiInPort in{*driver};
  MidiOutPort out{*driver};
};

TEST_F(LoopbackTest, EachDeviceIsListedAsInputAndOutputInOrderOfAdding) {
  auto first = driver->AddDevice("ORVANE Vessa Series");
  auto second = driver->AddDevice("USB Audio Device");
  ASSERT_EQ(in.GetDeviceCount(), 2u);
  ASSERT_EQ(out.GetDeviceCount(), 2u);
  EXPECT_EQ(in.GetDeviceName(1), "USB Audio Device");
  EXPECT_EQ(out.GetDeviceName(0), "ORVANE Vessa Series");
}

// A 4,700-byte command answered from the far side's receiver comes back as
// one message in the input port's queue.
TEST_F(LoopbackTest, RoundTripThroughThePorts) {
  auto device = driver->AddDevice("Unit");
  MessageInbox inbox;
  auto reply = SysEx(7, 0x42);
  device->SetReceiver([&](std::span<const std::uint8_t> message) {
    inbox.Add(message);
    device->Send(reply);
  });
  OpenPorts();

  auto command = SysEx(4700, 0x33);
  ASSERT_EQ(Send(out, command), 1);
  EXPECT_EQ(WaitForFront(in), reply);
  EXPECT_THAT(inbox.WaitFor(1), ElementsAre(command));
}

TEST_F(LoopbackTest, MessagesArriveCompleteAndInOrderBothWays) {
  auto device = driver->AddDevice("Unit");
  MessageInbox inbox;
  OpenPorts();

  // Sent before a receiver is there: they wait for it rather than vanish.
  std::vector<std::vector<std::uint8_t>> sent;
  for (std::size_t i = 0; i < 50; ++i) {
    sent.push_back(SysEx(6 + i * 97, static_cast<std::uint8_t>(i)));
    ASSERT_EQ(Send(out, sent.back()), 1);
  }
  device->SetReceiver([&](std::span<const std::uint8_t> message) { inbox.Add(message); });
  EXPECT_EQ(inbox.WaitFor(sent.size()), sent);

  for (const auto& message : sent) ASSERT_TRUE(device->Send(message));
  for (const auto& message : sent) ASSERT_EQ(WaitForFront(in), message);
}

TEST_F(LoopbackTest, DeviceSendNeedsAnOpenStartedInput) {
  auto device = driver->AddDevice("Unit");
  const auto message = SysEx(6, 1);
  EXPECT_FALSE(device->Send(message));
  OpenPorts();
  EXPECT_TRUE(device->Send(message));
  in.Close();
  EXPECT_FALSE(device->Send(message));
}

TEST_F(LoopbackTest, InputOpensOnceAtATime) {
  auto device = driver->AddDevice("Unit");
  OpenPorts();
  MidiInPort second(*driver);
  EXPECT_EQ(second.Open(), 0);
  in.Close();
  EXPECT_EQ(second.Open(), 1);
}

// The far side going away while the host's ports are open makes sends fail;
// the device stays listed until the ports let go of it.
TEST_F(LoopbackTest, DeviceRemovedWhilePortsAreOpen) {
  auto device = driver->AddDevice("Unit");
  MessageInbox inbox;
  device->SetReceiver([&](std::span<const std::uint8_t> message) { inbox.Add(message); });
  OpenPorts();
  device.reset();

  auto command = SysEx(20, 5);
  EXPECT_EQ(Send(out, command), 0);
  EXPECT_EQ(in.GetDeviceCount(), 1u);

  in.Close();
  out.Close();
  EXPECT_EQ(in.GetDeviceCount(), 0u);
  EXPECT_EQ(in.Open(), 0);
}

// A receiver may drop the last handle to its own device.
TEST_F(LoopbackTest, ReceiverMayDropItsOwnDevice) {
  auto device = driver->AddDevice("Unit");
  MessageInbox inbox;
  device->SetReceiver([&](std::span<const std::uint8_t> message) {
    device.reset();
    inbox.Add(message);
  });
  OpenPorts();
  auto command = SysEx(6, 1);
  ASSERT_EQ(Send(out, command), 1);
  EXPECT_EQ(inbox.WaitFor(1).size(), 1u);
  out.Close();
  in.Close();
}

TEST(SystemDriverTest, LoopbackDevicesComeFirst) {
  auto device = SystemLoopback().AddDevice("Virtual Unit");
  MidiDriver& system = SystemMidiDriver();
  ASSERT_GE(system.InputCount(), 1u);
  EXPECT_EQ(system.InputName(0), "Virtual Unit");
  EXPECT_EQ(system.OutputName(0), "Virtual Unit");

  MidiInPort in(system);
  MidiOutPort out(system);
  ASSERT_EQ(in.Open(), 1);
  ASSERT_EQ(out.Open(0), 1);
  auto reply = SysEx(7, 1);
  device->SetReceiver([&](std::span<const std::uint8_t>) { device->Send(reply); });
  auto command = SysEx(6, 2);
  ASSERT_EQ(Send(out, command), 1);
  EXPECT_EQ(WaitForFront(in), reply);
  out.Close();
  in.Close();
}

}  // namespace
}  // namespace vessa::midi
