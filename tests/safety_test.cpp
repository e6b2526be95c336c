// Data safety of the native program on real files: whatever goes wrong, the
// input and any existing output stay as they were, byte for byte and not even
// rewritten, no temporary file is left behind, and the exit status and the
// message say what happened.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <thread>

#include "shell/memblock.h"
#include "shell/wholefile.h"
#include "tests/images.h"
#include "tests/run.h"

namespace {

const Bytes song =
    hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
        "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
const Bytes brokenSmaf = hex("4D 4D 4D 44 00 00 00 40 43 4E 54 49");
const Bytes olderOutput = ascii("an older output, to be kept");

// A file as the tests compare it: a file rewritten with the same bytes has
// another inode or modification time, and counts as changed.
struct FileState {
  Bytes bytes;
  ino_t inode;
  long long mtimeNs;
  bool operator==(const FileState &o) const { return bytes == o.bytes && inode == o.inode && mtimeNs == o.mtimeNs; }
};

// Every file and folder under a folder, by its path relative to it (a
// folder's with a '/' at its end).
void snapshotInto(const std::string &folder, const std::string &prefix, std::map<std::string, FileState> *files) {
  for (const std::string &name : listFolder(folder)) {
    std::string path = folder + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      (*files)[prefix + name + "/"] = {};
      snapshotInto(path, prefix + name + "/", files);
    } else {
      long long ns = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
      (*files)[prefix + name] = {readFile(path), info.st_ino, ns};
    }
  }
}

std::map<std::string, FileState> snapshot(const std::string &folder) {
  std::map<std::string, FileState> files;
  snapshotInto(folder, "", &files);
  return files;
}

std::vector<std::string> names(const std::map<std::string, FileState> &files) {
  std::vector<std::string> list;
  for (const auto &entry : files) list.push_back(entry.first);
  return list;
}

// Mounts in a mount namespace of this process's own, entered once: what a
// test mounts is gone with the process, even when the test dies.
bool enterPrivateMounts(std::string *why) {
  static int entered = -1;
  static std::string reason;
  if (entered < 0) {
    entered = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!entered) reason = std::strerror(errno);
  }
  *why = reason;
  return entered;
}

// A small tmpfs over a folder for the length of a test. Root alone may mount
// one; `why` says what stood in the way otherwise.
struct ScratchMount {
  std::string path;
  bool mounted = false;
  std::string why;

