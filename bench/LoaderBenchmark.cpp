// The check-list loader over lists of growing size: a constant time per entry shows it linear.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "checklist/CheckList.h"

namespace {

// About 50 bytes an entry, as a real list with folders in its names has.
std::string WriteList(std::int64_t entries) {
  const std::string path = "/tmp/disksentry-loader-bench-" + std::to_string(getpid()) + "-" +
                           std::to_string(entries) + ".INF";
  std::ofstream list(path, std::ios::binary);
  list << "[TITLE]\r\n\"Loader benchmark\"\r\n[CDFILES]\r\n";
  char line[96];
  for (std::int64_t i = 0; i < entries; ++i) {
    std::snprintf(line, sizeof line, "gamedata\\stage%03lld\\file%07lld.dat,%lld,0x%08llX\r\n",
                  static_cast<long long>(i % 1000), static_cast<long long>(i),
                  static_cast<long long>(i * 37 % 100000), static_cast<long long>(i * 2654435761LL % 0xFFFFFFFFLL));
    list << line;
  }
  return path;
}

void LoadCheckList(benchmark::State& state) {
  const std::string path = WriteList(state.range(0));
  std::ifstream sized(path, std::ios::binary | std::ios::ate);
  const auto bytes = static_cast<std::int64_t>(sized.tellg());
  for (auto _ : state) {
    CheckList list;
    if (!list.Load(path.c_str()) || static_cast<std::int64_t>(list.cdFiles.size()) != state.range(0)) {
      state.SkipWithError("the list did not load whole");
    }
    benchmark::DoNotOptimize(list.cdFiles.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["s_per_entry"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(0)),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
  state.counters["list_MB"] = static_cast<double>(bytes) / 1e6;
  // The sizes run from small to large, so the process's peak is this size's.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
  std::remove(path.c_str());
}

}  // namespace

BENCHMARK(LoadCheckList)->Arg(15625)->Arg(62500)->Arg(250000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
