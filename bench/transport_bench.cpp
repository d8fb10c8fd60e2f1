// Round trip through the loopback backend and both ports: a 4,700-byte
// command out, a 7-byte answer sent from the far side's receiver back in.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "midi/loopback/driver.h"
#include "midi/midi_in_port.h"
#include "midi/midi_out_port.h"

namespace {

using Clock = std::chrono::steady_clock;
using vessa::midi::MidiHeader;

constexpr std::size_t kCommandLength = 4700;
constexpr std::size_t kAnswerLength = 7;

std::vector<std::uint8_t> SysEx(std::size_t length) {
  std::vector<std::uint8_t> message(length, 0x55);
  message.front() = 0xF0;
  message.back() = 0xF7;
  return message;
}

double Percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  return samples[index];
}

void BM_LoopbackRoundTrip(benchmark::State& state) {
  auto driver = vessa::midi::loopback::CreateLoopbackDriver();
  auto device = driver->AddDevice("Unit");
  const auto answer = SysEx(kAnswerLength);
  device->SetReceiver([&](std::span<const std::uint8_t>) { device->Send(answer); });

  vessa::midi::MidiInPort in(*driver);
  vessa::midi::MidiOutPort out(*driver);
  if (in.Open() != 1 || out.Open(0) != 1) {
    state.SkipWithError("ports did not open");
    return;
  }

  auto command = SysEx(kCommandLength);
  MidiHeader header;
  header.data = command.data();
  header.bufferLength = static_cast<std::uint32_t>(command.size());

  std::vector<double> microseconds;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (out.SendLongMessage(&header) != 1) {
      state.SkipWithError("send failed");
      break;
    }
    // Spins instead of the dispatcher's 1 ms tick: this measures the transport.
    while (in.FrontMessage().data() == nullptr) std::this_thread::yield();
    in.PopMessage();
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    state.SetIterationTime(elapsed.count());
    microseconds.push_back(elapsed.count() * 1e6);
  }
  if (microseconds.empty()) return;
  state.counters["median_us"] = Percentile(microseconds, 0.5);
  state.counters["p99_us"] = Percentile(microseconds, 0.99);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kCommandLength + kAnswerLength));
  out.Close();
  in.Close();
}
BENCHMARK(BM_LoopbackRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
