// Whole-file access: a file is read in one piece into a MemBlock's storage,
// and written in one piece so that the target holds either its old content or
// the complete new one, never a part.
#pragma once

#include <cstdint>

// Returns the storage handle (release it as a MemBlock's) with the file's
// bytes at *data and their count at *count, or 0 when the file cannot be
// opened, is too large for a 32-bit length, or no memory can be obtained.
void *readWholeFile(const char *path, uint8_t **data, uint32_t *count);

// Writes `count` bytes into a temporary file beside `path`, checks every byte
// and renames it over `path`. Returns nonzero on success; on failure an
// existing file at `path` is untouched and no temporary file remains. On POSIX
// systems a character device or a pipe at `path` is written into instead, and
// any other file that is neither regular nor a folder is refused.
int writeWholeFile(const char *path, const uint8_t *bytes, uint32_t count);