  ScratchMount(const std::string &folder, const char *size) : path(folder) {
    std::string options = std::string("size=") + size + ",mode=0755";
    if (geteuid() != 0) {
      why = "only root can mount a scratch file system";
    } else if (enterPrivateMounts(&why)) {
      mounted = mount("sorbelin-test", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
      if (!mounted) why = std::strerror(errno);
    }
  }
  ~ScratchMount() {
    if (mounted) umount2(path.c_str(), MNT_DETACH);
  }
  bool remountReadOnly() { return mount("sorbelin-test", path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
};

// Takes every free block of the file system that holds `folder`.
void fillFileSystem(const std::string &folder) {
  int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  char block[4096] = {};
  while (write(fd, block, sizeof block) > 0) {
  }
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
}

// A melody of at least `size` bytes: one track of notes.
Bytes largeTune(size_t size) {
  Bytes events;
  events.reserve(size + 3);
  for (uint32_t i = 0; events.size() < size; ++i) events.insert(events.end(), {uint8_t(i), uint8_t(i % 0x3F), 0x10});
  return melody(vers('2'), track(events));
}

// The temporary files that a write leaves in `folder`.
std::vector<std::string> temporaryFiles(const std::string &folder) {
  std::vector<std::string> found;
  for (const std::string &name : listFolder(folder))
    if (name.rfind(".sorbelin-", 0) == 0) found.push_back(name);
  return found;
}

// Waits, for at most 20 s, until the folder watched by `watch` (inotify)
// sees a temporary file made.
bool temporaryMade(int watch) {
  alignas(inotify_event) char events[4096];
  pollfd wait = {watch, POLLIN, 0};
  while (poll(&wait, 1, 20000) > 0) {
    ssize_t n = read(watch, events, sizeof events);
    for (ssize_t at = 0; at < n;) {
      const inotify_event *event = reinterpret_cast<const inotify_event *>(events + at);
      if (event->len && std::strncmp(event->name, ".sorbelin-", 10) == 0) return true;
      at += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
  return false;
}

// A failing command: the program's arguments, or a shell script with "$0"
// for the program; and what it must say.
struct Failure {
  std::vector<std::string> args;
  std::string err;
  std::string script = "";
};

class DataSafety : public ::testing::Test {
 protected:
  TempDir dir;

  // Each command fails with exit status 1 and exactly the message given, and
  // leaves every file under the test's folder as it was.
  void expectUntouched(const std::vector<Failure> &failures) {
    std::map<std::string, FileState> before = snapshot(dir.path);
    for (const Failure &f : failures) {
      Outcome run = f.script.empty() ? runSorbelin(dir.path, f.args) : runScript(dir.path, f.script);
      EXPECT_EQ(run.status, 1) << f.err;
      EXPECT_EQ(run.err, f.err);
      EXPECT_EQ(run.out, "");
      std::map<std::string, FileState> after = snapshot(dir.path);
      EXPECT_EQ(names(after), names(before)) << "files left or lost by: " << f.err;
      EXPECT_TRUE(after == before) << "a file changed by: " << f.err;
    }
  }

  // The failures of a folder that cannot take the output: a new output, an
  // older output, and an input converted onto itself in three ways.
  std::vector<Failure> writesInto(const std::string &folder, const std::string &reason) {
    std::string tune = folder + "/tune.mld", old = folder + "/old.mld";
    std::string prefix = "sorbelin: ";
    return {
        {{"-o", folder + "/new.mld", "song.mld"},
         prefix + "song.mld: cannot write " + folder + "/new.mld: " + reason + "\n"},
        {{"-o", old, "song.mld"}, prefix + "song.mld: cannot write " + old + ": " + reason + "\n"},
        {{"-d", folder, "song.mld"}, prefix + "song.mld: cannot write " + folder + "/song.mld: " + reason + "\n"},
        {{"-v2", "--in-place", tune}, prefix + tune + ": cannot write " + tune + ": " + reason + "\n"},
        {{"-o", tune, tune}, prefix + tune + ": cannot write " + tune + ": " + reason + "\n"},
        {{tune, "/vc:2", "/sv:" + tune}, prefix + tune + ": cannot write " + tune + ": " + reason + "\n"},
    };
  }

  void SetUp() override { writeFile(dir.file("song.mld"), song); }
};

}  // namespace

// As root, permission bits keep nobody out: the folder is then a tmpfs
// mounted read-only.
TEST_F(DataSafety, ReadOnlyFolderKeepsEveryFile) {
  std::string folder = dir.file("ro");
  mkdir(folder.c_str(), 0755);
  ScratchMount scratch(folder, "64k");
  if (geteuid() == 0 && !scratch.mounted)
    GTEST_SKIP() << "root ignores permission bits and no read-only tmpfs can be mounted here: " << scratch.why;
  writeFile(folder + "/old.mld", olderOutput);
  writeFile(folder + "/tune.mld", song);
  if (scratch.mounted)
    ASSERT_TRUE(scratch.remountReadOnly()) << std::strerror(errno);
  else
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  expectUntouched(writesInto("ro", std::strerror(scratch.mounted ? EROFS : EACCES)));
  chmod(folder.c_str(), 0755);
}

TEST_F(DataSafety, FullFileSystemKeepsEveryFile) {
  std::string folder = dir.file("full");
  mkdir(folder.c_str(), 0755);
  ScratchMount scratch(folder, "64k");
  if (!scratch.mounted) GTEST_SKIP() << "filling a file system needs a small tmpfs: " << scratch.why;
  writeFile(folder + "/old.mld", olderOutput);
  writeFile(folder + "/tune.mld", song);
  fillFileSystem(folder);
  expectUntouched(writesInto("full", std::strerror(ENOSPC)));
}

// Past the file size limit (ulimit -f) a write fails like any other: the
// signal that the system sends then is ignored, and the write's error is
// reported.
TEST_F(DataSafety, FileSizeLimitFailsTheWriteAndKeepsEveryFile) {
  writeFile(dir.file("big.mld"), largeTune(1 << 20));
  writeFile(dir.file("old.mld"), olderOutput);
  const std::string tooLarge = std::strerror(EFBIG);
  const std::string limit = "ulimit -f 100 && \"$0\" -q ";
  expectUntouched({
      {{}, "sorbelin: big.mld: cannot write new.mld: " + tooLarge + "\n", limit + "-o new.mld big.mld"},
      {{}, "sorbelin: big.mld: cannot write old.mld: " + tooLarge + "\n", limit + "-o old.mld big.mld"},
      {{}, "sorbelin: big.mld: cannot write big.mld: " + tooLarge + "\n", limit + "-v1 --in-place big.mld"},
      {{}, "sorbelin: big.mld: cannot write new/deeper/big.mld: " + tooLarge + "\n", limit + "-d new/deeper big.mld"},
  });
  // Folders that an earlier result of the run needs stay, with it.
  makeFolder(dir.file("tree"));
  makeFolder(dir.file("tree/sub"));
  writeFile(dir.file("tree/a.mld"), song);
  ASSERT_EQ(rename(dir.file("big.mld").c_str(), dir.file("tree/sub/big.mld").c_str()), 0);
  Outcome run = runScript(dir.path, limit + "-r -d out/made tree");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(listFolder(dir.file("out/made")), std::vector<std::string>{"a.mld"});
}

// A signal that ends the program in the middle of a write removes the
// temporary file, and the program still ends by that signal. The program
// is stopped as soon as its temporary file appears; a run that finished
// before that is tried again.
TEST_F(DataSafety, SignalDuringAWriteLeavesNoTemporaryFile) {
  const Bytes large = largeTune(24 << 20);
  struct Case {
    int signal;
    std::vector<std::string> args;
    const char *target;
    Bytes before;  // empty: no such file before the run
  } cases[] = {
      {SIGINT, {"-o", "new.mld", "big.mld"}, "new.mld", {}},
      {SIGTERM, {"-o", "old.mld", "big.mld"}, "old.mld", olderOutput},
      {SIGHUP, {"-v1", "--in-place", "big.mld"}, "big.mld", large},
  };
  for (const Case &c : cases) {
    bool caught = false;
    for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
      writeFile(dir.file("big.mld"), large);
      writeFile(dir.file("old.mld"), olderOutput);
      std::remove(dir.file("new.mld").c_str());
      struct stat before = {};
      stat(dir.file(c.target).c_str(), &before);
      int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
      ASSERT_GE(watch, 0);
      ASSERT_GE(inotify_add_watch(watch, dir.path.c_str(), IN_CREATE), 0);
      pid_t child = startSorbelin(dir.path, c.args);
      ASSERT_GT(child, 0);
      if (temporaryMade(watch)) kill(child, SIGSTOP);
      close(watch);
      caught = !temporaryFiles(dir.path).empty();
      kill(child, c.signal);
      kill(child, SIGCONT);
      int status = waitForExit(child);
      EXPECT_EQ(temporaryFiles(dir.path), std::vector<std::string>{}) << c.signal;
      if (!caught) continue;  // done before it could be stopped
      EXPECT_EQ(status, 128 + c.signal);
      struct stat after = {};
      EXPECT_EQ(stat(dir.file(c.target).c_str(), &after) == 0, !c.before.empty()) << c.target;
      if (c.before.empty()) continue;
      EXPECT_EQ(after.st_ino, before.st_ino) << c.target;
      EXPECT_TRUE(readFile(dir.file(c.target)) == c.before) << c.target;
    }
    EXPECT_TRUE(caught) << "no run of signal " << c.signal << " was stopped while writing";
  }
}

namespace {

// Stops the program while a temporary file is in `folder` (true), or waits
// for it to end when it wrote its result before it could be stopped (false).
bool stopWhileWriting(pid_t child, const std::string &folder) {
  for (;;) {
    if (!temporaryFiles(folder).empty()) {
      int status = 0;
      kill(child, SIGSTOP);
      if (waitpid(child, &status, WUNTRACED) != child || !WIFSTOPPED(status)) return false;
      if (!temporaryFiles(folder).empty()) return true;
      kill(child, SIGCONT);
      waitForExit(child);
      return false;
    }
    if (waitpid(child, nullptr, WNOHANG) == child) return false;
    usleep(50);
  }
}

}  // namespace

// A signal in the middle of a write removes the folders that -d made in this
// run and that stay empty, the first result's or a later one's; a folder
// that holds an earlier result stays, with it.
TEST_F(DataSafety, SignalDuringAWriteRemovesTheFoldersMadeForIt) {
  const Bytes large = largeTune(24 << 20);
  writeFile(dir.file("big.mld"), large);
  makeFolder(dir.file("tree"));
  makeFolder(dir.file("tree/sub"));
  writeFile(dir.file("tree/a.mld"), song);
  writeFile(dir.file("tree/sub/big.mld"), large);
  struct Case {
    int signal;
    std::vector<std::string> args;
    const char *writing;            // the folder of the temporary file
    std::vector<std::string> kept;  // what the run leaves
  } cases[] = {
      {SIGINT, {"-d", "new/deeper", "big.mld"}, "new/deeper", {}},
      {SIGTERM, {"-r", "-d", "made", "tree"}, "made/sub", {"made/", "made/a.mld"}},
  };
  const std::vector<std::string> before = names(snapshot(dir.path));
  for (const Case &c : cases) {
    bool caught = false;
    for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
      runProgram(dir.path, {"rm", "-rf", "new", "made"});
      pid_t child = startSorbelin(dir.path, c.args);
      ASSERT_GT(child, 0);
      caught = stopWhileWriting(child, dir.file(c.writing));
      if (!caught) continue;  // done before it could be stopped
      kill(child, c.signal);
      kill(child, SIGCONT);
      EXPECT_EQ(waitForExit(child), 128 + c.signal) << c.writing;
      std::vector<std::string> expected = before;
      expected.insert(expected.end(), c.kept.begin(), c.kept.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(names(snapshot(dir.path)), expected) << c.writing;
    }
    EXPECT_TRUE(caught) << "no run of signal " << c.signal << " was stopped while writing";
  }
}

// A file that the user may not write is not replaced, though the rename
// that replaces it needs only its folder's permission: exit 1, the file as
// it was, and the reason said, for --in-place, -o, -d and the own form. As
// root, who may write any file, the refusals run as the user nobody, whose
// folder and files they become; root still replaces such a file.
TEST_F(DataSafety, ReadOnlyFileIsNotReplaced) {
  const bool root = geteuid() == 0;
  const struct passwd *nobody = getpwnam("nobody");
  ASSERT_TRUE(!root || nobody) << "no user nobody to run the refusals as";
  makeFolder(dir.file("out"));
  for (const char *name : {"tune.mld", "old.mld", "out/song.mld"}) {
    writeFile(dir.file(name), name[0] == 't' ? song : olderOutput);
    ASSERT_EQ(chmod(dir.file(name).c_str(), 0444), 0);
  }
  if (root) {
    for (const char *name : {"", "/out", "/song.mld", "/tune.mld", "/old.mld", "/out/song.mld"})
      ASSERT_EQ(chown((dir.path + name).c_str(), nobody->pw_uid, nobody->pw_gid), 0) << name;
  }
  const std::string user = root ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  auto refused = [](const char *input, const char *output) {
    return std::string("sorbelin: ") + input + ": " + output + " is read-only; nothing written\n";
  };
  expectUntouched({
      {{}, refused("tune.mld", "tune.mld"), user + "\"$0\" -v2 --in-place tune.mld"},
      {{}, refused("song.mld", "old.mld"), user + "\"$0\" -v2 -o old.mld song.mld"},
      {{}, refused("song.mld", "out/song.mld"), user + "\"$0\" -v2 -d out song.mld"},
      {{}, refused("song.mld", "tune.mld"), user + "\"$0\" song.mld /vc:2 /sv:tune.mld"},
  });
  if (!root) return;
  Outcome replaced = runSorbelin(dir.path, {"-q", "-v2", "--in-place", "tune.mld"});
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(readFile(dir.file("tune.mld")), convertWithSettings(song, 2, 1).bytes);
  struct stat info;
  ASSERT_EQ(stat(dir.file("tune.mld").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);
  EXPECT_EQ(info.st_uid, nobody->pw_uid);
}

// A file that cannot be converted is not even rewritten, in place or onto
// an older output.
TEST_F(DataSafety, UnconvertibleFileIsNeverRewritten) {
  writeFile(dir.file("broken.mmf"), brokenSmaf);
  writeFile(dir.file("notes.mld"), ascii("eggs, flour, sugar: a shopping list"));
  writeFile(dir.file("old.mld"), olderOutput);
  const std::string malformed =
      "sorbelin: broken.mmf: malformed melody (chunk 1 runs past the end of the file at offset 8); nothing written\n";
  const std::string notMelody = "sorbelin: notes.mld: not an i-melody or SMAF file; nothing written\n";
  expectUntouched({
      {{"-v1", "--in-place", "broken.mmf"}, malformed},
      {{"-v1", "--in-place", "notes.mld"}, notMelody},
      {{"-o", "broken.mmf", "broken.mmf"}, malformed},
      {{"-d", ".", "notes.mld"}, notMelody},
      {{"-o", "old.mld", "broken.mmf"}, malformed},
      {{"-o", "old.mld", "notes.mld"}, notMelody},
      {{"broken.mmf", "/sv:broken.mmf"}, malformed},
      {{"notes.mld", "/sv:old.mld", "/end"}, notMelody},
  });
}

// A replaced file's new bytes are on the disk before the rename that puts
// them in its place, so that a power cut leaves the old file or the new one.
TEST_F(DataSafety, ReplacingFlushesBeforeTheRename) {
  if (runProgram(dir.path, {"strace", "-qq", "-o", "/dev/null", "true"}).status != 0)
    GTEST_SKIP() << "strace is not installed or may not trace here";
  writeFile(dir.file("old.mld"), olderOutput);
  const std::vector<std::string> replacing[] = {{"-v1", "--in-place", "song.mld"}, {"-o", "old.mld", "song.mld"}};
  for (const std::vector<std::string> &args : replacing) {
    // The leak checker of a sanitizer build cannot run under strace.
    std::vector<std::string> command = {"strace",
                                        "-f",
                                        "-qq",
                                        "-o",
                                        "calls",
                                        "-E",
                                        "ASAN_OPTIONS=detect_leaks=0",
                                        "-e",
                                        "trace=fsync,fdatasync,rename,renameat,renameat2",
                                        SORBELIN_BINARY};
    command.insert(command.end(), args.begin(), args.end());
    Outcome run = runProgram(dir.path, command);
    ASSERT_EQ(run.status, 0) << run.err;
    Bytes log = readFile(dir.file("calls"));
    std::string calls(log.begin(), log.end());
    size_t flush = calls.find("sync("), rename = calls.find("rename");
    ASSERT_NE(rename, std::string::npos) << calls;
    EXPECT_LT(flush, rename) << calls;
    std::remove(dir.file("calls").c_str());
  }
}

// A pipe or a device named as the output keeps its place: a pipe or a
// character device gets the bytes, a block device is refused. Renaming a file
// over them would have replaced, say, /dev/null for every program.
TEST_F(DataSafety, PipesAndDevicesAreNeverReplaced) {
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
  int reader = open(dir.file("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  Outcome run = runSorbelin(dir.path, {"-q", "-o", "pipe", "song.mld"});
  EXPECT_EQ(run.status, 0) << run.err;
  Bytes got(4096);
  ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  got.resize(size_t(n > 0 ? n : 0));
  EXPECT_EQ(got, convertWithSettings(song, 1, 1).bytes);
  struct stat info;
  ASSERT_EQ(lstat(dir.file("pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  // Nodes of the memory driver's null device and of an unused block device
  // number, made where only root may make them.
  if (mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      mknod(dir.file("disk").c_str(), S_IFBLK | 0600, makedev(240, 77)) != 0)
    GTEST_SKIP() << "device nodes can be made by root only";
  int probe = open(dir.file("null").c_str(), O_WRONLY);
  if (probe < 0) GTEST_SKIP() << "device nodes cannot be opened on this file system (nodev)";
  close(probe);
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_NE(writeWholeFile(dir.file("null").c_str(), bytes, 3), 0);
  ASSERT_EQ(lstat(dir.file("null").c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  errno = 0;
  EXPECT_EQ(writeWholeFile(dir.file("disk").c_str(), bytes, 3), 0);
  EXPECT_EQ(errno, ENOTSUP);
  ASSERT_EQ(lstat(dir.file("disk").c_str(), &info), 0);
  EXPECT_TRUE(S_ISBLK(info.st_mode));
  EXPECT_EQ(listFolder(dir.path).size(), 4u);
}

// Standard output redirected to a file by the shell is written where the
// shell left it, never renamed over: what the file held stays, and so does
// the file itself (its inode).
TEST_F(DataSafety, RedirectedStandardOutputKeepsItsFile) {
  const Bytes result = convertWithSettings(song, 1, 1).bytes;
  const std::string converted(result.begin(), result.end());
  struct Case {
    const char *script, *file;
    std::string content;
  } cases[] = {
      {"echo keep > log; \"$0\" -q -o /dev/stdout song.mld >> log", "log", "keep\n" + converted},
      {"{ echo hdr; \"$0\" -q -o /dev/stdout song.mld; echo trailer; } > f", "f", "hdr\n" + converted + "trailer\n"},
      {"echo keep > g; \"$0\" -q -o /dev/fd/5 song.mld 5>>g", "g", "keep\n" + converted},
      {"echo keep > h; \"$0\" -q -o /dev/stdout song.mld > h", "h", converted},
  };
  for (const Case &c : cases) {
    writeFile(dir.file(c.file), ascii("before the run"));
    struct stat before, after;
    ASSERT_EQ(stat(dir.file(c.file).c_str(), &before), 0);
    Outcome run = runScript(dir.path, c.script);
    EXPECT_EQ(run.status, 0) << c.script << ": " << run.err;
    EXPECT_EQ(readFile(dir.file(c.file)), ascii(c.content)) << c.script;
    ASSERT_EQ(stat(dir.file(c.file).c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << c.script;
  }
  EXPECT_EQ(listFolder(dir.path).size(), 5u);
}

// A symbolic link named as the output stays a link: the file it points to
// is written, and made when it does not exist yet. A circle of links or a
// target in a missing folder writes nothing.
TEST_F(DataSafety, LinkToAMissingFileIsWrittenThrough) {
  const Bytes converted = convertWithSettings(song, 1, 1).bytes;
  makeFolder(dir.file("sub"));
  ASSERT_EQ(symlink("target.mld", dir.file("link.mld").c_str()), 0);
  ASSERT_EQ(symlink("sub/hop.mld", dir.file("first.mld").c_str()), 0);
  ASSERT_EQ(symlink("../deep/../sub/end.mld", dir.file("sub/hop.mld").c_str()), 0);
  makeFolder(dir.file("deep"));
  for (const char *link : {"link.mld", "first.mld"}) {
    Outcome run = runSorbelin(dir.path, {"-q", "-o", link, "song.mld"});
    EXPECT_EQ(run.status, 0) << link << ": " << run.err;
  }
  EXPECT_EQ(readFile(dir.file("target.mld")), converted);
  EXPECT_EQ(readFile(dir.file("sub/end.mld")), converted);
  for (const char *link : {"link.mld", "first.mld", "sub/hop.mld"}) {
    struct stat info;
    ASSERT_EQ(lstat(dir.file(link).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
  }

  ASSERT_EQ(symlink("circle-b", dir.file("circle-a").c_str()), 0);
  ASSERT_EQ(symlink("circle-a", dir.file("circle-b").c_str()), 0);
  ASSERT_EQ(symlink("missing/x.mld", dir.file("nowhere.mld").c_str()), 0);
  expectUntouched({
      {{"-o", "circle-a", "song.mld"},
       "sorbelin: song.mld: cannot write circle-a: " + std::string(std::strerror(ELOOP)) + "\n"},
      {{"-o", "nowhere.mld", "song.mld"},
       "sorbelin: song.mld: cannot write nowhere.mld: " + std::string(std::strerror(ENOENT)) + "\n"},
  });
}

// A stream is read to its end in as many pieces as it comes, up to a limit:
// one byte more fails with EFBIG.
TEST(ReadToEnd, ReadsAStreamWholeUpToTheLimit) {
  Bytes content(300000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 13 + i / 1000);
  struct Case {
    uint32_t limit;
    bool ok;
  } cases[] = {{uint32_t(content.size()), true}, {UINT32_MAX, true}, {uint32_t(content.size() - 1), false}, {0, false}};
  void (*oldHandler)(int) = signal(SIGPIPE, SIG_IGN);  // a reader that gives up closes the pipe early
  for (const Case &c : cases) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
      for (size_t done = 0; done < content.size();) {
        ssize_t n = write(ends[1], content.data() + done, std::min<size_t>(7000, content.size() - done));
        if (n <= 0) break;  // the reader gave up
        done += size_t(n);
      }
      close(ends[1]);
    });
    uint8_t *data = nullptr;
    uint32_t count = 0;
    errno = 0;
    MemBlock block = {};
    block.handle = readToEnd(ends[0], c.limit, &data, &count);
    int reason = errno;
    close(ends[0]);
    writer.join();
    EXPECT_EQ(block.handle != nullptr, c.ok) << c.limit;
    if (c.ok) {
      EXPECT_EQ(Bytes(data, data + count), content);
    } else {
      EXPECT_EQ(reason, EFBIG) << c.limit;
    }
    memBlockFree(&block);
  }
  signal(SIGPIPE, oldHandler);
}
