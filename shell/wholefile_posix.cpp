// Whole-file access on POSIX systems.
#include "shell/wholefile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/memblock.h"

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

void *readWholeFile(const char *path, uint8_t **data, uint32_t *count) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  MemBlock block = {};
  int ok = fstat(fd, &info) == 0;
  if (ok && S_ISDIR(info.st_mode)) ok = 0, errno = EISDIR;
  if (ok && uint64_t(info.st_size) > UINT32_MAX) ok = 0, errno = EFBIG;
  ok = ok && memBlockCreate(&block, uint32_t(info.st_size));
  ok = ok && readFully(fd, block.data, uint32_t(info.st_size), count);
  int saved = errno;
  close(fd);
  errno = saved;
  if (!ok) {
    memBlockFree(&block);
    return nullptr;
  }
  *data = block.data;
  return block.handle;
}

static int writeFully(int fd, const uint8_t *bytes, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(fd, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return 0;
    }
    done += uint32_t(n);
  }
  return 1;
}

// The file that a write to `path` lands in: a symbolic link is followed, so
// that replacing the file keeps the link.
static std::string replacedFile(const char *path) {
  struct stat info;
  if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char *real = realpath(path, nullptr)) {
      std::string target = real;
      std::free(real);
      return target;
    }
  }
  return path;
}

// A temporary name in the target's own folder, so that the rename stays on
// one file system.
static std::string temporaryTemplate(const std::string &target) {
  std::string::size_type slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  return folder + ".sorbelin-XXXXXX";
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

// A character device or a pipe (/dev/null, a terminal, /dev/stdout on a
// pipe) is written into as it is: it holds no file to keep, and a file renamed
// over it would take its place for every other program. Any other kind of
// file that is not a regular one (a block device, a socket) is refused.
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

int writeWholeFile(const char *path, const uint8_t *bytes, uint32_t count) {
  struct stat info;
  if (stat(path, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
    return writeIntoSpecial(path, info.st_mode, bytes, count);
  std::string target = replacedFile(path);
  std::string temporary = temporaryTemplate(target);
  int fd = mkstemp(&temporary[0]);
  if (fd < 0) return 0;
  int prepared = prepareTemporary(fd, target);
  int ok = prepared && writeFully(fd, bytes, count);
  if (ok && prepared == 2) ok = fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    int saved = errno;
    unlink(temporary.c_str());
    errno = saved;
  }
  return ok;
}
