#include "engine/bytes.h"

#include <cstring>

uint16_t crc16Start() { return 0xFFFF; }

uint16_t crc16Update(uint16_t running, const uint8_t *bytes, uint64_t count) {
  uint32_t value = running;
  for (uint64_t i = 0; i < count; ++i) {
    value ^= uint32_t(bytes[i]) << 8;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 0x8000) ? ((value << 1) ^ 0x1021) & 0xFFFF
                               : (value << 1) & 0xFFFF;
  }
  return uint16_t(value);
}

uint16_t crc16Finish(uint16_t running) { return uint16_t(running ^ 0xFFFF); }

uint16_t crc16(const uint8_t *bytes, int32_t count) {
  if (count <= 0) return 0;
  return crc16Finish(crc16Update(crc16Start(), bytes, uint64_t(count)));
}

uint32_t writeBE(uint8_t *destination, uint32_t value, uint32_t width) {
  if (width > 4) return 0;
  for (uint32_t i = 0; i < width; ++i)
    destination[i] = uint8_t(value >> (8 * (width - 1 - i)));
  return width;
}

uint32_t readBE(const uint8_t *source, uint32_t width) {
  if (width > 4) return 0;
  uint32_t value = 0;
  for (uint32_t i = 0; i < width; ++i) value = (value << 8) | source[i];
  return value;
}

int compareBytes(const uint8_t *a, const uint8_t *b, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    int8_t x = int8_t(a[i]), y = int8_t(b[i]);
    if (x != y) return x > y ? 1 : -1;
  }
  return 0;
}

uint32_t copyBytes(uint8_t *destination, const uint8_t *source, uint32_t count) {
  if (count) std::memmove(destination, source, count);
  return count;
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
