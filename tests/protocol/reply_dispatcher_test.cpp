#include "protocol/reply_dispatcher.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "protocol/messages.h"

namespace vessa::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class FakeQueue : public MessageQueue {
 public:
  std::optional<std::span<const std::uint8_t>> FrontMessage() override {
    if (messages.empty()) return std::nullopt;
    return std::span<const std::uint8_t>(messages.front().data(), messages.front().size());
  }
  void PopMessage() override {
    if (!messages.empty()) messages.pop_front();
  }
  std::deque<Bytes> messages;
};

class RecordingOutput : public MessageOutput {
 public:
  bool SendMessage(const std::uint8_t* data, std::uint32_t length) override {
    sent.emplace_back(data, data + length);
    return true;
  }
  std::vector<Bytes> sent;
};

constexpr std::int32_t kStatusBefore = 42;  // an earlier answer's status

Bytes ReadReplyForTag() {
  return {0xF0, 0x52, 0x00, 0x6E, 0x60, 0x04, 0x30, 0x00, 0x00, 0x04, 0x00,
          0x00, 0x31, 0x2E, 0x30, 0x30, 0x12, 0x25, 0x03, 0x6B, 0x05, 0xF7};
}

Bytes WithByte(Bytes m, std::size_t at, std::uint8_t value) {
  m[at] = value;
  return m;
}

Bytes Truncated(Bytes m, std::size_t size) {
  m.resize(size);
  return m;
}

Bytes ReadReplyOf(const Bytes& raw) {
  Bytes m(ReadReplySize(static_cast<std::uint32_t>(raw.size())));
  BuildReadReply(m.data(), 0x6E, raw.data(), static_cast<std::uint32_t>(raw.size()));
  return m;
}

struct DispatchCase {
  std::string name;
  std::vector<Bytes> incoming;
  std::int32_t status;  // ReplyStatus afterwards
  bool signalled;
  std::vector<Bytes> sentBack;  // what the program answered
  std::optional<Identity> identity = std::nullopt;
  Bytes readBack = {};      // bytes found at offset 0 of the read-back buffer
  std::int32_t offset = 0;  // ReadBackOffset afterwards
};

// Test listings show the case, not its bytes.
void PrintTo(const DispatchCase& c, std::ostream* os) {
  *os << c.name;
}

const Bytes kAck0 = {0xF0, 0x52, 0x00, 0x00, 0x00, 0x00, 0xF7};
const Bytes kAck1 = {0xF0, 0x52, 0x00, 0x00, 0x00, 0x01, 0xF7};
const Bytes kHostIdentity = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x00, 0x00,
                             0x00, 0x00, 0x31, 0x30, 0x30, 0x30, 0xF7};
const Bytes kTag = {0x31, 0x2E, 0x30, 0x30};

std::vector<DispatchCase> Cases() {
  const Bytes sixBytes = {0x81, 0x02, 0xF3, 0x04, 0x75, 0xE6};
  return {
      {"empty queue", {}, kStatusBefore, false, {}},
      {"ack result 11", {{0xF0, 0x52, 0x00, 0x6E, 0x00, 0x0B, 0xF7}}, 11, true, {}},
      {"ack from another device and model",
       {{0xF0, 0x52, 0x05, 0x12, 0x00, 0x00, 0xF7}},
       0,
       true,
       {}},
      {"ack result C8 taken without sign",
       {{0xF0, 0x52, 0x00, 0x6E, 0x00, 0xC8, 0xF7}},
       200,
       true,
       {}},
      {"command 02 from the unit", {{0xF0, 0x52, 0x00, 0x6E, 0x02, 0xF7}}, 0, true, {}},
      {"verified read reply", {ReadReplyForTag()}, 0, true, {}, std::nullopt, kTag, 4},
      {"read reply, crc byte changed",
       {WithByte(ReadReplyForTag(), 16, 0x13)},
       1,
       true,
       {},
       std::nullopt,
       kTag,
       0},
      {"read reply, last crc byte changed",
       {WithByte(ReadReplyForTag(), 20, 0x04)},
       1,
       true,
       {},
       std::nullopt,
       kTag,
       0},
      {"read reply without data", {WithByte(ReadReplyForTag(), 5, 0x03)}, kStatusBefore, true, {}},
      {"read reply answering something else", {WithByte(ReadReplyForTag(), 6, 0x31)}, 1, true, {}},
      {"read reply of six bytes", {ReadReplyOf(sixBytes)}, 0, true, {}, std::nullopt, sixBytes, 6},
      {"read reply longer than its message",
       {Truncated(ReadReplyForTag(), 18)},
       kStatusBefore,
       false,
       {}},
      {"identity request to all-call",
       {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}},
       kStatusBefore,
       false,
       {kHostIdentity}},
      {"unit identity reply",
       {{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x6E, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}},
       0,
       true,
       {},
       Identity{0x6E, 0x00, 0x02, 0x00}},
      {"short identity reply",
       {{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x6E, 0xF7}},
       kStatusBefore,
       false,
       {}},
      {"unknown general information",
       {{0xF0, 0x7E, 0x00, 0x06, 0x03, 0xF7}},
       kStatusBefore,
       false,
       {kAck1}},
      {"universal, not general information",
       {{0xF0, 0x7E, 0x00, 0x08, 0x01, 0xF7}},
       kStatusBefore,
       false,
       {}},
      {"another family", {{0xF0, 0x43, 0x00, 0x6E, 0x00, 0x00, 0xF7}}, kStatusBefore, false, {}},
      {"not a SysEx buffer",
       {{0x90, 0x52, 0x00, 0x6E, 0x00, 0x00, 0xF7}},
       kStatusBefore,
       false,
       {}},
      {"erase code from the unit",
       {{0xF0, 0x52, 0x00, 0x6E, 0x0A, 0xF7}},
       kStatusBefore,
       false,
       {kAck1}},
      {"unknown code", {{0xF0, 0x52, 0x00, 0x6E, 0x10, 0xF7}}, kStatusBefore, false, {kAck1}},
      {"code 03 ignored", {{0xF0, 0x52, 0x00, 0x6E, 0x03, 0xF7}}, kStatusBefore, false, {}},
      {"codes 01 04 05 acknowledged",
       {{0xF0, 0x52, 0x00, 0x6E, 0x01, 0xF7},
        {0xF0, 0x52, 0x00, 0x6E, 0x04, 0xF7},
        {0xF0, 0x52, 0x00, 0x6E, 0x05, 0xF7}},
       kStatusBefore,
       false,
       {kAck0, kAck0, kAck0}},
      {"two acks in one tick, the last wins",
       {{0xF0, 0x52, 0x00, 0x6E, 0x00, 0x00, 0xF7}, {0xF0, 0x52, 0x00, 0x6E, 0x00, 0x05, 0xF7}},
       5,
       true,
       {}},
      {"too short for a command code", {{0xF0, 0x52, 0x00, 0x6E}}, kStatusBefore, false, {}},
      {"ack too short for its result", {{0xF0, 0x52, 0x00, 0x6E, 0x00}}, kStatusBefore, false, {}},
      {"lone start byte", {{0xF0}}, kStatusBefore, false, {}},
      {"empty buffer", {Bytes{}}, kStatusBefore, false, {}},
  };
}

