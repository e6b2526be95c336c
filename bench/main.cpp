// sorbelin_bench: the engine's throughput against memcpy of the same size,
// measured in one run. Google Benchmark's own options apply
// (--benchmark_filter, --benchmark_min_time, --benchmark_repetitions, ...).
// Exits with 1 when a benchmark failed, so that a brief run in the tests
// notices.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/benchmarks.h"

namespace {

// The console table, followed by each benchmark's throughput as a share of
// memcpy's at the same size (medians over repetitions), in the order run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      auto rate = run.counters.find("bytes_per_second");
      errors_ += run.error_occurred;
      if (run.error_occurred || rate == run.counters.end()) continue;
      Rates &rates = ratesOf(run.run_name.function_name, run.run_name.args);
      if (run.run_type == Run::RT_Iteration) rates.samples.push_back(rate->second.value);
      if (run.aggregate_name == "median") rates.median = rate->second.value;
    }
  }

  // Benchmarks that failed, such as an image that was not converted.
  int errors() const { return errors_; }

  void Finalize() override {
    std::string text = "\nThroughput as a share of memcpy's at the same size, this run (GB = 10^9 bytes):\n";
    for (const Rates &rates : rates_) {
      const Rates *reference = find("memcpy", rates.size);
      if (rates.name == "memcpy" || !reference) continue;
      double rate = median(rates), base = median(*reference);
      char line[160];
      std::snprintf(line, sizeof line, "  %-24s %8.3f GB/s %7.1f %% of memcpy (%.3f GB/s)\n",
                    (rates.name + "/" + rates.size).c_str(), rate / 1e9, 100 * rate / base, base / 1e9);
      text += line;
    }
    GetOutputStream() << text;
  }

 private:
  struct Rates {
    std::string name, size;
    std::vector<double> samples;
    double median;  // Google Benchmark's own, when it reports aggregates
  };

  Rates *find(const std::string &name, const std::string &size) {
    for (Rates &rates : rates_)
      if (rates.name == name && rates.size == size) return &rates;
    return nullptr;
  }

  Rates &ratesOf(const std::string &name, const std::string &size) {
    if (Rates *found = find(name, size)) return *found;
    rates_.push_back({name, size, {}, 0});
    return rates_.back();
  }

  static double median(const Rates &rates) {
    if (rates.median > 0 || rates.samples.empty()) return rates.median;
    std::vector<double> samples = rates.samples;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
  }

  std::vector<Rates> rates_;
  int errors_ = 0;
};

}  // namespace

int main(int argc, char **argv) {
  registerEngineBenchmarks();
  registerSuggestBenchmarks();
  registerOptionsBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(isatty(STDOUT_FILENO) ? RatioReporter::OO_ColorTabular : RatioReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.errors() ? 1 : 0;
}
