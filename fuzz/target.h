// One libFuzzer entry point around one property check: a failed property
// stops the run like a crash, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "fuzz/checks.h"

inline int runCheck(const char *(*check)(const uint8_t *, size_t), const uint8_t *data, size_t size) {
  if (const char *problem = check(data, size)) {
    std::fprintf(stderr, "property failed: %s\n", problem);
    std::abort();
  }
  return 0;
}

#define SORBELIN_FUZZ_TARGET(check) \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return runCheck(check, data, size); }
