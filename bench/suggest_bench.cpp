// The suggestion beside the decoder it follows: on the benchmark images and
// on a ring melody of real size, decodeTimeline alone, the suggestion from
// a decoded timeline (roles, room, choice), and suggestForImage, which
// reads the file whole (walk, timeline, suggestion). What the suggestion
// adds to decoding should stay within half of it.
#include <benchmark/benchmark.h>

#include "bench/benchmarks.h"
#include "bench/images.h"
#include "engine/suggest.h"

namespace {

const ByteVector &ringImage() {
  static const ByteVector image = makeRingMelodyImage();
  return image;
}

const ByteVector &imageFor(const benchmark::State &state, ByteVector (*make)(uint32_t)) {
  static std::vector<std::pair<std::pair<ByteVector (*)(uint32_t), int64_t>, ByteVector>> images;
  if (!make) return ringImage();
  for (const auto &entry : images)
    if (entry.first.first == make && entry.first.second == state.range(0)) return entry.second;
  images.push_back({{make, state.range(0)}, make(uint32_t(state.range(0)))});
  return images.back().second;
}

void finish(benchmark::State &state, const FileSuggestion &file, size_t bytes) {
  if (file.timeline.formatKind == 0 || file.timeline.stopped.stop || file.timeline.notesStopped.stop)
    state.SkipWithError("image not decoded whole");
  state.counters["notes"] = double(file.timeline.notes.size());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// The decoder alone, into a record that keeps its storage.
void decodeBench(benchmark::State &state, ByteVector (*make)(uint32_t)) {
  const ByteVector &image = imageFor(state, make);
  FileSuggestion file;
  suggestForImage(image.data(), image.size(), false, &file);
  for (auto _ : state) {
    decodeTimeline(image.data(), image.size(), &file.timeline);
    benchmark::DoNotOptimize(file.timeline.notes.data());
    benchmark::ClobberMemory();
  }
  finish(state, file, image.size());
}

// What the suggestion adds once the timeline is decoded and the file walked.
void suggestBench(benchmark::State &state, ByteVector (*make)(uint32_t)) {
  const ByteVector &image = imageFor(state, make);
  FileSuggestion file;
  suggestForImage(image.data(), image.size(), false, &file);
  for (auto _ : state) {
    readChannelRoles(file.timeline, &file.roles);
    suggestLinks(file.roles, linkRoom(file.info, false), &file.suggestion);
    benchmark::DoNotOptimize(file.suggestion);
    benchmark::ClobberMemory();
  }
  finish(state, file, image.size());
}

// The whole reading a --suggest of one file needs.
void suggestImageBench(benchmark::State &state, ByteVector (*make)(uint32_t)) {
  const ByteVector &image = imageFor(state, make);
  FileSuggestion file;
  for (auto _ : state) {
    suggestForImage(image.data(), image.size(), false, &file);
    benchmark::DoNotOptimize(file.suggestion);
    benchmark::ClobberMemory();
  }
  finish(state, file, image.size());
}

void withSizes(benchmark::internal::Benchmark *benchmark) {
  for (int64_t size : {int64_t(4) << 10, int64_t(256) << 10, int64_t(16) << 20}) benchmark->Arg(size);
}

}  // namespace

void registerSuggestBenchmarks() {
  struct Family {
    const char *name;
    ByteVector (*make)(uint32_t);
  } const families[] = {{"Melody", makeMelodyImage}, {"Smaf", makeSmafImage}, {"Ring", nullptr}};
  for (const Family &f : families) {
    auto make = f.make;
    auto *decode = benchmark::RegisterBenchmark((std::string("suggest/decode") + f.name).c_str(),
                                                [make](benchmark::State &s) { decodeBench(s, make); });
    auto *suggest = benchmark::RegisterBenchmark((std::string("suggest/roles") + f.name).c_str(),
                                                 [make](benchmark::State &s) { suggestBench(s, make); });
    auto *whole = benchmark::RegisterBenchmark((std::string("suggest/image") + f.name).c_str(),
                                               [make](benchmark::State &s) { suggestImageBench(s, make); });
    if (make) {
      decode->Apply(withSizes);
      suggest->Apply(withSizes);
      whole->Apply(withSizes);
    }
  }
}
