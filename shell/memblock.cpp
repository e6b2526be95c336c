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
#include <cstring>

#include "shell/pages.h"

// The handle is this record. Small blocks live on the C heap; a large one
// gets pages of its own where the system gives them (shell/pages.h), and a
// file read whole may be its mapped pages (memBlockMapFile).
struct Storage {
  uint8_t *data;
  size_t size;    // usable bytes at data
  size_t mapped;  // what to give back with pagesRelease; 0 for heap memory
};

static void storageRelease(const Storage &storage) {
  if (storage.mapped)
    pagesRelease(storage.data, storage.mapped);
  else
    std::free(storage.data);
}

// At least one byte, so that a block of size 0 still has a handle. A large
// block is on the heap only where no pages are given.
static bool storageFill(Storage *storage, size_t size) {
  size_t mapped = 0;
  uint8_t *pages = size >= memBlockLargeSize ? pagesCreate(size, &mapped) : nullptr;
  if (pages) {
    *storage = {pages, size, mapped};
    return true;
  }
  void *data = std::calloc(size ? size : 1, 1);
  *storage = {static_cast<uint8_t *>(data), size, 0};
  return data != nullptr;
}

static Storage *storageRecord(const Storage &storage) {
  Storage *record = static_cast<Storage *>(std::malloc(sizeof(Storage)));
  if (record)
    *record = storage;
  else
    storageRelease(storage);
  return record;
}

static void *storageCreate(uint32_t size, uint8_t **data) {
  Storage storage;
  Storage *record = storageFill(&storage, size) ? storageRecord(storage) : nullptr;
  *data = record ? record->data : nullptr;
  return record;
}

static void storageFree(void *handle) {
  storageRelease(*static_cast<Storage *>(handle));
  std::free(handle);
}

// A block keeps its storage while the new size fits there: on the heap,
// realloc decides; in pages, while the block stays large. Otherwise the
// bytes move to new storage.
static bool storageMove(Storage *storage, size_t size) {
  if (storage->mapped && size >= memBlockLargeSize && size <= storage->mapped) {
    storage->size = size;
    return true;
  }
  if (!storage->mapped && size < memBlockLargeSize) {
    void *moved = std::realloc(storage->data, size ? size : 1);
    if (!moved) return false;
    *storage = {static_cast<uint8_t *>(moved), size, 0};
    return true;
  }
  Storage moved;
  if (!storageFill(&moved, size)) return false;
  std::memcpy(moved.data, storage->data, size < storage->size ? size : storage->size);
  storageRelease(*storage);
  *storage = moved;
  return true;
}

static void *storageResize(void *handle, uint32_t size, uint8_t **data) {
  Storage *storage = static_cast<Storage *>(handle);
  if (!storageMove(storage, size)) {
    storageFree(storage);
    *data = nullptr;
    return nullptr;
  }
  *data = storage->data;
  return storage;
}

int memBlockMapFile(MemBlock *block, int fd, uint32_t size) {
  size_t mapped = 0;
  uint8_t *pages = pagesMapFile(fd, size, &mapped);
  Storage *record = pages ? storageRecord({pages, size, mapped}) : nullptr;
  block->handle = record;
  block->data = record ? record->data : nullptr;
  block->length = record ? size : 0;
  return record != nullptr;
}
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
