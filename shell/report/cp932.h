// The characters of Shift-JIS as phones and Windows read it (Microsoft's
// code page 932) by their double-byte codes: a lead byte 0x81-0x9F or
// 0xE0-0xFC and a trail byte 0x40-0x7E or 0x80-0xFC.
#pragma once

#include <cstdint>

// Indexed by cp932Index; 0 where a code names no character.
extern const uint16_t cp932Table[60 * 188];

// The table index of a lead and a trail byte, or -1 when they are no
// double-byte code.
inline int cp932Index(uint8_t lead, uint8_t trail) {
  int row = lead >= 0x81 && lead <= 0x9F ? lead - 0x81 : lead >= 0xE0 && lead <= 0xFC ? lead - 0xE0 + 31 : -1;
  int cell = trail >= 0x40 && trail <= 0x7E ? trail - 0x40 : trail >= 0x80 && trail <= 0xFC ? trail - 0x80 + 63 : -1;
  return row < 0 || cell < 0 ? -1 : row * 188 + cell;
}
