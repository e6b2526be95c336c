// Byte, number and checksum helpers shared by the melody rewriters and the
// command-line reader. They allocate nothing, keep no state and never fail;
// every bound is the caller's to respect.
#pragma once

#include <cstdint>
#include <cstring>

// CRC-16/GENIBUS: polynomial 0x1021, start 0xFFFF, no reflection, final
// complement. A count of 0 or less processes nothing and gives 0x0000.
uint16_t crc16(const uint8_t *bytes, int32_t count);

// The same CRC over any number of bytes, in pieces: start with
// crc16Start(), feed every piece in order, finish with crc16Finish().
uint16_t crc16Start();
uint16_t crc16Update(uint16_t running, const uint8_t *bytes, uint64_t count);
uint16_t crc16Finish(uint16_t running);

// Big-endian integers of 0 to 4 bytes. A width above 4 is refused:
// writeBE then writes nothing and returns 0, readBE returns 0. Inline, like
// the two helpers below: the walks call them for nearly every event.
inline uint32_t writeBE(uint8_t *destination, uint32_t value, uint32_t width) {
  if (width > 4) return 0;
  for (uint32_t i = 0; i < width; ++i) destination[i] = uint8_t(value >> (8 * (width - 1 - i)));
  return width;
}

inline uint32_t readBE(const uint8_t *source, uint32_t width) {
  if (width > 4) return 0;
  uint32_t value = 0;
  for (uint32_t i = 0; i < width; ++i) value = (value << 8) | source[i];
  return value;
}

// 0 when the ranges are equal, else 1 or -1 by the first differing byte taken
// as signed. No byte beyond the first difference is read.
inline int compareBytes(const uint8_t *a, const uint8_t *b, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    int8_t x = int8_t(a[i]), y = int8_t(b[i]);
    if (x != y) return x > y ? 1 : -1;
  }
  return 0;
}

// Copies count bytes, correct also for overlapping areas; returns count.
inline uint32_t copyBytes(uint8_t *destination, const uint8_t *source, uint32_t count) {
  if (count) std::memmove(destination, source, count);
  return count;
}

// Reads at most `maximum` decimal digits into one byte (modulo 256), stopping
// at the first character that is not a digit.
uint8_t parseDecimalByte(const char *text, uint32_t maximum);
