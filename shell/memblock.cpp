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

#if defined(__linux__)
#include <sys/mman.h>
#endif

// The handle is this record. Blocks live on the C heap, but for large ones
// on Linux, which get pages of their own (mappedCreate).
struct Storage {
  uint8_t *data;
  size_t size;    // usable bytes at data
  size_t mapped;  // bytes mapped at data for this block alone; 0 for heap memory
};

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// A large block is touched page by page as it is filled (or read into, or
// written from), and every page costs a fault and a miss in the address
// cache; in pages of 2 MiB it costs 512 times fewer. So it is given whole
// 2 MiB pages at a 2 MiB boundary, advised as huge pages. Fresh pages read
// as zeros.
const size_t hugePage = memBlockLargeSize;

static bool mappedCreate(Storage *storage, size_t size) {
  size_t mapped = (size + hugePage - 1) & ~(hugePage - 1);
  void *area = mmap(nullptr, mapped + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return false;
  uint8_t *start = static_cast<uint8_t *>(area), *end = start + mapped + hugePage;
  uint8_t *aligned = start + (hugePage - reinterpret_cast<uintptr_t>(start) % hugePage) % hugePage;
  if (aligned > start) munmap(start, size_t(aligned - start));
  if (end > aligned + mapped) munmap(aligned + mapped, size_t(end - (aligned + mapped)));
  madvise(aligned, mapped, MADV_HUGEPAGE);  // a hint: without it the block still works
  *storage = {aligned, size, mapped};
  return true;
}

static void storageRelease(const Storage &storage) {
  if (storage.mapped)
    munmap(storage.data, storage.mapped);
  else
    std::free(storage.data);
}
#else
const size_t hugePage = SIZE_MAX;  // every block on the heap

static bool mappedCreate(Storage *, size_t) { return false; }
static void storageRelease(const Storage &storage) { std::free(storage.data); }
#endif

// At least one byte, so that a block of size 0 still has a handle. A large
// block is on the heap only where the system gives it no pages.
static bool storageFill(Storage *storage, size_t size) {
  if (size >= hugePage && mappedCreate(storage, size)) return true;
  void *data = std::calloc(size ? size : 1, 1);
  *storage = {static_cast<uint8_t *>(data), size, 0};
  return data != nullptr;
}

static void *storageCreate(uint32_t size, uint8_t **data) {
  Storage *storage = static_cast<Storage *>(std::malloc(sizeof(Storage)));
  if (storage && !storageFill(storage, size)) {
    std::free(storage);
    storage = nullptr;
  }
  *data = storage ? storage->data : nullptr;
  return storage;
}

static void storageFree(void *handle) {
  storageRelease(*static_cast<Storage *>(handle));
  std::free(handle);
}

// A small block stays on the heap, a large one in its pages while it fits
// there; otherwise the bytes move to new storage.
static bool storageMove(Storage *storage, size_t size) {
  if (storage->mapped && size >= hugePage && size <= storage->mapped) {
    storage->size = size;
    return true;
  }
  if (!storage->mapped && size < hugePage) {
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

int memBlockSave(const MemBlock *block, const char *path) { return writeWholeFile(path, block->data, block->length); }
