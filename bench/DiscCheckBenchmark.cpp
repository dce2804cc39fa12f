// A list's names against a disc's files: a list of the wrong disc, whose names are all missing,
// must cost about what a list of the right one costs, and grow with the names, not their square.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "disc/listing/DiscListing.h"
#include "lists/DiscCheck.h"
#include "lists/ListedFile.h"

namespace {

// Names with a folder and Japanese letters, as a real disc has them (CP932).
std::string NameOf(const char* stem, std::int64_t i) {
  char name[96];
  std::snprintf(name, sizeof name, "\x83\x66\x81\x5B\x83\x5E%02lld\\%s%05lld.bin",
                static_cast<long long>(i % 20), stem, static_cast<long long>(i));
  return name;
}

void Compare(benchmark::State& state, const char* listedStem) {
  const std::int64_t count = state.range(0);
  std::vector<DiscEntry> files;
  std::vector<ListedFile> listed;
  for (std::int64_t i = 0; i < count; ++i) {
    files.push_back({NameOf("file", i), 1000});
    ListedFile file{TokenCode::KwCdFiles, NameOf(listedStem, i), FileEntry{}, 0};
    file.entry.size = 1000;
    listed.push_back(file);
  }
  const DiscListing disc(std::move(files));
  for (auto _ : state) {
    const std::vector<Finding> findings = disc_check::Compare(listed, disc, "in disc.iso", false);
    benchmark::DoNotOptimize(findings.data());
  }
  state.SetComplexityN(count);
}

void AllFound(benchmark::State& state) { Compare(state, "file"); }
void NoneFound(benchmark::State& state) { Compare(state, "other"); }

}  // namespace

BENCHMARK(AllFound)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(NoneFound)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
