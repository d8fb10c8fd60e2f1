#include "protocol/messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "protocol/sysex_sender.h"

namespace vessa::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Records what the sender hands to the port.
class RecordingOutput : public MessageOutput {
 public:
  bool SendMessage(const std::uint8_t* data, std::uint32_t length) override {
    sent.emplace_back(data, data + length);
    return accept;
  }
  std::vector<Bytes> sent;
  bool accept = true;
};

class SysExSenderTest : public ::testing::Test {
 protected:
  RecordingOutput output;
  SysExSender sender{output};

  void AdoptModel6E() { sender.AdoptIdentity({0x6E, 0x00, 0x02, 0x00}); }
};

TEST_F(SysExSenderTest, WriteCommandForOneByte) {
  const std::uint8_t data[] = {0xA5};
  EXPECT_EQ(sender.SendWriteCommand(0x6E, data, 0x23000, 1), kSent);
  ASSERT_EQ(output.sent.size(), 1u);
  const Bytes expected = {0xF0, 0x52, 0x00, 0x6E, 0x02, 0x00, 0x60, 0x08, 0x00, 0x00,
                          0x01, 0x00, 0x40, 0x25, 0x15, 0x0E, 0x05, 0x5A, 0x08, 0xF7};
  EXPECT_EQ(output.sent[0], expected);
}

TEST_F(SysExSenderTest, WriteCommandForAFullChunk) {
  Bytes chunk(4096);
  for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<std::uint8_t>(i);
  sender.SendWriteCommand(0x6E, chunk.data(), 0x160000, 4096);
  ASSERT_EQ(output.sent.size(), 1u);
  const Bytes& m = output.sent[0];
  ASSERT_EQ(m.size(), 4700u);
  EXPECT_EQ(m.front(), 0xF0);
  EXPECT_EQ(m.back(), 0xF7);
  for (std::size_t i = 1; i + 1 < m.size(); ++i) ASSERT_LT(m[i], 0x80) << i;
  EXPECT_EQ(DecodeTwoByteLength(&m[kWriteLengthOffset]), 4096u);
  EXPECT_EQ(DecodeSevenBitInt(&m[kWriteAddressOffset]), 0x160000u);
}

TEST_F(SysExSenderTest, WriteCommandRefusesALengthThatDoesNotFitFourteenBits) {
  Bytes chunk(16384);
  EXPECT_EQ(sender.SendWriteCommand(0x6E, chunk.data(), 0, 16384), kNotSent);
  EXPECT_TRUE(output.sent.empty());
}

TEST_F(SysExSenderTest, ReadRequestForTheBootTag) {
  AdoptModel6E();
  sender.SendReadRequest(0x22FFC, 4);
  const Bytes expected = {0xF0, 0x52, 0x00, 0x6E, 0x60, 0x30, 0x7C, 0x5F, 0x08,
                          0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0xF7};
  ASSERT_EQ(output.sent.size(), 1u);
  EXPECT_EQ(output.sent[0], expected);
}

TEST_F(SysExSenderTest, EraseCommand) {
  sender.SendEraseCommand(0x6E, 0xDF000, 0x1000);
  const Bytes expected = {0xF0, 0x52, 0x00, 0x6E, 0x0A, 0x00, 0x60, 0x37,
                          0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0xF7};
  ASSERT_EQ(output.sent.size(), 1u);
  EXPECT_EQ(output.sent[0], expected);
}

TEST_F(SysExSenderTest, AcknowledgementsCarryTheModelByte) {
  sender.SendAck(1);  // before any identity: model byte 0
  AdoptModel6E();
  sender.SendAck(1);
  sender.SendAck();
  const std::vector<Bytes> expected = {
      {0xF0, 0x52, 0x00, 0x00, 0x00, 0x01, 0xF7},
      {0xF0, 0x52, 0x00, 0x6E, 0x00, 0x01, 0xF7},
      {0xF0, 0x52, 0x00, 0x6E, 0x00, 0x00, 0xF7},
  };
  EXPECT_EQ(output.sent, expected);
}

TEST_F(SysExSenderTest, FixedCommands) {
  AdoptModel6E();
  sender.SendIdentityRequest();
  sender.SendEnterUpdate();
  sender.SendFinish();
  const std::vector<Bytes> expected = {
      {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7},
      {0xF0, 0x52, 0x00, 0x6E, 0x01, 0xF7},
      {0xF0, 0x52, 0x00, 0x6E, 0x04, 0xF7},
  };
  EXPECT_EQ(output.sent, expected);
}

TEST_F(SysExSenderTest, HostIdentityReplyBeforeAndAfterAModelCheck) {
  sender.SendHostIdentityReply();
  AdoptModel6E();
  sender.SendHostIdentityReply();  // adopting alone does not publish
  sender.PublishHostIdentity();
  sender.SendHostIdentityReply();
  const Bytes before = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x52, 0x00, 0x00,
                        0x00, 0x00, 0x31, 0x30, 0x30, 0x30, 0xF7};
  Bytes after = before;
  after[6] = 0x6E;
  after[8] = 0x02;
  ASSERT_EQ(output.sent.size(), 3u);
  EXPECT_EQ(output.sent[0], before);
  EXPECT_EQ(output.sent[1], before);
  EXPECT_EQ(output.sent[2], after);
}

TEST_F(SysExSenderTest, FailedSendIsReported) {
  output.accept = false;
  EXPECT_EQ(sender.SendIdentityRequest(), kNotSent);
  EXPECT_EQ(sender.SendAck(), kNotSent);
}

TEST(UnitMessagesTest, ReadReplyMatchesTheWireExample) {
  const std::uint8_t tag[] = {0x31, 0x2E, 0x30, 0x30};
  Bytes out(ReadReplySize(4));
  ASSERT_EQ(BuildReadReply(out.data(), 0x6E, tag, 4), 22u);
  const Bytes expected = {0xF0, 0x52, 0x00, 0x6E, 0x60, 0x04, 0x30, 0x00, 0x00, 0x04, 0x00,
                          0x00, 0x31, 0x2E, 0x30, 0x30, 0x12, 0x25, 0x03, 0x6B, 0x05, 0xF7};
  EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace vessa::protocol
