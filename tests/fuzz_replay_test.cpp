// Every seed of the fuzz targets run through the same property checks in the
// ordinary test builds, sanitizers included.
#include <gtest/gtest.h>

#include "fuzz/checks.h"
#include "tests/testing.h"

namespace {

struct Target {
  const char *name;
  const char *(*check)(const uint8_t *, size_t);
} const targets[] = {
    {"convert", checkConversion}, {"inspect", checkInspection},     {"timeline", checkTimeline},
    {"suggest", checkSuggestion}, {"options", checkOwnCommandLine}, {"cliargs", checkPosixArguments},
};

// Runs every file of fuzz/corpus/<target> through the target's check and
// returns how many there were.
size_t replay(const Target &target) {
  std::string folder = std::string(SORBELIN_FUZZ_DIR) + "/corpus/" + target.name;
  std::vector<std::string> files = listFolder(folder);
  for (const std::string &name : files) {
    Bytes input = readFile(folder + "/" + name);
    const char *problem = target.check(input.data(), input.size());
    EXPECT_TRUE(problem == nullptr) << target.name << "/" << name << ": " << problem;
  }
  return files.size();
}

}  // namespace

TEST(FuzzReplay, SeedsKeepEveryProperty) {
  for (const Target &target : targets) EXPECT_GT(replay(target), 0u) << target.name;
}
