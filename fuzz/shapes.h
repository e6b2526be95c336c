// How the rewriters' forward walk meets an image, measured here on its own so
// that the conversion checks can tell a fault from a case that the walk's
// rules make different on purpose; and the helpers those checks share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/conversion.h"
#include "engine/format.h"
#include "shell/memblock.h"

struct SmafShape {
  int steps;            // chunk positions walked before the walk stopped
  int fileChunks;       // file chunk headers among them
  bool ledPrefixAtEnd;  // a contents-info chunk's last tag is "L" or "L2" without ","
  // Behind a file chunk header: score tracks 6 and 7 of format type 1 to 3
  // (16 status bytes, or 32 for type 3) that hold their status bytes, and
  // the channels whose vibration (0x20) and LED (0x10) bits those set.
  bool laterTracks;
  uint32_t laterVib, laterLed;
};

struct MelodyShape {
  int fileChunks;       // file chunks met by the walk
  bool fileChunkFirst;  // one of them stands at offset 0
};

SmafShape smafShape(const uint8_t *bytes, uint64_t length);
MelodyShape melodyShape(const uint8_t *bytes, uint64_t length);

// In a converted SMAF image whose walk took `steps` chunk positions: the last
// file chunk header among them declares a length that ends exactly with the
// CRC after them, and that CRC is crc16 of every byte before it. Returns null
// when that holds, else what is wrong.
const char *checkSmafClosing(const uint8_t *bytes, uint64_t length, int steps);

// A converted image walked again is walked as the image was, except where
// the walk's own rules make the second walk a different one (for each
// exception the fuzzer found, or a search built, an image):
// - i-melody: the file's declared end is its declared length + 8 counted from
//   offset 0, so it marks the end of the chunks only when the walk meets one
//   file chunk and that one stands at offset 0;
// - SMAF: a file chunk header met before the last keeps its old length, which
//   no longer fits contents that the rewrite made longer or shorter; a last
//   option tag "L" or "L2" of a contents-info chunk is tested as an LED tag
//   together with the bytes after the chunk, and where those are the CRC they
//   change; the new CRC and the bytes after it can spell a file chunk header;
// - either: the rewritten bytes (lengths, dropped events, patched status bits)
//   can make or break a magic, so that the output's first magic names another
//   format, or none.
bool sameWalkAgain(const uint8_t *image, uint32_t count, const uint8_t *output, uint32_t outLength, int format);

// A conversion check's input: two bytes of vibration mask and two of LED
// mask (big-endian), then the image. Score tracks 6 and 7 are rewritten too
// (allTracks) when the four mask bytes hold an odd number of set bits. False
// for inputs too short, or larger than any the checks need (a megabyte).
bool takeRequestAndImage(const uint8_t *data, size_t size, ConversionRequest *request, const uint8_t **image,
                         uint32_t *count);

// Converts a copy of the image held in a block of exactly its size, so that
// the address sanitizer catches a read past its end as it would a write past
// the output's capacity. The caller releases `output`.
ConversionResult convertCopy(const uint8_t *image, uint32_t count, const ConversionRequest &request, MemBlock *output);

// The format a conversion rewrote: FORMAT_NONE unless it was done.
inline int convertedFormat(const ConversionResult &result) {
  return result.outcome == CONVERT_DONE ? result.formatKind : FORMAT_NONE;
}
