// The forward walk shared by both rewriters: the input image is read from
// inPos on and the rewritten image written at outPos into an output of fixed
// capacity. A declared length is trusted only as far as the input reaches:
// every read is checked against the input's length, every write against the
// output's capacity, and positions are 64-bit so that no 32-bit length can
// wrap them.
#pragma once

#include <cstdint>

#include "engine/bytes.h"
#include "engine/stops.h"

struct Walk {
  const uint8_t *in;
  uint64_t inLength;
  uint8_t *out;
  uint64_t outCapacity;
  uint64_t inPos;
  uint64_t outPos;
};

inline bool inputHas(const Walk &walk, uint64_t at, uint64_t count) {
  return at <= walk.inLength && count <= walk.inLength - at;
}

// Bytes past the input's end match nothing.
inline bool matchAt(const Walk &walk, uint64_t at, const char *pattern, int32_t count) {
  return inputHas(walk, at, uint64_t(count)) &&
         compareBytes(walk.in + at, reinterpret_cast<const uint8_t *>(pattern), count) == 0;
}

// Appends bytes to the output; false when they would not fit.
inline bool emit(Walk &walk, const uint8_t *bytes, uint64_t count) {
  if (count > walk.outCapacity - walk.outPos) return false;
  walk.outPos += copyBytes(walk.out + walk.outPos, bytes, uint32_t(count));
  return true;
}

// Copies `count` input bytes from inPos through to the output.
inline bool copyThrough(Walk &walk, uint64_t count) {
  if (!inputHas(walk, walk.inPos, count) || !emit(walk, walk.in + walk.inPos, count)) return false;
  walk.inPos += count;
  return true;
}
