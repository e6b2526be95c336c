// The program's own command line, split from one long text: an unquoted
// path with many spaces (each space is examined for whether it ends the
// path), then the options.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/benchmarks.h"
#include "shell/options.h"

namespace {

std::string longCommandLine() {
  std::string line = "Ring Tones";
  while (line.size() < 30000) line += "\\My Melody Collection 2003 - disc 4";
  return line + "\\tune.mld /vc:3 /lc:5 \"/sv:C:\\Ring Tones\\tune linked.mld\" /end";
}

void splitCommandLineBench(benchmark::State &state) {
  const std::string line = longCommandLine();
  char table[8][256];
  for (auto _ : state) {
    benchmark::DoNotOptimize(splitCommandLine(line.c_str(), table, 8));
    benchmark::ClobberMemory();
  }
  if (splitCommandLine(line.c_str(), table, 8) != 5) state.SkipWithError("unexpected arguments");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}

}  // namespace

void registerOptionsBenchmarks() { benchmark::RegisterBenchmark("splitCommandLine", splitCommandLineBench); }
