// Conversions side by side: two threads convert at the same time with
// different requests, and each gets exactly the bytes and links it would
// get alone. Built under ThreadSanitizer by scripts/test as well.
#include <gtest/gtest.h>

#include <thread>

#include "tests/images.h"

namespace {

struct Work {
  Bytes image;
  ConversionRequest request;
  ConvertedByRequest expected;
  int mismatches;
};

void convertRepeatedly(Work *work) {
  for (int k = 0; k < 200; ++k) {
    ConvertedByRequest got = convertWithRequest(work->image, work->request);
    if (got.bytes != work->expected.bytes || got.result.carried.vibration != work->expected.result.carried.vibration ||
        got.result.carried.led != work->expected.result.carried.led)
      ++work->mismatches;
  }
}

}  // namespace

TEST(Conversions, RunSideBySide) {
  const Bytes notes = hex("00 10 60  00 50 60");
  Work works[] = {
      {melody(vers('2'), track(notes)), {0x0002, 0x0001, false}, {}, 0},
      {melody(vers('2'), track(notes)), {0x0100, 0x8000, false}, {}, 0},
      {smaf(cnti({}) + mtr(5, Bytes(16, 0)) + mtr(6, Bytes(16, 0x20), 2)), {0x0005, 0x0004, true}, {}, 0},
      {smaf(cnti({}) + mtr(5, Bytes(16, 0)) + mtr(6, Bytes(16, 0x20), 2)), {0x00F0, 0x0000, false}, {}, 0},
  };
  for (Work &work : works) work.expected = convertWithRequest(work.image, work.request);
  ASSERT_NE(works[0].expected.bytes, works[1].expected.bytes);
  ASSERT_NE(works[2].expected.bytes, works[3].expected.bytes);
  std::thread threads[] = {std::thread(convertRepeatedly, &works[0]), std::thread(convertRepeatedly, &works[1]),
                           std::thread(convertRepeatedly, &works[2]), std::thread(convertRepeatedly, &works[3])};
  for (std::thread &thread : threads) thread.join();
  for (const Work &work : works) EXPECT_EQ(work.mismatches, 0) << toHex(work.image);
}
