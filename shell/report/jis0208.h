// The characters of JIS X 0208 by their double-byte Shift-JIS codes: a lead
// byte 0x81-0x9F or 0xE0-0xEF and a trail byte 0x40-0x7E or 0x80-0xFC.
#pragma once

#include <cstdint>

// Indexed by jis0208Index; 0 where a code names no character.
extern const uint16_t jis0208Table[47 * 188];

// The table index of a lead and a trail byte, or -1 when they are no
// double-byte code of JIS X 0208.
inline int jis0208Index(uint8_t lead, uint8_t trail) {
  int row = lead >= 0x81 && lead <= 0x9F ? lead - 0x81 : lead >= 0xE0 && lead <= 0xEF ? lead - 0xE0 + 31 : -1;
  int cell = trail >= 0x40 && trail <= 0x7E ? trail - 0x40 : trail >= 0x80 && trail <= 0xFC ? trail - 0x80 + 63 : -1;
  return row < 0 || cell < 0 ? -1 : row * 188 + cell;
}
