// Round trip through a running JACK server: a 4,700-byte message out through
// the driver's output connection to a virtual unit, which answers with 7
// bytes that come back through the driver's input connection. Reports the
// median and the 99th percentile. Needs a server:
//   tools/jack-server.sh run build/release/bench/jack_round_trip_bench

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "midi/jack/driver.h"
#include "midi/jack/virtual_ports.h"

namespace {

using namespace vessa::midi;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kRequestBytes = 4700;
constexpr std::array<std::uint8_t, 7> kAnswer = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0xF7};
constexpr auto kLimit = std::chrono::seconds(2);

// Counts answers; the benchmark thread spins on the count, so the wait adds
// no wake-up latency of its own.
struct AnswerCounter {
  std::array<std::uint8_t, 8192> storage{};
  MidiHeader header;
  InputConnection* connection = nullptr;
  std::atomic<std::uint64_t> answers{0};

  static void Callback(void* self, InputEvent event, MidiHeader* header) {
    auto* counter = static_cast<AnswerCounter*>(self);
    if (event != InputEvent::kLongData || header->bytesRecorded.load() == 0) return;
    counter->answers.fetch_add(1);
    counter->connection->AddBuffer(header);
  }
};

template <typename Count, typename Name>
std::optional<std::uint32_t> Find(Count count, Name name, const std::string& wanted) {
  for (std::uint32_t i = 0, n = count(); i < n; ++i) {
    if (name(i) == wanted) return i;
  }
  return std::nullopt;
}

void BM_JackRoundTrip4700To7(benchmark::State& state) {
  const std::string unitName = "vessa-bench-unit-" + std::to_string(getpid());
  auto unit = jack::OpenVirtualPorts(
      unitName, [](jack::VirtualPortPair& self, std::span<const std::uint8_t>) {
        self.Send(kAnswer, kLimit);
      });
  if (unit == nullptr) {
    state.SkipWithError("no JACK server; run it under tools/jack-server.sh run");
    return;
  }
  auto driver = jack::CreateJackDriver();
  const auto in = Find([&] { return driver->InputCount(); },
                       [&](std::uint32_t i) { return driver->InputName(i); }, unitName);
  const auto out = Find([&] { return driver->OutputCount(); },
                        [&](std::uint32_t i) { return driver->OutputName(i); }, unitName);
  if (!in || !out) {
    state.SkipWithError("virtual unit not listed");
    return;
  }
  AnswerCounter counter;
  counter.header.data = counter.storage.data();
  counter.header.bufferLength = static_cast<std::uint32_t>(counter.storage.size());
  auto input = driver->OpenInput(*in, &AnswerCounter::Callback, &counter);
  auto output = driver->OpenOutput(*out);
  if (!input || !output) {
    state.SkipWithError("could not open the connections");
    return;
  }
  counter.connection = input.get();
  input->AddBuffer(&counter.header);
  input->Start();

  std::vector<std::uint8_t> request(kRequestBytes, 0x11);
  request.front() = 0xF0;
  request.back() = 0xF7;
  std::vector<double> microseconds;
  std::uint64_t lost = 0;
  for (auto _ : state) {
    const std::uint64_t before = counter.answers.load();
    const Clock::time_point start = Clock::now();
    output->Send(request.data(), kRequestBytes, kLimit);
    const Clock::time_point deadline = start + kLimit;
    while (counter.answers.load() == before && Clock::now() < deadline) std::this_thread::yield();
    if (counter.answers.load() == before) {
      ++lost;
      continue;
    }
    const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
    microseconds.push_back(elapsed.count());
    state.SetIterationTime(elapsed.count() / 1e6);
  }
  input->Close();
  if (microseconds.empty()) return;
  std::sort(microseconds.begin(), microseconds.end());
  state.counters["median_us"] = microseconds[microseconds.size() / 2];
  state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
  state.counters["lost"] = static_cast<double>(lost);
}
BENCHMARK(BM_JackRoundTrip4700To7)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
