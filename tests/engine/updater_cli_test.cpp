// The command line of vessa-updater-cli: options and port choice.
#include <gtest/gtest.h>

#include "tools/updater_cli/cli_options.h"
#include "tools/updater_cli/port_choice.h"

namespace vessa::cli {
namespace {

struct ChoiceCase {
  const char* name;
  const char* wanted;
  std::int32_t expected;  // -1: refused
};

// Test listings show the case, not its bytes.
void PrintTo(const ChoiceCase& c, std::ostream* os) {
  *os << c.name;
}

class PortChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PortChoice, ByIndexOrUniqueExactName) {
  const std::vector<std::string> names = {"USB Audio Device", "Twin", "Twin", "7"};
  std::string error;
  const auto index = ChoosePort(names, GetParam().wanted, error);
  EXPECT_EQ(index.value_or(-1), GetParam().expected);
  EXPECT_EQ(error.empty(), index.has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, PortChoice,
                         ::testing::Values(ChoiceCase{"Index", "2", 2},
                                           ChoiceCase{"IndexOutOfRange", "4", -1},
                                           ChoiceCase{"HugeIndex", "99999999999999999999999", -1},
                                           ChoiceCase{"Name", "USB Audio Device", 0},
                                           ChoiceCase{"NameInOtherCase", "usb audio device", -1},
                                           ChoiceCase{"AmbiguousName", "Twin", -1}),
                         [](const auto& info) { return std::string(info.param.name); });

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string& error) {
  return ParseCliOptions(args, error);
}

TEST(CliOptionParsing, TraceIsTheUpdatersEvenWhenSimulating) {
  std::string error;
  const auto options =
      Parse({"--simulate", "--trace", "a.txt", "--unit-trace", "b.txt", "--fault", "write:1:drop"},
            error);
  ASSERT_TRUE(options) << error;
  EXPECT_TRUE(options->simulate);
  EXPECT_EQ(options->traceFile, "a.txt");
  EXPECT_EQ(options->unit.traceFile, "b.txt");
  EXPECT_EQ(options->unit.faults.size(), 1u);
}

TEST(CliOptionParsing, RefusesBadCommandLines) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--preload"},
                                               {"--in"},
                                               {"--simulate", "--fault", "bad"},
                                               {"--frobnicate"}}) {
    std::string error;
    EXPECT_FALSE(Parse(args, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace vessa::cli
