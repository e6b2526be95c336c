// Whole-file access on POSIX systems.
#include "shell/wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/memblock.h"

// A descriptor number written with digits only, as far as an int reaches.
static int descriptorNumber(const char *text) {
  long number = 0;
  if (!*text) return -1;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return -1;
    number = number * 10 + (*text - '0');
    if (number > INT_MAX) return -1;
  }
  return int(number);
}

int namedDescriptor(const char *path) {
  static const char *const standard[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
  for (int fd = 0; fd < 3; ++fd)
    if (!std::strcmp(path, standard[fd])) return fd;
  for (const char *folder : {"/dev/fd/", "/proc/self/fd/"}) {
    size_t n = std::strlen(folder);
    if (!std::strncmp(path, folder, n)) return descriptorNumber(path + n);
  }
  return -1;
}

// Reads until `count` bytes arrived or the file ended. A read error fails the
// whole read: a silently shortened image could otherwise be written back over
// its own file.
static int readFully(int fd, uint8_t *data, uint32_t count, uint32_t *got) {
  *got = 0;
  while (*got < count) {
    ssize_t n = read(fd, data + *got, count - *got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return 0;
    if (n == 0) break;
    *got += uint32_t(n);
  }
  return 1;
}

// After `limit` bytes: the read fails unless the file ends there.
static int endsHere(int fd) {
  uint8_t extra;
  uint32_t got = 0;
  if (!readFully(fd, &extra, 1, &got)) return 0;
  if (got) errno = EFBIG;
  return got == 0;
}

// The storage grows by doubling, so that a stream of n bytes costs about
// log2(n / 64 KB) moves.
void *readToEnd(int fd, uint32_t limit, uint8_t **data, uint32_t *count) {
  MemBlock block = {};
  uint32_t capacity = limit < 65536 ? limit : 65536, got = 0;
  int ok = memBlockCreate(&block, capacity);
  while (ok) {
    uint32_t n = 0;
    ok = readFully(fd, block.data + got, capacity - got, &n);
    got += n;
    if (!ok || got < capacity) break;
    if (capacity == limit) {
      ok = endsHere(fd);
      break;
    }
    capacity = capacity > limit / 2 ? limit : capacity * 2;
    ok = memBlockResize(&block, capacity);
  }
  if (!ok) {
    memBlockFree(&block);
    return nullptr;
  }
  *data = block.data;
  *count = got;
  return block.handle;
}

// A regular file is read by its size; anything else that is not a folder (a
// pipe, a FIFO, a terminal) to its end.
static void *readOpenFile(int fd, uint8_t **data, uint32_t *count) {
  struct stat info;
  if (fstat(fd, &info) != 0) return nullptr;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) return readToEnd(fd, UINT32_MAX, data, count);
  if (uint64_t(info.st_size) > UINT32_MAX) {
    errno = EFBIG;
    return nullptr;
  }
  MemBlock block = {};
  if (!memBlockCreate(&block, uint32_t(info.st_size))) return nullptr;
  if (!readFully(fd, block.data, uint32_t(info.st_size), count)) {
    memBlockFree(&block);
    return nullptr;
  }
  *data = block.data;
  return block.handle;
}

void *readWholeFile(const char *path, uint8_t **data, uint32_t *count) {
  int named = namedDescriptor(path);
  int fd = named >= 0 ? named : open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  void *handle = readOpenFile(fd, data, count);
  int saved = errno;
  if (named < 0) close(fd);
  errno = saved;
  return handle;
}

// Written in pieces of at most 256 KiB: the system's cache takes each piece
// in pages of about its size, and pages of 2 MiB, which a larger piece asks
// for, can cost far more to find than smaller ones (on the development
// machine, 16 MB written at once took 14 to 28 ms after an idle moment, in
// pieces of 256 KiB 2.5 ms).
const uint32_t writePiece = 256 << 10;

static int writeFully(int fd, const uint8_t *bytes, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(fd, bytes + done, count - done < writePiece ? count - done : writePiece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return 0;
    }
    done += uint32_t(n);
  }
  return 1;
}

