// MemBlock: the one container of bytes. Its storage is obtained zero-filled,
// stays at one address until it is resized or released, and is released by
// whoever created it. `length` counts the meaningful bytes; the capacity is
// known to the owner and not kept here.
#pragma once

#include <cstdint>

// On Linux, blocks of this many bytes or more get pages of their own, of
// 2 MiB where the system grants them (filling such a block then costs a page
// fault per 2 MiB rather than per 4 KiB); smaller blocks, and every block
// elsewhere, live on the heap.
const uint32_t memBlockLargeSize = uint32_t(2) << 20;

struct MemBlock {
  void *handle;   // owner of the storage; 0 when the block holds none
  uint8_t *data;  // first byte of the storage
  uint32_t length;
};

int memBlockCreate(MemBlock *block, uint32_t size);
// Keeps the first min(old, new) bytes; new bytes are not cleared. On failure
// the storage is released and `handle` and `data` become 0.
int memBlockResize(MemBlock *block, uint32_t size);
// Releasing a block whose handle is 0 does nothing.
void memBlockFree(MemBlock *block);
// Reads a whole file into the block and sets its length.
int memBlockLoad(MemBlock *block, const char *path);
// Writes the block's first `length` bytes as the whole of a file.
int memBlockSave(const MemBlock *block, const char *path);
