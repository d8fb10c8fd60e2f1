// The virtual unit on its own: flash rules and fault-rule parsing.
#include "engine/virtual_unit/virtual_unit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "protocol/messages.h"

namespace vessa::engine::unit {
namespace {

using ::testing::ElementsAre;

class UnitOnItsOwn : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Exchange(const std::vector<std::uint8_t>& message) {
    answers_.clear();
    unit_.Receive(message);
    return answers_.empty() ? std::vector<std::uint8_t>{} : answers_.back();
  }
  std::vector<std::uint8_t> Write(std::uint32_t address, std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> m(
        protocol::WriteCommandSize(static_cast<std::uint32_t>(data.size())));
    protocol::BuildWriteCommand(m.data(), 0x6E, data.data(), address,
                                static_cast<std::uint32_t>(data.size()));
    return m;
  }
  std::vector<std::uint8_t> Erase(std::uint32_t address, std::uint32_t length) {
    std::vector<std::uint8_t> m(protocol::kEraseSize);
    protocol::BuildEraseCommand(m.data(), 0x6E, address, length);
    return m;
  }
  static std::vector<std::uint8_t> Ack(std::uint8_t result) {
    return {0xF0, 0x52, 0x00, 0x6E, 0x00, result, 0xF7};
  }

  std::vector<std::vector<std::uint8_t>> answers_;
  VirtualUnit unit_{UnitOptions{}, [this](std::span<const std::uint8_t> m) {
                      answers_.emplace_back(m.begin(), m.end());
                    }};
};

TEST_F(UnitOnItsOwn, WritesOnlyClearBits) {
  EXPECT_EQ(Exchange(Write(0x100, {0xF0, 0x0F})), Ack(kUnitDone));
  // Setting a bit that is clear needs an erase: refused, flash unchanged.
  EXPECT_EQ(Exchange(Write(0x100, {0xFF, 0x0F})), Ack(kUnitNeedsErase));
  EXPECT_THAT(unit_.Flash(0x100, 2), ElementsAre(0xF0, 0x0F));
  EXPECT_EQ(Exchange(Erase(0x100, 2)), Ack(kUnitDone));
  EXPECT_THAT(unit_.Flash(0x100, 2), ElementsAre(0xFF, 0xFF));
}

TEST_F(UnitOnItsOwn, RefusesABadChecksumAndRegionsOutsideTheFlash) {
  auto bad = Write(0x10, {0x00});
  bad[bad.size() - 3] ^= 0x01;  // a checksum byte
  EXPECT_EQ(Exchange(bad), Ack(kUnitBadChecksum));
  EXPECT_THAT(unit_.Flash(0x10, 1), ElementsAre(0xFF));
  EXPECT_EQ(Exchange(Write(kFlashSize - 1, {0x00, 0x00})), Ack(kUnitOutOfRange));
  EXPECT_EQ(Exchange(Erase(kFlashSize, 1)), Ack(kUnitOutOfRange));
}

TEST_F(UnitOnItsOwn, AnswersReadsFromItsFlash) {
  Exchange(Write(0x22FFC, {0x31, 0x2E, 0x30, 0x30}));
  std::vector<std::uint8_t> request(protocol::kReadRequestSize);
  protocol::BuildReadRequest(request.data(), 0x6E, 0x22FFC, 4);
  // A reply worked out by hand for these four bytes.
  EXPECT_EQ(Exchange(request),
            (std::vector<std::uint8_t>{0xF0, 0x52, 0x00, 0x6E, 0x60, 0x04, 0x30, 0x00,
                                       0x00, 0x04, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x30,
                                       0x12, 0x25, 0x03, 0x6B, 0x05, 0xF7}));
}

struct RuleCase {
  const char* text;
  bool valid;
};

// Test listings show the case, not its bytes.
void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << c.text;
}

class FaultRuleParsing : public ::testing::TestWithParam<RuleCase> {};

TEST_P(FaultRuleParsing, AcceptsOnlyWellFormedRules) {
  EXPECT_EQ(ParseFaultRule(GetParam().text).has_value(), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FaultRuleParsing,
    ::testing::Values(RuleCase{"write:3:drop", true}, RuleCase{"erase:1-6:error=3", true},
                      RuleCase{"read:1:corrupt", true}, RuleCase{"finish:2:delay=50", true},
                      RuleCase{"write:1:corrupt", false}, RuleCase{"write:0:drop", false},
                      RuleCase{"write:5-2:drop", false}, RuleCase{"flash:1:drop", false},
                      RuleCase{"write:1:error=200", false}, RuleCase{"write:1", false},
                      RuleCase{"write:x:drop", false}, RuleCase{"write:1:explode", false}));

TEST(FaultRuleParsing, KeepsTheRangeAndTheAction) {
  const auto rule = *ParseFaultRule("erase:2-7:error=11");
  EXPECT_EQ(rule.kind, CommandKind::kErase);
  EXPECT_EQ(rule.first, 2u);
  EXPECT_EQ(rule.last, 7u);
  EXPECT_EQ(rule.action, FaultAction::kError);
  EXPECT_EQ(rule.code, 11);
}

TEST(UnitOptionParsing, ReadsIdentityAndRejectsBadValues) {
  UnitOptions options;
  std::string error;
  std::vector<std::string> args = {"--identity", "6E000100", "--preload", "--identity", "6E00"};
  std::size_t i = 0;
  ASSERT_TRUE(ParseUnitOption(args, i, options, error));
  EXPECT_EQ(options.identity, (protocol::Identity{0x6E, 0x00, 0x01, 0x00}));
  ASSERT_TRUE(ParseUnitOption(args, i, options, error));
  EXPECT_TRUE(options.preload);
  EXPECT_FALSE(ParseUnitOption(args, i, options, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vessa::engine::unit
