// How the rewriters' forward walk meets an image, measured here on its own so
// that the conversion check can tell a fault from a case that the walk's
// rules make different on purpose.
#pragma once

#include <cstdint>

struct SmafShape {
  int steps;            // chunk positions walked before the walk stopped
  int fileChunks;       // file chunk headers among them
  bool ledPrefixAtEnd;  // a contents-info chunk's last tag is "L" or "L2" without ","
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
