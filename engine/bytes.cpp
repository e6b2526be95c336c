#include "engine/bytes.h"

#include <cstring>

#include "engine/crcfold.h"

namespace {

// entry[k][b] is the register that byte b followed by k zero bytes leaves
// behind, starting from 0. The CRC being linear, 16 bytes are folded in at
// once: the running register is XORed into the first two of them and their
// 16 entries are XORed together. The compiler builds the tables, so nothing
// runs at start-up.
const int crcSlice = 16;

struct CrcTables {
  uint16_t entry[crcSlice][256];
};

constexpr uint16_t crcOfByte(uint32_t byte) {
  uint32_t value = byte << 8;
  for (int bit = 0; bit < 8; ++bit) value = (value & 0x8000) ? (value << 1) ^ 0x1021 : value << 1;
  return uint16_t(value);
}

constexpr CrcTables makeCrcTables() {
  CrcTables tables = {};
  for (uint32_t b = 0; b < 256; ++b) tables.entry[0][b] = crcOfByte(b);
  for (int k = 1; k < crcSlice; ++k)
    for (uint32_t b = 0; b < 256; ++b) {
      uint32_t previous = tables.entry[k - 1][b];
      tables.entry[k][b] = uint16_t((previous << 8) ^ tables.entry[0][previous >> 8]);
    }
  return tables;
}

constexpr CrcTables crcTables = makeCrcTables();

uint32_t crcOfSlice(uint32_t running, const uint8_t *bytes) {
  uint32_t value = crcTables.entry[crcSlice - 1][bytes[0] ^ (running >> 8)] ^
                   crcTables.entry[crcSlice - 2][bytes[1] ^ (running & 0xFF)];
#pragma GCC unroll 16
  for (int i = 2; i < crcSlice; ++i) value ^= crcTables.entry[crcSlice - 1 - i][bytes[i]];
  return value;
}

}  // namespace

uint16_t crc16Start() { return 0xFFFF; }

uint16_t crc16Update(uint16_t running, const uint8_t *bytes, uint64_t count) {
  uint64_t folded = crc16FoldBlocks(&running, bytes, count);
  bytes += folded, count -= folded;
  uint32_t value = running;
  for (; count >= crcSlice; count -= crcSlice, bytes += crcSlice) value = crcOfSlice(value, bytes);
  for (; count > 0; --count, ++bytes) value = ((value << 8) & 0xFFFF) ^ crcTables.entry[0][(value >> 8) ^ *bytes];
  return uint16_t(value);
}

uint16_t crc16Finish(uint16_t running) { return uint16_t(running ^ 0xFFFF); }

uint16_t crc16(const uint8_t *bytes, int32_t count) {
  if (count <= 0) return 0;
  return crc16Finish(crc16Update(crc16Start(), bytes, uint64_t(count)));
}

uint8_t parseDecimalByte(const char *text, uint32_t maximum) {
  uint8_t value = 0;
  for (uint32_t i = 0; i < maximum; ++i) {
    uint8_t c = uint8_t(text[i]);
    if (c < '0' || c > '9') break;
    value = uint8_t(value * 10 + (c - '0'));
  }
  return value;
}
