// The CRC-32 engine alone: every path this processor runs, beside libdeflate's crc32.
#include <benchmark/benchmark.h>
#include <libdeflate.h>

#include <cstdint>
#include <random>
#include <vector>

#include "verify/Crc32.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
  std::mt19937 generator(7);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(generator() >> 24);
  return bytes;
}

// Decimal gigabytes per second, as the rest of the figures.
void CountBytes(benchmark::State& state, std::size_t size) {
  const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(size);
  state.counters["GB/s"] =
      benchmark::Counter(bytes, benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}

void Engine(benchmark::State& state, Crc32::Path path) {
  const Crc32::Path started = Crc32::Selected();
  if (!Crc32::Select(path)) {
    state.SkipWithError("this processor cannot run the path");
    return;
  }
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<std::uint8_t> bytes = RandomBytes(size);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (auto _ : state) {
    crc = Crc32::Update(crc, bytes.data(), size);
    benchmark::DoNotOptimize(crc);
  }
  CountBytes(state, size);
  Crc32::Select(started);
}

void Libdeflate(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<std::uint8_t> bytes = RandomBytes(size);
  std::uint32_t crc = 0;
  for (auto _ : state) {
    crc = libdeflate_crc32(crc, bytes.data(), size);
    benchmark::DoNotOptimize(crc);
  }
  CountBytes(state, size);
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(64)->Arg(4096)->Arg(1048576);
}

}  // namespace

BENCHMARK_CAPTURE(Engine, table, Crc32::Path::Table)->Apply(Sizes);
BENCHMARK_CAPTURE(Engine, slice16, Crc32::Path::Slice16)->Apply(Sizes);
BENCHMARK_CAPTURE(Engine, pclmul, Crc32::Path::Pclmul)->Apply(Sizes);
BENCHMARK_CAPTURE(Engine, vpclmul512, Crc32::Path::Vpclmul512)->Apply(Sizes);
BENCHMARK(Libdeflate)->Apply(Sizes);

int main(int argc, char** argv) {
  const char* const names[] = {"table", "slice16", "pclmul", "vpclmul512"};
  benchmark::AddCustomContext("update path", names[static_cast<int>(Crc32::Selected())]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
