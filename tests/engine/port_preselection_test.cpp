#include "engine/port_preselection.h"

#include <gtest/gtest.h>

namespace vessa::engine {
namespace {

const std::string kJapanese(kPreferredPortBaseNames[0]);

struct PreselectCase {
  const char* name;
  std::vector<std::string> ports;
  int instance;
  std::int32_t expected;
};

// Test listings show the case, not its bytes.
void PrintTo(const PreselectCase& c, std::ostream* os) {
  *os << c.name;
}

class Preselect : public ::testing::TestWithParam<PreselectCase> {};

TEST_P(Preselect, PicksTheLastExactMatch) {
  EXPECT_EQ(PreselectPort(GetParam().ports, GetParam().instance), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Preselect,
    ::testing::Values(
        PreselectCase{"FirstInstancePlainName", {"Other", "USB Audio Device"}, 1, 1},
        PreselectCase{
            "SecondInstanceNumberedName", {"USB Audio Device", "USB Audio Device (2)"}, 2, 1},
        PreselectCase{"SecondInstanceIgnoresPlainName", {"USB Audio Device"}, 2, -1},
        PreselectCase{"CaseMatters", {"usb audio device", "ORVANE VESSA SERIES"}, 1, -1},
        PreselectCase{"LaterMatchWinsWhateverBaseName",
                      {kJapanese, "ORVANE Vessa Series", "USB Audio Device"},
                      1,
                      2},
        PreselectCase{"JapaneseName", {"x", kJapanese + " (12)"}, 12, 1},
        PreselectCase{"NoPorts", {}, 1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vessa::engine
