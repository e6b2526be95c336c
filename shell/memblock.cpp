#include "shell/memblock.h"

#include "shell/wholefile.h"

#ifdef _WIN32
#include <windows.h>

// Movable global memory, locked for the block's whole life.
static void *storageCreate(uint32_t size, uint8_t **data) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  *data = handle ? static_cast<uint8_t *>(GlobalLock(handle)) : nullptr;
  return handle;
}

static void *storageResize(void *handle, uint32_t size, uint8_t **data) {
  GlobalUnlock(handle);
  HGLOBAL moved = GlobalReAlloc(handle, size, GMEM_MOVEABLE);
  if (!moved) {
    GlobalFree(handle);
    *data = nullptr;
    return nullptr;
  }
  *data = static_cast<uint8_t *>(GlobalLock(moved));
  return moved;
}

static void storageFree(void *handle) {
  GlobalUnlock(handle);
  GlobalFree(handle);
}

#else
#include <cstdlib>

// The C heap; the handle is the storage itself. One byte at least, so that a
// block of size 0 still has a handle.
static void *storageCreate(uint32_t size, uint8_t **data) {
  void *handle = std::calloc(size ? size : 1, 1);
  *data = static_cast<uint8_t *>(handle);
  return handle;
}

static void *storageResize(void *handle, uint32_t size, uint8_t **data) {
  void *moved = std::realloc(handle, size ? size : 1);
  if (!moved) std::free(handle);
  *data = static_cast<uint8_t *>(moved);
  return moved;
}

static void storageFree(void *handle) { std::free(handle); }
#endif

int memBlockCreate(MemBlock *block, uint32_t size) {
  block->handle = storageCreate(size, &block->data);
  return block->handle != nullptr;
}

int memBlockResize(MemBlock *block, uint32_t size) {
  if (!block->handle) return memBlockCreate(block, size);
  block->handle = storageResize(block->handle, size, &block->data);
  return block->handle != nullptr;
}

void memBlockFree(MemBlock *block) {
  if (block->handle) storageFree(block->handle);
  block->handle = nullptr;
  block->data = nullptr;
}

int memBlockLoad(MemBlock *block, const char *path) {
  block->handle = readWholeFile(path, &block->data, &block->length);
  return block->handle != nullptr;
}

int memBlockSave(const MemBlock *block, const char *path) {
  return writeWholeFile(path, block->data, block->length);
}
