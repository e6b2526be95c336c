#include "shell/pages.h"

#if defined(__linux__)
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The files mapped now. When another program cuts one short, reading a page
// past its new end raises SIGBUS; onLostPage then puts zero pages in place of
// the rest of the mapping and marks it lost, and the reading goes on.
struct MappedFile {
  uint8_t *data;
  size_t length;
  volatile sig_atomic_t lost;
  MappedFile *next;
};

MappedFile *mappedFiles;
size_t pageSize;
struct sigaction othersAction;  // what SIGBUS did before: for faults elsewhere

void onLostPage(int, siginfo_t *info, void *) {
  uint8_t *address = static_cast<uint8_t *>(info->si_addr);
  for (MappedFile *file = mappedFiles; file; file = file->next) {
    if (address < file->data || address >= file->data + file->length) continue;
    uint8_t *page = file->data + (size_t(address - file->data) & ~(pageSize - 1));
    size_t rest = size_t(file->data + file->length - page);
    if (mmap(page, rest, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
    file->lost = 1;
    return;
  }
  // Not a page of a mapped file, or no zeros for it: the access is repeated
  // under what SIGBUS did before, the default ending the program.
  sigaction(SIGBUS, &othersAction, nullptr);
}

bool watchLostPages() {
  static bool watching = false;
  if (watching) return true;
  struct sigaction action = {};
  action.sa_sigaction = onLostPage;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  pageSize = size_t(sysconf(_SC_PAGESIZE));
  watching = sigaction(SIGBUS, &action, &othersAction) == 0;
  return watching;
}

MappedFile *findMapped(const uint8_t *data) {
  for (MappedFile *file = mappedFiles; file; file = file->next)
    if (file->data == data) return file;
  return nullptr;
}

}  // namespace

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
// read (the file shrank, a disk error) fails the mapping here, and one lost
// later is watched for (onLostPage).
uint8_t *pagesMapFile(int fd, size_t length, size_t *mapped) {
  *mapped = length;
  MappedFile *file = length && watchLostPages() ? static_cast<MappedFile *>(std::malloc(sizeof(MappedFile))) : nullptr;
  uint8_t *area = file ? alignedArea(length, PROT_NONE) : nullptr;
  if (area && mmap(area, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd, 0) == MAP_FAILED) {
    munmap(area, length);
    area = nullptr;
  }
  if (!area) {
    std::free(file);
    return nullptr;
  }
  madvise(area, length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_READ
  // A kernel without the advice (EINVAL) maps the pages as they are reached.
  if (madvise(area, length, MADV_POPULATE_READ) != 0 && errno != EINVAL) {
    munmap(area, length);
    std::free(file);
    return nullptr;
  }
#endif
  *file = {area, length, 0, mappedFiles};
  mappedFiles = file;
  return area;
}

bool pagesLost(const uint8_t *data) {
  const MappedFile *file = findMapped(data);
  return file && file->lost;
}

void pagesRelease(uint8_t *data, size_t mapped) {
  for (MappedFile **link = &mappedFiles; *link; link = &(*link)->next) {
    if ((*link)->data != data) continue;
    MappedFile *file = *link;
    *link = file->next;
    std::free(file);
    break;
  }
  munmap(data, mapped);
}
#else
uint8_t *pagesCreate(size_t, size_t *) { return nullptr; }
uint8_t *pagesMapFile(int, size_t, size_t *) { return nullptr; }
bool pagesLost(const uint8_t *) { return false; }
void pagesRelease(uint8_t *, size_t) {}
#endif
