#include "shell/pages.h"

#if defined(__linux__)
#include <cerrno>
#include <sys/mman.h>

// An area of `length` bytes at a 2 MiB boundary: a larger one is taken and
// trimmed at both ends.
static uint8_t *alignedArea(size_t length, int protection) {
  void *area = mmap(nullptr, length + hugePageSize, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  uint8_t *start = static_cast<uint8_t *>(area), *end = start + length + hugePageSize;
  uint8_t *aligned = start + (hugePageSize - reinterpret_cast<uintptr_t>(start) % hugePageSize) % hugePageSize;
  if (aligned > start) munmap(start, size_t(aligned - start));
  if (end > aligned + length) munmap(aligned + length, size_t(end - (aligned + length)));
  return aligned;
}

uint8_t *pagesCreate(size_t length, size_t *mapped) {
  *mapped = (length + hugePageSize - 1) & ~(hugePageSize - 1);
  uint8_t *area = alignedArea(*mapped, PROT_READ | PROT_WRITE);
  if (area) madvise(area, *mapped, MADV_HUGEPAGE);  // a hint: without it the area still works
  return area;
}

// The file is mapped over a reserved aligned area, so that where its pages
// are huge ones in the system's cache they are mapped whole. The mapping is
// filled in one call rather than a fault at each page; a page that cannot be
// read (the file shrank, a disk error) fails the mapping here. A file cut
// short by another program while it is being converted ends the program with
// SIGBUS: the input is then read no further and nothing is written.
uint8_t *pagesMapFile(int fd, size_t length, size_t *mapped) {
  *mapped = length;
  uint8_t *area = length ? alignedArea(length, PROT_NONE) : nullptr;
  if (!area) return nullptr;
  if (mmap(area, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd, 0) == MAP_FAILED) {
    munmap(area, length);
    return nullptr;
  }
  madvise(area, length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_READ
  // A kernel without the advice (EINVAL) maps the pages as they are reached.
  if (madvise(area, length, MADV_POPULATE_READ) != 0 && errno != EINVAL) {
    munmap(area, length);
    return nullptr;
  }
#endif
  return area;
}

void pagesRelease(uint8_t *data, size_t mapped) { munmap(data, mapped); }
#else
uint8_t *pagesCreate(size_t, size_t *) { return nullptr; }
uint8_t *pagesMapFile(int, size_t, size_t *) { return nullptr; }
void pagesRelease(uint8_t *, size_t) {}
#endif
