// Port lists and connections against a running JACK server.

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <unistd.h>

#include <algorithm>

#include "midi/common/port_lists.h"
#include "midi/jack/client.h"
#include "midi/jack/driver.h"
#include "midi/jack/virtual_ports.h"
#include "tests/midi/jack_test_support.h"

namespace vessa::midi::jack {
namespace {

std::string UniqueName(const std::string& stem) {
  return stem + "-" + std::to_string(getpid());
}

std::uint32_t IndexOf(const std::vector<std::string>& names, const std::string& wanted) {
  return static_cast<std::uint32_t>(std::find(names.begin(), names.end(), wanted) - names.begin());
}

bool Contains(const std::vector<std::string>& names, const std::string& wanted) {
  return std::find(names.begin(), names.end(), wanted) != names.end();
}

// A plain client that a test shapes port by port.
class RawClient {
 public:
  explicit RawClient(const std::string& name)
      : client_(jack_client_open(name.c_str(), JackNoStartServer, nullptr)) {}
  ~RawClient() {
    if (client_ != nullptr) jack_client_close(client_);
  }
  jack_client_t* get() const { return client_; }
  void AddMidiPort(const char* name, unsigned long flags) {
    ASSERT_NE(jack_port_register(client_, name, JACK_DEFAULT_MIDI_TYPE, flags, 0), nullptr);
  }
  std::vector<std::string> ConnectionsOf(const std::string& port) const {
    std::vector<std::string> result;
    const char** names =
        jack_port_get_all_connections(client_, jack_port_by_name(client_, port.c_str()));
    for (const char** name = names; name != nullptr && *name != nullptr; ++name)
      result.emplace_back(*name);
    jack_free(names);
    return result;
  }

 private:
  jack_client_t* client_;
};

TEST(JackListing, PortsAreNamedByClientUnlessItHasSeveralInThatDirection) {
  const std::string name = UniqueName("vessa-multi");
  RawClient multi(name);
  ASSERT_NE(multi.get(), nullptr);
  multi.AddMidiPort("a", JackPortIsOutput);
  multi.AddMidiPort("b", JackPortIsOutput);
  multi.AddMidiPort("c", JackPortIsInput);
  const std::string unit = UniqueName("ORVANE Vessa Series");
  auto pair = OpenVirtualPorts(unit, nullptr);
  ASSERT_NE(pair, nullptr);

  auto driver = CreateJackDriver();
  const std::vector<std::string> inputs = InputNames(*driver);
  const std::vector<std::string> outputs = OutputNames(*driver);
  EXPECT_TRUE(Contains(inputs, name + ":a"));
  EXPECT_TRUE(Contains(inputs, name + ":b"));
  EXPECT_FALSE(Contains(inputs, name));
  EXPECT_TRUE(Contains(outputs, name));
  EXPECT_TRUE(Contains(inputs, unit));
  EXPECT_TRUE(Contains(outputs, unit));
}

TEST(JackListing, OwnPortsAreNeverListed) {
  const std::string unit = UniqueName("vessa-own");
  auto pair = OpenVirtualPorts(unit, nullptr);
  ASSERT_NE(pair, nullptr);
  auto driver = CreateJackDriver();
  testing::BufferReceiver receiver(8192);
  auto input = driver->OpenInput(IndexOf(InputNames(*driver), unit),
                                 &testing::BufferReceiver::Callback, &receiver);
  auto output = driver->OpenOutput(IndexOf(OutputNames(*driver), unit));
  ASSERT_TRUE(input && output);

  const std::string ours = std::string(jack_get_client_name(SharedClient()->Handle())) + ":";
  for (const auto& names : {InputNames(*driver), OutputNames(*driver)}) {
    for (const std::string& listed : names) EXPECT_NE(listed.rfind(ours, 0), 0u) << listed;
  }
}

TEST(JackListing, OpenConnectsAndCloseDisconnects) {
  const std::string unit = UniqueName("vessa-wires");
  auto pair = OpenVirtualPorts(unit, nullptr);
  ASSERT_NE(pair, nullptr);
  RawClient probe(UniqueName("vessa-probe"));
  ASSERT_NE(probe.get(), nullptr);
  auto driver = CreateJackDriver();

  testing::BufferReceiver receiver(8192);
  auto input = driver->OpenInput(IndexOf(InputNames(*driver), unit),
                                 &testing::BufferReceiver::Callback, &receiver);
  auto output = driver->OpenOutput(IndexOf(OutputNames(*driver), unit));
  ASSERT_TRUE(input && output);
  const std::vector<std::string> fromUnit = probe.ConnectionsOf(pair->OutputPortName());
  const std::vector<std::string> toUnit = probe.ConnectionsOf(pair->InputPortName());
  ASSERT_EQ(fromUnit.size(), 1u);
  ASSERT_EQ(toUnit.size(), 1u);

  EXPECT_TRUE(input->Close());
  EXPECT_TRUE(output->Close());
  EXPECT_TRUE(probe.ConnectionsOf(pair->OutputPortName()).empty());
  EXPECT_TRUE(probe.ConnectionsOf(pair->InputPortName()).empty());
  EXPECT_EQ(jack_port_by_name(probe.get(), fromUnit[0].c_str()), nullptr)
      << "port not unregistered";
  EXPECT_EQ(jack_port_by_name(probe.get(), toUnit[0].c_str()), nullptr) << "port not unregistered";
}

TEST(JackListing, IndexPastTheListOpensNothing) {
  auto driver = CreateJackDriver();
  const std::uint32_t past = driver->InputCount() + driver->OutputCount() + 1;
  EXPECT_EQ(driver->InputName(past), "");
  EXPECT_EQ(driver->OpenInput(past, &testing::BufferReceiver::Callback, nullptr), nullptr);
  EXPECT_EQ(driver->OpenOutput(past), nullptr);
}

TEST(JackVirtualPorts, NameAlreadyTakenIsRefused) {
  const std::string unit = UniqueName("vessa-twice");
  auto first = OpenVirtualPorts(unit, nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->ClientName(), unit);
  EXPECT_EQ(OpenVirtualPorts(unit, nullptr), nullptr);
}

}  // namespace
}  // namespace vessa::midi::jack
