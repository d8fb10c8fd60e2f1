// The JACK backend with no server to talk to, and the naming rule on its own.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "midi/jack/driver.h"
#include "midi/jack/port_names.h"
#include "midi/jack/virtual_ports.h"

namespace vessa::midi::jack {
namespace {

TEST(JackNoServer, ListsNothingOpensNothingAndPrintsNothing) {
  // A server name nobody runs, so a server on this machine cannot answer.
  const std::string absent = "vessa-absent-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", absent.c_str(), 1);
  ::testing::internal::CaptureStderr();
  ::testing::internal::CaptureStdout();

  auto driver = CreateJackDriver();
  const std::uint32_t inputs = driver->InputCount();
  const std::uint32_t outputs = driver->OutputCount();
  const std::string name = driver->InputName(0);
  auto output = driver->OpenOutput(0);
  auto ports = OpenVirtualPorts("vessa-absent-unit", nullptr);

  const std::string printed =
      ::testing::internal::GetCapturedStderr() + ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(inputs, 0u);
  EXPECT_EQ(outputs, 0u);
  EXPECT_EQ(name, "");
  EXPECT_EQ(output, nullptr);
  EXPECT_EQ(ports, nullptr);
  EXPECT_EQ(printed, "");
}

TEST(JackPortNames, ClientNameWhenItIsTheClientsOnlyPortInThatDirection) {
  struct Case {
    std::vector<std::string> ports;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {{}, {}},
      {{"ORVANE Vessa Series:out"}, {"ORVANE Vessa Series"}},
      {{"synth:midi_out", "unit:out"}, {"synth", "unit"}},
      {{"bridge:port 1", "unit:out", "bridge:port 2"}, {"bridge:port 1", "unit", "bridge:port 2"}},
      // Only the first colon separates client and port.
      {{"odd:port:with:colons"}, {"odd"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ListedNames(c.ports), c.listed);
}

}  // namespace
}  // namespace vessa::midi::jack
