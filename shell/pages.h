// Pages of memory taken from the system directly, for large memory blocks on
// Linux: each area begins at a 2 MiB boundary and is advised as huge pages,
// so that touching it costs a page fault per 2 MiB rather than per 4 KiB.
// Elsewhere no area is given, and blocks stay on the heap.
#pragma once

#include <cstddef>
#include <cstdint>

const size_t hugePageSize = size_t(2) << 20;

// `length` bytes of fresh pages, reading as zeros, in whole huge pages; 0
// when none can be had. *mapped receives the length to release.
uint8_t *pagesCreate(size_t length, size_t *mapped);

// The first `length` bytes (at least 1) of an open regular file, mapped
// privately: the file's own pages are read where they stand, and writes stay
// in the mapping. Every page is mapped before this returns; 0 when the file
// cannot be mapped or a page cannot be read. *mapped receives the length to
// release.
uint8_t *pagesMapFile(int fd, size_t length, size_t *mapped);

// Gives back an area that pagesCreate or pagesMapFile returned.
void pagesRelease(uint8_t *data, size_t mapped);