// The file that a write to `path` lands in: symbolic links are followed to
// their last target, which need not exist yet, so that replacing or creating
// the file keeps the link. A chain of more than 40 links fails with ELOOP.
static int linkTarget(const char *path, std::string *target) {
  *target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(target->c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 1;
    char link[PATH_MAX];
    ssize_t n = readlink(target->c_str(), link, sizeof link);
    if (n < 0) return 0;
    if (size_t(n) == sizeof link) return errno = ENAMETOOLONG, 0;
    std::string::size_type slash = target->rfind('/');
    std::string folder = link[0] == '/' || slash == std::string::npos ? "" : target->substr(0, slash + 1);
    *target = folder + std::string(link, size_t(n));
  }
  errno = ELOOP;
  return 0;
}

// A temporary name in the target's own folder, so that the rename stays on
// one file system.
static std::string temporaryTemplate(const std::string &target) {
  std::string::size_type slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  return folder + ".sorbelin-XXXXXX";
}

// The one temporary file that exists while a result is written, kept where
// a signal handler may read it: the path is complete before the flag is
// set, and the flag is cleared before the path changes.
static char pendingTemporary[PATH_MAX];
static volatile sig_atomic_t temporaryPending = 0;

// The folders made for results, each ended by a zero byte, in the order they
// were made. The record changes only while the ending signals are held, so
// that the handler always finds it whole.
static char *foldersMade = nullptr;
static size_t foldersMadeLength = 0;

// The signals that end the program at the user's wish or the terminal's.
static const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The last made first, so that a folder is emptied of those made inside it
// before its own turn; rmdir leaves any folder that holds something.
static void removeFoldersMade() {
  for (size_t end = foldersMadeLength; end > 0;) {
    size_t start = end - 1;
    while (start > 0 && foldersMade[start - 1] != 0) --start;
    rmdir(foldersMade + start);
    end = start;
  }
}

// Removes the pending temporary file and the folders made for results that
// are left empty, then ends the program by the same signal, as if it had not
// been caught. Only async-signal-safe calls.
static void removeTemporaryAndEnd(int signalNumber) {
  if (temporaryPending) unlink(pendingTemporary);
  removeFoldersMade();
  std::signal(signalNumber, SIG_DFL);
  raise(signalNumber);  // delivered when the handler returns
}

