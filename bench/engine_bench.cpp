// The engine's benchmarks: convertBlock and decodeTimeline on i-melody and
// SMAF images, crc16 alone, findFormat over bytes without a magic, and memcpy
// of the same sizes as the reference.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

#include "bench/benchmarks.h"
#include "bench/images.h"
#include "engine/bytes.h"
#include "engine/conversion.h"
#include "engine/format.h"
#include "engine/timeline.h"

namespace {

const int64_t sizes[] = {4 << 10, 256 << 10, 16 << 20};

// Each image is made once per run, however often a benchmark is entered.
const ByteVector &cachedImage(ByteVector (*make)(uint32_t), int64_t size) {
  static std::map<std::pair<ByteVector (*)(uint32_t), int64_t>, ByteVector> images;
  ByteVector &image = images[{make, size}];
  if (image.empty()) image = make(uint32_t(size));
  return image;
}

void setBytes(benchmark::State &state, size_t bytesPerIteration) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytesPerIteration));
}

void memcpyBench(benchmark::State &state) {
  ByteVector from(size_t(state.range(0)), 0x5A), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  setBytes(state, from.size());
}

// Vibration on channel 2, LED on channel 1: both rewriters insert and drop.
void convertBench(benchmark::State &state, ByteVector (*make)(uint32_t)) {
  const ByteVector &image = cachedImage(make, state.range(0));
  MemBlock input = {}, output = {};
  memBlockCreate(&input, uint32_t(image.size()));
  std::memcpy(input.data, image.data(), image.size());
  input.length = uint32_t(image.size());
  const ConversionRequest request = {0x0002, 0x0001, false};
  ConversionResult result = convertBlock(input, &output, request);  // untimed: the output's pages are touched once
  for (auto _ : state) {
    result = convertBlock(input, &output, request);
    benchmark::DoNotOptimize(output.data);
    benchmark::ClobberMemory();
  }
  if (result.outcome != CONVERT_DONE) state.SkipWithError("image not converted");
  setBytes(state, image.size());
  memBlockFree(&input);
  memBlockFree(&output);
}

void convertMelodyBench(benchmark::State &state) { convertBench(state, makeMelodyImage); }
void convertSmafBench(benchmark::State &state) { convertBench(state, makeSmafImage); }

// Every note of the same images, into one record that keeps its storage
// from call to call, as a program reading many files would.
void timelineBench(benchmark::State &state, ByteVector (*make)(uint32_t)) {
  const ByteVector &image = cachedImage(make, state.range(0));
  Timeline timeline;
  decodeTimeline(image.data(), image.size(), &timeline);  // untimed: the storage grows once
  for (auto _ : state) {
    decodeTimeline(image.data(), image.size(), &timeline);
    benchmark::DoNotOptimize(timeline.notes.data());
    benchmark::ClobberMemory();
  }
  if (timeline.formatKind == FORMAT_NONE || timeline.stopped.stop || timeline.notesStopped.stop)
    state.SkipWithError("image not decoded whole");
  state.counters["notes"] = double(timeline.notes.size());
  setBytes(state, image.size());
}

void timelineMelodyBench(benchmark::State &state) { timelineBench(state, makeMelodyImage); }
void timelineSmafBench(benchmark::State &state) { timelineBench(state, makeSmafImage); }

void crc16Bench(benchmark::State &state) {
  const ByteVector &image = cachedImage(makeSmafImage, state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(crc16(image.data(), int32_t(image.size())));
  setBytes(state, image.size());
}

void findFormatBench(benchmark::State &state) {
  const ByteVector &bytes = cachedImage(makeNonMelodyImage, state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(findFormat(bytes.data(), uint32_t(bytes.size())));
  if (findFormat(bytes.data(), uint32_t(bytes.size())) != FORMAT_NONE) state.SkipWithError("magic found");
  setBytes(state, bytes.size());
}

void withSizes(benchmark::internal::Benchmark *benchmark) {
  for (int64_t size : sizes) benchmark->Arg(size);
}

}  // namespace

void registerEngineBenchmarks() {
  benchmark::RegisterBenchmark("memcpy", memcpyBench)->Apply(withSizes);
  benchmark::RegisterBenchmark("convertMelody", convertMelodyBench)->Apply(withSizes);
  benchmark::RegisterBenchmark("convertSmaf", convertSmafBench)->Apply(withSizes);
  benchmark::RegisterBenchmark("timelineMelody", timelineMelodyBench)->Apply(withSizes);
  benchmark::RegisterBenchmark("timelineSmaf", timelineSmafBench)->Apply(withSizes);
  benchmark::RegisterBenchmark("crc16", crc16Bench)->Apply(withSizes);
  benchmark::RegisterBenchmark("findFormat", findFormatBench)->Apply(withSizes);
}
