// Whole-file access: a file is read in one piece into a MemBlock's storage,
// and written in one piece so that the target holds either its old content or
// the complete new one, never a part.
#pragma once

#include <cstdint>

// Returns the storage handle (release it as a MemBlock's) with the file's
// bytes at *data and their count at *count, or 0 when the file cannot be
// opened, is too large for a 32-bit length (EFBIG), or no memory can be
// obtained. On POSIX systems a file that is not a regular one (a pipe, a
// terminal) is read to its end, and a name of one of the process's own
// descriptors (see namedDescriptor) is read from that descriptor as it is.
void *readWholeFile(const char *path, uint8_t **data, uint32_t *count);

// Writes `count` bytes into a temporary file beside `path`, checks every byte
// and renames it over `path`. Returns nonzero on success; on failure an
// existing file at `path` is untouched and no temporary file remains. A
// symbolic link at `path` stays a link: the file it points to is replaced, or
// created. On POSIX systems a name of one of the process's own descriptors is
// written into that descriptor, a character device or a pipe at `path` is
// written into too, and any other file that is neither regular nor a folder
// is refused; so is, with EACCES, an existing file that the user may not
// write (see isReadOnlyToUser), though its folder would let the rename
// replace it.
int writeWholeFile(const char *path, const uint8_t *bytes, uint32_t count);

#ifndef _WIN32
// The descriptor that `path` names among the process's own: 0, 1 and 2 for
// /dev/stdin, /dev/stdout and /dev/stderr, N for /dev/fd/N and
// /proc/self/fd/N; -1 for any other path. Such a name means the descriptor as
// the process got it, wherever it points and however it was opened.
int namedDescriptor(const char *path);

// From now on a result cut short by a signal leaves no temporary file, nor
// a folder made for results (see makeFolderForResults) that stays empty: on
// SIGINT, SIGTERM and SIGHUP they are removed, and the program ends by that
// signal (a signal that was ignored stays ignored, as under nohup). SIGXFSZ, sent when a write passes the file size
// limit, is ignored, so that the write fails with EFBIG and nothing is left either.
void removeTemporaryOnSignals();

// Whether `path` names an existing regular file (through symbolic links)
// that the process may not write, by its permissions as the system checks
// them for this user: root may write any file on a writable file system.
bool isReadOnlyToUser(const char *path);

// Makes the folder `path` as mkdir(path, 0777) does, and keeps it in mind: a
// signal that ends the program (see removeTemporaryOnSignals) removes every
// folder made so, the last made first, each only while it is empty. Returns 0
// with errno set when the folder was not made.
int makeFolderForResults(const char *path);

// Reads an open descriptor from where it stands to its end, at most `limit`
// bytes: more fails with EFBIG. Returns the storage handle as readWholeFile
// does; the descriptor stays open.
void *readToEnd(int fd, uint32_t limit, uint8_t **data, uint32_t *count);
#endif
