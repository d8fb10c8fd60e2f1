// Throughput of the encodings and of building one full write command.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "protocol/crc32.h"
#include "protocol/encodings.h"
#include "protocol/messages.h"

namespace {

using vessa::protocol::PackedLength;

constexpr std::uint32_t kChunk = 4096;

std::vector<std::uint8_t> Chunk() {
  std::vector<std::uint8_t> data(kChunk);
  for (std::uint32_t i = 0; i < kChunk; ++i) data[i] = static_cast<std::uint8_t>(i * 131 + 7);
  return data;
}

void BM_Crc32(benchmark::State& state) {
  const auto data = Chunk();
  for (auto _ : state) {
    benchmark::DoNotOptimize(vessa::protocol::Crc32(data.data(), kChunk));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_Crc32);

void BM_PackData(benchmark::State& state) {
  const auto data = Chunk();
  std::vector<std::uint8_t> out(PackedLength(kChunk));
  for (auto _ : state) {
    benchmark::DoNotOptimize(vessa::protocol::PackData(out.data(), data.data(), kChunk));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_PackData);

void BM_UnpackData(benchmark::State& state) {
  const auto data = Chunk();
  std::vector<std::uint8_t> packed(PackedLength(kChunk));
  vessa::protocol::PackData(packed.data(), data.data(), kChunk);
  std::vector<std::uint8_t> out(kChunk);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vessa::protocol::UnpackData(out.data(), packed.data(), PackedLength(kChunk)));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_UnpackData);

void BM_BuildWriteCommand(benchmark::State& state) {
  const auto data = Chunk();
  std::vector<std::uint8_t> out(vessa::protocol::WriteCommandSize(kChunk));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vessa::protocol::BuildWriteCommand(out.data(), 0x6E, data.data(), 0x160000, kChunk));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BuildWriteCommand)->Unit(benchmark::kMicrosecond);

}  // namespace