// A dispatcher over a fake queue, recording what it sends back.
struct DispatcherRig {
  FakeQueue queue;
  RecordingOutput output;
  SysExSender sender{output};
  ReplySlot slot;
  ReplyDispatcher dispatcher{queue, sender, slot};
};

class ReplyDispatcherTest : public ::testing::TestWithParam<DispatchCase>, protected DispatcherRig {
 protected:
  void SetUp() override {
    slot.PostStatus(kStatusBefore);
    ASSERT_TRUE(slot.Wait(0ms));  // consume it: only the case's answers may signal
  }
};

TEST_P(ReplyDispatcherTest, HandlesEveryQueuedMessage) {
  const DispatchCase& c = GetParam();
  for (const Bytes& m : c.incoming) queue.messages.push_back(m);

  dispatcher.HandleReplies();

  EXPECT_TRUE(queue.messages.empty());
  EXPECT_EQ(slot.ReplyStatus(), c.status);
  EXPECT_EQ(slot.Wait(0ms), c.signalled);
  EXPECT_FALSE(slot.Wait(0ms)) << "the event holds at most one signal";
  EXPECT_EQ(output.sent, c.sentBack);
  if (c.identity) {
    EXPECT_EQ(slot.DeviceIdentity(), *c.identity);
  }
  EXPECT_EQ(dispatcher.ReadBack(0, c.readBack.size()), c.readBack);
  EXPECT_EQ(dispatcher.ReadBackOffset(), c.offset);
}

INSTANTIATE_TEST_SUITE_P(Messages, ReplyDispatcherTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

class ReplyDispatcherStateTest : public ::testing::Test, protected DispatcherRig {};

TEST_F(ReplyDispatcherStateTest, VerifiedRepliesFillTheBufferBackToBack) {
  queue.messages = {ReadReplyOf({1, 2, 3}), ReadReplyOf({4, 5})};
  dispatcher.HandleReplies();
  EXPECT_EQ(dispatcher.ReadBackOffset(), 5);
  EXPECT_EQ(dispatcher.ReadBack(0, 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST_F(ReplyDispatcherStateTest, ReplyThatWouldNotFitWritesNothing) {
  dispatcher.SetReadBackOffset(static_cast<std::int32_t>(kReadBackBufferSize - 2));
  queue.messages = {ReadReplyForTag()};
  dispatcher.HandleReplies();
  EXPECT_EQ(slot.ReplyStatus(), kStatusFailure);
  EXPECT_TRUE(slot.Wait(0ms));
  EXPECT_EQ(dispatcher.ReadBackOffset(), static_cast<std::int32_t>(kReadBackBufferSize - 2));
  EXPECT_EQ(dispatcher.ReadBack(kReadBackBufferSize - 2, 2), (Bytes{0, 0}));
}

TEST_F(ReplyDispatcherStateTest, AnswersAfterClosingKeepTheClosingStatus) {
  slot.Close();
  queue.messages = {{0xF0, 0x52, 0x00, 0x6E, 0x00, 0x00, 0xF7},
                    {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x6E, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0xF7},
                    ReadReplyForTag()};
  dispatcher.HandleReplies();
  EXPECT_EQ(slot.ReplyStatus(), kStatusClosing);
  EXPECT_TRUE(slot.Wait(0ms));  // closing ends every wait at once
  EXPECT_TRUE(slot.Wait(0ms));
  EXPECT_EQ(slot.ReplyStatus(), kStatusClosing);
}

TEST_F(ReplyDispatcherStateTest, IdentityRequestIsAnsweredWithTheAdoptedModel) {
  sender.AdoptIdentity({0x6E, 0x00, 0x02, 0x00});
  queue.messages = {{0xF0, 0x7E, 0x00, 0x06, 0x03, 0xF7}};
  dispatcher.HandleReplies();
  ASSERT_EQ(output.sent.size(), 1u);
  EXPECT_EQ(output.sent[0], (Bytes{0xF0, 0x52, 0x00, 0x6E, 0x00, 0x01, 0xF7}));
}

}  // namespace
}  // namespace vessa::protocol
