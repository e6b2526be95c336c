// Whole-file access on Windows, with the ANSI file functions.
#include "shell/wholefile.h"

#include <windows.h>

#include "shell/memblock.h"

void *readWholeFile(const char *path, uint8_t **data, uint32_t *count) {
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  MemBlock block = {};
  DWORD got = 0;
  // A read that fails is a failure: a silently shortened image could
  // otherwise be written back over its own file.
  int ok = !(size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0 && memBlockCreate(&block, size) &&
           ReadFile(file, block.data, size, &got, nullptr);
  DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok) {
    memBlockFree(&block);
    SetLastError(error);
    return nullptr;
  }
  *data = block.data;
  *count = got;
  return block.handle;
}

// A fresh temporary file in the target's folder, so that the final move stays
// on one volume. GetFullPathNameA knows where the folder ends, double-byte
// names included.
static int createTemporary(const char *path, char *temporary) {
  char full[MAX_PATH];
  char *name = nullptr;
  DWORD n = GetFullPathNameA(path, MAX_PATH, full, &name);
  if (n == 0 || n >= MAX_PATH || !name) return 0;
  *name = 0;
  return GetTempFileNameA(full, "sbl", 0, temporary) != 0;
}

static int writeAll(HANDLE file, const uint8_t *bytes, uint32_t count) {
  DWORD written = 0;
  return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

// A read-only file is not replaced. Windows refuses to rename over one, but
// not every system that runs this program does (Wine renames over it).
static bool readOnly(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

int writeWholeFile(const char *path, const uint8_t *bytes, uint32_t count) {
  if (readOnly(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  char temporary[MAX_PATH];
  if (!createTemporary(path, temporary)) return 0;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  int ok = file != INVALID_HANDLE_VALUE && writeAll(file, bytes, count);
  // Data that replaces an existing file is on the disk before the move.
  if (ok && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) ok = FlushFileBuffers(file);
  if (file != INVALID_HANDLE_VALUE) ok = CloseHandle(file) && ok;
  ok = ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    DWORD error = GetLastError();
    DeleteFileA(temporary);
    SetLastError(error);
  }
  return ok;
}
