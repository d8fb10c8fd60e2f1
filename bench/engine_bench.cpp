// A full update plan against a virtual unit that answers at once, over the
// loopback driver: wall time and host CPU time per acknowledged chunk.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <memory>

#include "engine/update_context.h"
#include "engine/virtual_unit/loopback_unit.h"
#include "midi/loopback/driver.h"

namespace {

using namespace vessa;

class SilentUi : public engine::UserInterface {
 public:
  std::int32_t MidiInSelection() override { return 0; }
  std::int32_t MidiOutSelection() override { return 0; }
  void EnableControl(engine::Control, bool) override {}
  void SetStatusText(const std::string&) override {}
  void SetStepText(const std::string&) override {}
  void ShowError(int) override { failed = true; }
  void SetProgressRange(std::int32_t, std::int32_t) override {}
  void SetProgressPos(std::int32_t) override {}
  void RestoreControls() override {}
  void EnableExecute(bool) override {}
  bool failed = false;
};

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_FullPlanOverLoopback(benchmark::State& state) {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  std::uint64_t chunks = 0;
  for (auto _ : state) {
    auto driver = midi::loopback::CreateLoopbackDriver();
    engine::unit::LoopbackUnit unit(*driver, engine::unit::kDefaultUnitName);
    SilentUi ui;
    engine::EngineTimings timings;
    timings.enterUpdatePause = std::chrono::milliseconds(0);  // not the transfer's cost
    {
      engine::UpdateContext context(ui, *driver, timings);
      context.StartReplyTimer();
      const auto wallStart = std::chrono::steady_clock::now();
      const double cpuStart = ProcessCpuSeconds();
      context.StartUpdate();
      context.JoinWorker();
      cpuSeconds += ProcessCpuSeconds() - cpuStart;
      wallSeconds +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
      context.OnDestroy();
    }
    if (ui.failed) state.SkipWithError("the update run failed");
    chunks += unit.Unit().Count(engine::unit::CommandKind::kWrite);
  }
  state.counters["chunks"] = static_cast<double>(chunks) / static_cast<double>(state.iterations());
  state.counters["wall_us_per_chunk"] = wallSeconds * 1e6 / static_cast<double>(chunks);
  state.counters["host_cpu_us_per_chunk"] = cpuSeconds * 1e6 / static_cast<double>(chunks);
}
BENCHMARK(BM_FullPlanOverLoopback)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
