// The bulk of a long CRC-16 on processors that multiply without carries
// (x86-64 with PCLMULQDQ): 64 bytes at a time, several times faster than
// the tables. Elsewhere it folds nothing and the tables do all the work.
#pragma once

#include <cstdint>

// Folds whole 64-byte blocks from the start of the bytes into the running
// register and returns how many bytes it took: a multiple of 64, or 0 when
// the processor cannot or the range is shorter than one block. The caller
// feeds the rest.
uint64_t crc16FoldBlocks(uint16_t *running, const uint8_t *bytes, uint64_t count);