void removeTemporaryOnSignals() {
  struct sigaction action = {};
  action.sa_handler = removeTemporaryAndEnd;
  sigemptyset(&action.sa_mask);
  for (int s : endingSignals) sigaddset(&action.sa_mask, s);
  for (int s : endingSignals) {
    struct sigaction old;
    if (sigaction(s, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
  }
  std::signal(SIGXFSZ, SIG_IGN);
}

// Holds the ending signals back while the record of the pending temporary
// file and the file itself change together; `restore` gives back the mask.
static void holdSignals(sigset_t *restore) {
  sigset_t held;
  sigemptyset(&held);
  for (int s : endingSignals) sigaddset(&held, s);
  pthread_sigmask(SIG_BLOCK, &held, restore);
}

// Adds a folder to the record of those made; false when there is no memory
// for it.
static bool recordFolderMade(const char *path) {
  size_t n = std::strlen(path) + 1;
  char *grown = static_cast<char *>(std::realloc(foldersMade, foldersMadeLength + n));
  if (!grown) return false;
  std::memcpy(grown + foldersMadeLength, path, n);
  foldersMade = grown;
  foldersMadeLength += n;
  return true;
}

// A folder that the record could not take is removed again: a signal would
// leave it behind.
int makeFolderForResults(const char *path) {
  sigset_t restore;
  holdSignals(&restore);
  int made = mkdir(path, 0777) == 0;
  if (made && !recordFolderMade(path)) {
    rmdir(path);
    errno = ENOMEM;
    made = 0;
  }
  int saved = errno;
  pthread_sigmask(SIG_SETMASK, &restore, nullptr);
  errno = saved;
  return made;
}

// Makes the temporary file from the template in `name` and records it.
static int createTemporary(std::string *name) {
  if (name->size() >= sizeof pendingTemporary) return errno = ENAMETOOLONG, -1;
  sigset_t restore;
  holdSignals(&restore);
  int fd = mkstemp(&(*name)[0]);
  if (fd >= 0) {
    std::memcpy(pendingTemporary, name->c_str(), name->size() + 1);
    temporaryPending = 1;
  }
  int saved = errno;
  pthread_sigmask(SIG_SETMASK, &restore, nullptr);
  errno = saved;
  return fd;
}

// Puts the written temporary file in place of the target, or removes it
// when anything failed (`ok` false, or the rename); the record goes too.
static int finishTemporary(const std::string &temporary, const std::string &target, int ok) {
  sigset_t restore;
  holdSignals(&restore);
  ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
  int saved = errno;
  if (!ok) unlink(temporary.c_str());
  temporaryPending = 0;
  pthread_sigmask(SIG_SETMASK, &restore, nullptr);
  errno = saved;
  return ok;
}

// The new file takes the permission bits (and, where allowed, the owner) of
// the file it replaces; a new file gets what the umask leaves of 0666. Data
// that replaces an existing file is on the disk before the rename, so that a
// power cut leaves the old file or the new one.
static int prepareTemporary(int fd, const std::string &target) {
  struct stat old;
  if (stat(target.c_str(), &old) != 0) {
    mode_t mask = umask(0);
    umask(mask);
    return fchmod(fd, 0666 & ~mask) == 0;
  }
  if (fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Not permitted for another user's file; the new file keeps our owner.
  }
  return fchmod(fd, old.st_mode & 07777) == 0 ? 2 : 0;
}

// A character device or a pipe (/dev/null, a terminal, a FIFO) is written
// into as it is: it holds no file to keep, and a file renamed over it would
// take its place for every other program. Any other kind of file that is not
// a regular one (a block device, a socket) is refused.
static int writeIntoSpecial(const char *path, mode_t mode, const uint8_t *bytes, uint32_t count) {
  if (!S_ISCHR(mode) && !S_ISFIFO(mode)) {
    errno = ENOTSUP;
    return 0;
  }
  int fd = open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  int ok = writeFully(fd, bytes, count), saved = errno;
  if (close(fd) != 0 && ok) return 0;
  errno = saved;
  return ok;
}

// The system's own check of this user's permissions (the effective ids, as
// for an open), which is not fooled by bits that root may ignore.
bool isReadOnlyToUser(const char *path) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// One of the process's own descriptors is written where it stands (at its
// end when it was opened for appending) and is never replaced: it may be a
// file that the shell opened for more than this program's output.
int writeWholeFile(const char *path, const uint8_t *bytes, uint32_t count) {
  int named = namedDescriptor(path);
  if (named >= 0) return writeFully(named, bytes, count);
  struct stat info;
  if (stat(path, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
    return writeIntoSpecial(path, info.st_mode, bytes, count);
  // The rename needs only the folder's permission: the file's own is asked
  // here, as the system asks it of anyone who opens the file to write.
  if (isReadOnlyToUser(path)) return errno = EACCES, 0;
  std::string target;
  if (!linkTarget(path, &target)) return 0;
  std::string temporary = temporaryTemplate(target);
  int fd = createTemporary(&temporary);
  if (fd < 0) return 0;
  int prepared = prepareTemporary(fd, target);
  int ok = prepared && writeFully(fd, bytes, count);
  if (ok && prepared == 2) ok = fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  return finishTemporary(temporary, target, ok);
}
