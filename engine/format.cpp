#include "engine/format.h"

#include <cstring>
#include <initializer_list>

// The first offset from `from` up to `end` that holds `byte`, or `end`.
static uint32_t nextByte(const uint8_t *data, uint32_t from, uint32_t end, uint8_t byte) {
  const void *hit = std::memchr(data + from, byte, end - from);
  return hit ? uint32_t(static_cast<const uint8_t *>(hit) - data) : end;
}

// Only offsets holding the first byte of a magic ("m" or "M") are compared;
// memchr finds them, and the lower of the two candidates is tried first.
int findFormat(const uint8_t *data, uint32_t length) {
  if (length < 4) return FORMAT_NONE;
  uint32_t end = length - 3;  // past the last offset where a magic fits
  uint32_t melo = nextByte(data, 0, end, 'm'), smaf = nextByte(data, 0, end, 'M');
  while (melo < end || smaf < end) {
    if (melo < smaf) {
      if (std::memcmp(data + melo, "melo", 4) == 0) return FORMAT_IMELODY;
      melo = nextByte(data, melo + 1, end, 'm');
    } else {
      if (std::memcmp(data + smaf, "MMMD", 4) == 0) return FORMAT_SMAF;
      smaf = nextByte(data, smaf + 1, end, 'M');
    }
  }
  return FORMAT_NONE;
}

bool readsAsNoMelody(int format, const uint8_t *data, uint64_t length, const StopPlace &stopped) {
  // Only a first chunk of no known kind whose declared length runs past the
  // end reads as nothing: a chunk that the walk knows (a track, a score
  // track too short for its status) is part of a melody, however damaged.
  if (stopped.at != 0) return false;
  if (format == FORMAT_IMELODY && stopped.stop != MELODY_HEADER_CUT) return false;
  if (format == FORMAT_SMAF && stopped.stop != SMAF_CHUNK_CUT) return false;
  if (length < 4) return true;
  for (const char *tag : {"melo", "cmid", "MMMD"})
    if (std::memcmp(data, tag, 4) == 0) return false;
  return true;
}
