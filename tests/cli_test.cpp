// The native program run as a separate process on real files: exit status,
// stdout, stderr and the files it leaves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstring>

#include "resources/messages.h"
#include "resources/texts.h"
#include "shell/memblock.h"
#include "tests/images.h"
#include "tests/run.h"

namespace {

Bytes example(const char *name) { return readFile(std::string(SORBELIN_EXAMPLES) + "/" + name); }

const Bytes workedMelody =
    hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
        "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
// The old link event's delta time stays as a no-op event (07 FF DE 00).
const Bytes workedMelodyOut =
    hex("6D 65 6C 6F 00 00 00 36 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
        "74 72 61 63 00 00 00 1F  00 FF FF 00 05 11 F2 04 60 00"
        "00 FF FF 00 05 11 F2 05 20 00  07 FF DE 00  00 12 34  00 FF DF 00");
const Bytes workedSmaf =
    hex("4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05  41 3A 31 2C"
        "4C 32 3A 07 2C  4D 54 52 01 00 00 00 08  00 00 02 02  FF 00  12 34  65 60");
const Bytes workedSmafOut =
    hex("4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05"
        "4C 32 3A 02 2C  41 3A 31 2C  4D 54 52 01 00 00 00 08 00 00 02 02  FB 40  12 34  E4 3F");

std::string line(const char *text) { return std::string(text) + "\n"; }

// What a run printed without the warnings on where the phone will
// disappoint, for the cases that look at the lines before them.
std::string withoutWarnings(const std::string &printed) {
  std::string kept;
  for (size_t from = 0, end; from < printed.size(); from = end + 1) {
    end = printed.find('\n', from);
    if (end == std::string::npos) end = printed.size();
    if (printed.find(": warning: ", from) >= end) kept += printed.substr(from, end - from + 1);
  }
  return kept;
}

// The warning after converting the worked melody, whose one note plays on
// channel 1, with its vibration on channel 2.
std::string stillOn2(const std::string &name) {
  return name + ": warning: channel 2 never plays: the vibrator will not run\n";
}
std::string text(const Bytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

// Every file below a folder, by its path relative to it; links are listed,
// not followed.
void listTree(const std::string &folder, const std::string &prefix, std::vector<std::string> *files) {
  std::vector<std::string> names = listFolder(folder);
  std::sort(names.begin(), names.end());
  for (const std::string &name : names) {
    struct stat info;
    if (lstat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      listTree(folder + "/" + name, prefix + name + "/", files);
    else
      files->push_back(prefix + name);
  }
}

std::vector<std::string> tree(const std::string &folder) {
  std::vector<std::string> files;
  listTree(folder, "", &files);
  return files;
}

// A command and what it must give: exit status, stdout and stderr.
struct Scene {
  std::vector<std::string> args;
  int status;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  TempDir dir;

  void expectScenes(const std::vector<Scene> &scenes) {
    for (const Scene &scene : scenes) {
      Outcome run = runSorbelin(dir.path, scene.args);
      std::string shown = scene.args.empty() ? "" : scene.args[0] + " " + scene.args.back();
      EXPECT_EQ(run.status, scene.status) << shown << ": " << run.err;
      EXPECT_EQ(run.out, scene.out) << shown;
      EXPECT_EQ(run.err, scene.err) << shown;
    }
  }
};

}  // namespace

TEST_F(Cli, ConvertsWorkedExamplesInBothForms) {
  writeFile(dir.file("in.mld"), workedMelody);
  writeFile(dir.file("in.mmf"), workedSmaf);
  Outcome posix = runSorbelin(dir.path, {"--vib", "2", "--led", "1", "-o", "a.mld", "in.mld"});
  EXPECT_EQ(posix.status, 0) << posix.err;
  EXPECT_EQ(posix.out, line(msgResultImelodyV2Led.english) + "a.mld: vibration 2, LED 1\n" + stillOn2("a.mld"));
  EXPECT_EQ(readFile(dir.file("a.mld")), workedMelodyOut);

  Outcome own = runSorbelin(dir.path, {"in.mld", "/vc:2", "/lc:1", "/sv:b.mld", "/end"});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(readFile(dir.file("b.mld")), workedMelodyOut);

  // The Windows program's form says what it said before: no warnings.
  Outcome smaf = runSorbelin(dir.path, {"in.mmf", "/vc:5", "/lc:4", "/sv:c.mmf"});
  EXPECT_EQ(smaf.status, 0) << smaf.err;
  EXPECT_EQ(smaf.out, line(msgResultSmaf16.english) + "c.mmf: vibration 1,3, LED 3\n");
  EXPECT_EQ(readFile(dir.file("c.mmf")), workedSmafOut);
  EXPECT_EQ(readFile(dir.file("in.mld")), workedMelody);
}

TEST_F(Cli, OwnFormMasksMatchChannelLists) {
  writeFile(dir.file("tune.mld"), example("lullaby-v3.mld"));
  EXPECT_EQ(runSorbelin(dir.path, {"tune.mld", "/vc:3", "/lc:5", "/sv:own.mld", "/end"}).status, 0);
  EXPECT_EQ(runSorbelin(dir.path, {"-v", "1-2", "-l", "1,3", "-o", "posix.mld", "tune.mld"}).status, 0);
  EXPECT_EQ(readFile(dir.file("own.mld")), readFile(dir.file("posix.mld")));
  EXPECT_NE(readFile(dir.file("own.mld")), example("lullaby-v3.mld"));
}

TEST_F(Cli, PrintsTheResultMessageOfEachRow) {
  struct Case {
    const char *example;
    std::vector<std::string> options;
    std::string out;
  } cases[] = {
      {"fanfare-v2.mld",
       {"--vib", "2", "--led", "1"},
       line(msgResultImelodyV2Led.english) + "out: vibration 2, LED 1\n"},
      {"fanfare-v2.mld", {"--led", "none"}, line(msgResultImelodyV2.english) + "out: vibration 1, LED none\n"},
      {"lullaby-v3.mld",
       {"--vib", "none", "--led", "none"},
       line(msgResultImelodyV3.english) + "out: vibration none, LED none\n"},
      {"chime.mmf", {"-l", "5"}, line(msgResultSmaf16.english) + "out: vibration 1, LED 5\n"},
      {"chime.mmf", {"-q"}, ""},
  };
  for (const Case &c : cases) {
    writeFile(dir.file(c.example), example(c.example));
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-o", "out", c.example});
    Outcome run = runSorbelin(dir.path, args);
    EXPECT_EQ(run.status, 0) << c.example << run.err;
    EXPECT_EQ(run.out, c.out) << c.example;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(line(textResultSmaf40), "40和音機種で連動できます。\n");
}

TEST_F(Cli, ConvertsManyInputsAndReportsEachFailure) {
  mkdir(dir.file("out").c_str(), 0755);
  for (const char *name : {"fanfare-v2.mld", "lullaby-v3.mld", "chime.mmf"}) writeFile(dir.file(name), example(name));
  writeFile(dir.file("notes.txt"), ascii("shopping list"));
  writeFile(dir.file("broken.mld"), hex("6D 65 6C 6F 00 00 00 40"));
  // A score track 6 too short for its status, then a chunk cut short: the
  // converter gives up at the cut chunk, and the line names that one.
  writeFile(dir.file("cut.mmf"), ascii("MMMD") + hex("00 00 00 60") +
                                     chunk(ascii("MTR") + Bytes{6}, hex("02 00 02 02")) + ascii("MTR") +
                                     hex("01 00 00 00 09 00"));
  Outcome run = runSorbelin(dir.path, {"-d", "out", "fanfare-v2.mld", "notes.txt", "broken.mld", "missing.mld",
                                       "cut.mmf", "lullaby-v3.mld", "chime.mmf"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "sorbelin: notes.txt: not an i-melody or SMAF file; nothing written\n"
            "sorbelin: broken.mld: malformed melody (the file chunk at offset 0 runs past the end of the file); "
            "nothing written\n"
            "sorbelin: missing.mld: cannot read: No such file or directory\n"
            "sorbelin: cut.mmf: malformed melody (chunk 2 runs past the end of the file at offset 20); "
            "nothing written\n"
            "sorbelin: 3 converted, 4 failed\n");
  EXPECT_NE(run.out.find("chime.mmf -> out/chime.mmf\n"), std::string::npos);
  std::vector<std::string> written = listFolder(dir.file("out"));
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"chime.mmf", "fanfare-v2.mld", "lullaby-v3.mld"}));
  EXPECT_EQ(runSorbelin(dir.path, {"-q", "-d", "out", "chime.mmf", "fanfare-v2.mld"}).status, 0);
}

TEST_F(Cli, InPlaceFailuresLeaveTheInputUntouched) {
  const Bytes broken = hex("4D 4D 4D 44 00 00 00 40 43 4E 54 49");
  writeFile(dir.file("broken.mmf"), broken);
  writeFile(dir.file("text.mld"), ascii("not a melody"));
  writeFile(dir.file("good.mmf"), workedSmaf);
  Outcome run =
      runSorbelin(dir.path, {"--vib", "1,3", "--led", "3", "--in-place", "broken.mmf", "text.mld", "good.mmf"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readFile(dir.file("broken.mmf")), broken);
  EXPECT_EQ(readFile(dir.file("text.mld")), ascii("not a melody"));
  EXPECT_EQ(readFile(dir.file("good.mmf")), workedSmafOut);
  EXPECT_EQ(listFolder(dir.path).size(), 3u);
}

TEST_F(Cli, UnwritableOutputSaysWhy) {
  writeFile(dir.file("in.mld"), workedMelody);
  Outcome run = runSorbelin(dir.path, {"-o", "no/such/out.mld", "in.mld"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "sorbelin: in.mld: cannot write no/such/out.mld: No such file or directory\n");
}

TEST_F(Cli, UsageErrorsExitWithTwo) {
  writeFile(dir.file("in.mld"), workedMelody);
  struct Case {
    std::vector<std::string> args;
    const char *errStart;
  } cases[] = {
      {{}, "usage: sorbelin"},
      {{"--vib", "17", "-o", "x", "in.mld"}, "sorbelin: bad channel list '17'"},
      {{"--frobnicate", "in.mld"}, "sorbelin: unknown option '--frobnicate'"},
      {{"in.mld", "-o"}, "sorbelin: option '-o' needs a value"},
      {{"in.mld", "--led", "1"}, "sorbelin: say where to write"},
      {{"-q", "-d", "", "in.mld"}, "sorbelin: -d needs a path"},
      {{"-q", "-o", "", "in.mld"}, "sorbelin: -o needs a path"},
      {{"/tmp/in.mld", "/sv:out.mld"}, "sorbelin: no input file named"},
      {{"in.mld", "/vc:3"}, "sorbelin: an output path is needed"},
      // Channel 1 by default would replace the links of a user who meant -I.
      {{"-i", "in.mld"},
       "sorbelin: --in-place rewrites each file's links: name the channels with --vib LIST or "
       "--led LIST (keep leaves a device as the file links it now); to see what a file holds, use -I"},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, c.args);
    EXPECT_EQ(run.status, 2) << c.errStart;
    EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  EXPECT_EQ(readFile(dir.file("in.mld")), workedMelody);
  Outcome help = runSorbelin(dir.path, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("examples:"), std::string::npos);
  Outcome version = runSorbelin(dir.path, {"--version"});
  EXPECT_EQ(version.out.rfind("sorbelin 1.40\nCopyright (c) 2026 The Sorbelin authors\nMIT licence", 0), 0u)
      << version.out;
}

TEST_F(Cli, AsksForTheOutputPathOnATerminal) {
  writeFile(dir.file("song.mld"), workedMelody);
  writeFile(dir.file("taken.mld"), ascii("keep me"));
  // "out" gets the input's extension; "taken" exists: refused, then replaced.
  Outcome run = runSorbelin(dir.path, {"song.mld", "/vc:2"}, true, "out\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("(Enter for song.mld, Ctrl-D to cancel)"), std::string::npos) << run.err;
  EXPECT_EQ(readFile(dir.file("out.mld")), workedMelodyOut);

  run = runSorbelin(dir.path, {"song.mld", "/vc:2"}, true, "taken\nn\ntaken\ny\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("taken.mld already exists"), std::string::npos);
  EXPECT_EQ(readFile(dir.file("taken.mld")), workedMelodyOut);
}

// Enter takes the proposed name, the input's file name in the current
// folder, as a Save dialog does; replacing a file there still asks. The end
// of input cancels, at either question.
TEST_F(Cli, EnterAcceptsTheProposalAndEndOfInputCancels) {
  makeFolder(dir.file("in"));
  writeFile(dir.file("in/song.mld"), workedMelody);
  writeFile(dir.file("song"), workedMelody);
  struct Case {
    const char *input, *typed;
    int status;
    Bytes song;  // what ./song.mld holds after the run; empty for no such file
  } cases[] = {
      {"in/song.mld", "\x04", 1, {}},
      {"in/song.mld", "\n", 0, workedMelodyOut},
      {"in/song.mld", "\nn\n\x04", 1, workedMelodyOut},
      {"in/song.mld", "\n\x04", 1, workedMelodyOut},
      {"song", "\n\x04", 1, workedMelodyOut},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, {c.input, "/vc:2"}, true, c.typed);
    EXPECT_EQ(run.status, c.status) << c.input << " " << c.typed;
    EXPECT_EQ(run.err.find("cancelled; nothing written") != std::string::npos, c.status == 1) << run.err;
    EXPECT_EQ(fileExists(dir.file("song.mld")) ? readFile(dir.file("song.mld")) : Bytes(), c.song) << c.typed;
  }
  EXPECT_EQ(readFile(dir.file("song")), workedMelody);
  EXPECT_EQ(readFile(dir.file("in/song.mld")), workedMelody);
  // Without an extension on the input, a typed name gets none.
  EXPECT_EQ(runSorbelin(dir.path, {"song"}, true, "plain\n").status, 0);
  EXPECT_TRUE(fileExists(dir.file("plain")));
}

// Standard input and output through real pipes, FIFOs and descriptors. The
// result message goes to stderr whenever the result goes to stdout.
TEST_F(Cli, StandardInputAndOutputThroughPipes) {
  writeFile(dir.file("tune.mld"), workedMelody);
  writeFile(dir.file("bad.mld"), hex("6D 65 6C 6F 00 00 00 40"));
  const std::string melody = text(workedMelodyOut);
  auto message = [](const char *output) {
    return line(msgResultImelodyV2Led.english) + output + ": vibration 2, LED 1\n" + stillOn2(output);
  };
  struct Case {
    const char *script;
    int status;
    std::string out, err;
  } cases[] = {
      {"\"$0\" --vib 2 -o /dev/stdout tune.mld | cat", 0, melody, message("/dev/stdout")},
      {"cat tune.mld | \"$0\" --vib=2 -o - - | cat", 0, melody, message("standard output")},
      {"cat tune.mld | \"$0\" -qv2 -o - /dev/stdin", 0, melody, ""},
      {"\"$0\" --vib 2 -o /dev/fd/3 tune.mld 3>&1 | cat", 0, melody, message("/dev/fd/3")},
      {"\"$0\" --vib 2 -o /proc/self/fd/1 - < tune.mld", 0, melody, message("/proc/self/fd/1")},
      {"\"$0\" tune.mld /vc:2 /sv:/dev/stdout", 0, melody, withoutWarnings(message("/dev/stdout"))},
      {"cat tune.mld | \"$0\" --vib 2 -o piped.mld /dev/stdin", 0, message("piped.mld"), ""},
      {"mkfifo fifo && { cat tune.mld > fifo & } && \"$0\" -v 2 -o - fifo", 0, melody, message("standard output")},
      {"printf 'shopping list' | \"$0\" -o - -", 1, "",
       "sorbelin: standard input: not an i-melody or SMAF file; nothing written\n"},
      {"\"$0\" -o - - < bad.mld", 1, "",
       "sorbelin: standard input: malformed melody (the file chunk at offset 0 runs past the end of the file); "
       "nothing written\n"},
      {"\"$0\" -o - tune.mld >&-", 1, "", "sorbelin: tune.mld: cannot write standard output: Bad file descriptor\n"},
  };
  for (const Case &c : cases) {
    Outcome run = runScript(dir.path, c.script);
    EXPECT_EQ(run.status, c.status) << c.script << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.script;
    EXPECT_EQ(run.err, c.err) << c.script;
  }
  EXPECT_EQ(readFile(dir.file("piped.mld")), workedMelodyOut);
  EXPECT_EQ(tree(dir.path), (std::vector<std::string>{"bad.mld", "fifo", "piped.mld", "tune.mld"}));
  Outcome info = runScript(dir.path, "cat tune.mld | \"$0\" --info --json -");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out.rfind("{\"path\":\"standard input\",\"format\":\"i-melody\",\"length\":48,", 0), 0u) << info.out;
  info = runScript(dir.path, "\"$0\" --info - < tune.mld");
  EXPECT_EQ(info.out.rfind("standard input\n  format   i-melody version 2", 0), 0u) << info.out;
}

// Whatever is meant for standard output must arrive there: a report, the
// help or a message that a full disk or a closed descriptor refused makes
// the run fail with the reason, however much was written before.
TEST_F(Cli, StandardOutputThatCannotBeWrittenFailsTheRun) {
  writeFile(dir.file("tune.mld"), workedMelody);
  const std::string full = "sorbelin: cannot write to standard output: " + std::string(std::strerror(ENOSPC)) + "\n";
  const std::string closed = "sorbelin: cannot write to standard output: " + std::string(std::strerror(EBADF)) + "\n";
  struct Case {
    const char *script;
    int status;
    std::string err;
  } cases[] = {
      {"\"$0\" --help > /dev/full", 1, full},
      {"\"$0\" --version > /dev/full", 1, full},
      {"\"$0\" --info tune.mld > /dev/full", 1, full},
      {"\"$0\" --info --json tune.mld > /dev/full", 1, full},
      {"\"$0\" --info --json $(seq 200 | sed 's/.*/tune.mld/') > /dev/full", 1, full},
      {"\"$0\" -v2 -o out.mld tune.mld > /dev/full", 1, full},
      {"\"$0\" -v2 -d out tune.mld tune.mld > /dev/full", 1,
       "sorbelin: tune.mld: out/tune.mld already holds the result of tune.mld in this run; nothing written\n"
       "sorbelin: 1 converted, 1 failed\n" +
           full},
      {"\"$0\" --help >&-", 1, closed},
      {"\"$0\" -q -o quiet.mld tune.mld > /dev/full", 0, ""},
      {"\"$0\" -q -o quiet.mld tune.mld >&-", 0, ""},
      {"\"$0\" -o - tune.mld > /dev/full", 1,
       "sorbelin: tune.mld: cannot write standard output: " + std::string(std::strerror(ENOSPC)) + "\n"},
  };
  for (const Case &c : cases) {
    Outcome run = runScript(dir.path, c.script);
    EXPECT_EQ(run.status, c.status) << c.script;
    EXPECT_EQ(run.err, c.err) << c.script;
  }
  EXPECT_EQ(readFile(dir.file("out.mld")), workedMelodyOut);
}

// A pipe is read to its end however it is cut into writes; beyond 4 GiB a
// file is refused with its own message (a sparse file stands for one).
TEST_F(Cli, InputIsReadToItsEndWithinTheLimit) {
  writeFile(dir.file("tune.mld"), workedMelody);
  Outcome slow =
      runScript(dir.path, "{ head -c 20 tune.mld; sleep 0.2; tail -c +21 tune.mld; } | \"$0\" -q -v2 -o - -");
  EXPECT_EQ(slow.status, 0) << slow.err;
  EXPECT_EQ(slow.out, text(workedMelodyOut));
  int fd = open(dir.file("huge.mld").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  bool sparse = ftruncate(fd, off_t(UINT32_MAX) + 1) == 0;
  close(fd);
  if (!sparse) GTEST_SKIP() << "no file of 4 GiB can be made here";
  expectScenes({{{"-o", "out.mld", "huge.mld"},
                 1,
                 "",
                 "sorbelin: huge.mld: more than 4 GiB, too large for a melody file; nothing written\n"}});
  EXPECT_FALSE(fileExists(dir.file("out.mld")));
}

// A file read whole into a large block converts to the bytes that the same
// file streamed through a pipe gives, and that the image converted in memory
// gives; so does the file converted in place.
TEST_F(Cli, LargeFilesConvertAlikeReadWholeOrStreamed) {
  const Bytes link = hex("05 FF FF 00 05 11 F2 04 20 01");
  Bytes events;
  for (uint32_t i = 0; events.size() < memBlockLargeSize + 3000; ++i) {
    events.insert(events.end(), {uint8_t(i), uint8_t(i % 0x3F | (i & 0xC0)), 0x10});
    if (i % 4000 == 3999) events.insert(events.end(), link.begin(), link.end());
  }
  const Bytes image = melody(vers('2'), track(events) + track(events));
  const Bytes expected = convertWithSettings(image, 0x0002, 0x0001).bytes;
  ASSERT_FALSE(expected.empty());
  writeFile(dir.file("large.mld"), image);
  writeFile(dir.file("inplace.mld"), image);
  for (const char *script :
       {"\"$0\" -q -v2 -l1 -o whole.mld large.mld", "cat large.mld | \"$0\" -q -v2 -l1 -o piped.mld -",
        "\"$0\" -q -v2 -l1 --in-place inplace.mld"}) {
    Outcome run = runScript(dir.path, script);
    EXPECT_EQ(run.status, 0) << script << ": " << run.err;
  }
  for (const char *name : {"whole.mld", "piped.mld", "inplace.mld"})
    EXPECT_EQ(readFile(dir.file(name)), expected) << name;
  EXPECT_EQ(readFile(dir.file("large.mld")), image);
}

// -d makes its folder when the first result is written; a second result for
// the same file in one run is refused.
TEST_F(Cli, FolderOutputIsMadeWhenNeededAndNeverWrittenTwice) {
  makeFolder(dir.file("a"));
  makeFolder(dir.file("b"));
  writeFile(dir.file("a/x.mld"), workedMelody);
  writeFile(dir.file("b/x.mld"), example("lullaby-v3.mld"));
  writeFile(dir.file("tune.mld"), workedMelody);
  writeFile(dir.file("notes.txt"), ascii("shopping list"));
  const std::string message = line(msgResultImelodyV2Led.english), carries = ": vibration 2, LED 1\n";
  expectScenes({
      {{"-v2", "-d", "out", "a/x.mld", "b/x.mld"},
       1,
       "a/x.mld -> out/x.mld\n" + message + "out/x.mld" + carries + stillOn2("out/x.mld"),
       "sorbelin: b/x.mld: out/x.mld already holds the result of a/x.mld in this run; nothing written\n"
       "sorbelin: 1 converted, 1 failed\n"},
      {{"-v2", "-q", "-i", "tune.mld", "./tune.mld"},
       1,
       "",
       "sorbelin: ./tune.mld: ./tune.mld already holds the result of tune.mld in this run; nothing written\n"},
      {{"-v2", "-d", "new/deeper/out", "a/x.mld"},
       0,
       message + "new/deeper/out/x.mld" + carries + stillOn2("new/deeper/out/x.mld"),
       ""},
      {{"-d", "never", "notes.txt"}, 1, "", "sorbelin: notes.txt: not an i-melody or SMAF file; nothing written\n"},
      {{"-q", "-d", "made", "a", "tune.mld"},
       1,
       "",
       "sorbelin: a: is a folder; to convert the melodies in it use -r with -d DIR or --in-place\n"},
      {{"-d", "notes.txt", "a/x.mld"}, 2, "", "sorbelin: notes.txt is not a folder\n"},
      {{"-d", "notes.txt/sub", "a/x.mld"}, 2, "", "sorbelin: notes.txt/sub is not a folder\n"},
  });
  EXPECT_EQ(readFile(dir.file("out/x.mld")), workedMelodyOut);
  EXPECT_EQ(readFile(dir.file("tune.mld")), workedMelodyOut);
  EXPECT_EQ(readFile(dir.file("new/deeper/out/x.mld")), workedMelodyOut);
  EXPECT_EQ(tree(dir.file("made")), std::vector<std::string>{"tune.mld"});
  EXPECT_FALSE(fileExists(dir.file("never")));
}

// -r takes the .mld and .mmf files below the folders named, in any case of
// their extension, and no file behind a symbolic link met on the way.
TEST_F(Cli, RecursiveTakesEveryMelodyBelowTheFoldersNamed) {
  for (const char *folder : {"tree", "tree/sub", "tree/sub/deeper", "other"}) makeFolder(dir.file(folder));
  writeFile(dir.file("tree/one.mld"), workedMelody);
  writeFile(dir.file("tree/Two.MMF"), workedSmaf);
  writeFile(dir.file("tree/notes.txt"), ascii("not a melody, and not taken"));
  writeFile(dir.file("tree/sub/three.mld"), workedMelody);
  writeFile(dir.file("tree/sub/deeper/four.Mld"), workedMelody);
  writeFile(dir.file("other/five.mld"), workedMelody);
  ASSERT_EQ(symlink("../other", dir.file("tree/link").c_str()), 0);
  ASSERT_EQ(symlink("one.mld", dir.file("tree/alias.mld").c_str()), 0);
  const Bytes smafOut = convertWithSettings(workedSmaf, 2, 1).bytes;

  Outcome run = runSorbelin(dir.path, {"-r", "-v2", "-d", "out", "tree"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("tree/Two.MMF -> out/Two.MMF\n", 0), 0u) << run.out;
  EXPECT_EQ(tree(dir.file("out")),
            (std::vector<std::string>{"Two.MMF", "one.mld", "sub/deeper/four.Mld", "sub/three.mld"}));
  EXPECT_EQ(readFile(dir.file("out/Two.MMF")), smafOut);
  EXPECT_EQ(readFile(dir.file("out/sub/deeper/four.Mld")), workedMelodyOut);

  EXPECT_EQ(runSorbelin(dir.path, {"-q", "-r", "-d", "linked", "tree/link/"}).status, 0);
  EXPECT_EQ(tree(dir.file("linked")), std::vector<std::string>{"five.mld"});

  run = runSorbelin(dir.path, {"-qrv2", "--in-place", "tree"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(dir.file("tree/one.mld")), workedMelodyOut);
  EXPECT_EQ(readFile(dir.file("tree/sub/three.mld")), workedMelodyOut);
  EXPECT_EQ(readFile(dir.file("tree/Two.MMF")), smafOut);
  EXPECT_EQ(readFile(dir.file("other/five.mld")), workedMelody);
  EXPECT_EQ(readFile(dir.file("tree/notes.txt")), ascii("not a melody, and not taken"));
  struct stat info;
  ASSERT_EQ(lstat(dir.file("tree/alias.mld").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// The own form takes each argument as the shell split it: paths with
// spaces, colons and more than 255 bytes, whole.
TEST_F(Cli, OwnFormTakesEachArgumentWhole) {
  const std::string d(100, 'd'), e(100, 'e');
  makeFolder(dir.file(d));
  makeFolder(dir.file(d + "/" + e));
  const std::string longInput = d + "/" + e + "/" + std::string(96, 'f') + ".mld";
  const std::string longOutput = d + "/" + e + "/" + std::string(96, 'g') + ".mld";
  ASSERT_EQ(longInput.size(), 302u);
  writeFile(dir.file(longInput), workedMelody);
  writeFile(dir.file("Song 1: intro.mld"), workedMelody);
  auto message = [](const std::string &output) {
    return line(msgResultImelodyV2Led.english) + output + ": vibration 2, LED 1\n";
  };
  expectScenes({
      {{"Song 1: intro.mld", "/vc:2", "/sv:out1.mld", "/end"}, 0, message("out1.mld"), ""},
      {{"Song 1: intro.mld", "/sv:my out.mld", "/vc:2"}, 0, message("my out.mld"), ""},
      {{longInput, "/vc:2", "/sv:" + longOutput}, 0, message(longOutput), ""},
      {{"Song 1: intro.mld", "/vc:2", "b.mld", "/sv:x.mld"},
       2,
       "",
       "sorbelin: this form takes one input file ('b.mld' is a second); for several use: sorbelin -d DIR "
       "INPUT...\n"},
  });
  for (const std::string &name : {std::string("out1.mld"), std::string("my out.mld"), longOutput})
    EXPECT_EQ(readFile(dir.file(name)), workedMelodyOut) << name;
  EXPECT_EQ(tree(dir.path).size(), 5u);
}

// --info reads every file named, reports each in order and writes nothing;
// it exits with 1 when any file could not be read or recognised whole.
TEST_F(Cli, InfoReportsEachFileAndWritesNothing) {
  writeFile(dir.file("tune.mld"), example("fanfare-v2.mld"));
  writeFile(dir.file("bell.mmf"), example("chime.mmf"));
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  for (const char *folder : {"tree", "tree/sub", "tree/sub/deeper"}) makeFolder(dir.file(folder));
  writeFile(dir.file("tree/b.mld"), example("fanfare-v2.mld"));
  writeFile(dir.file("tree/notes.txt"), ascii("not a melody, and not taken"));
  writeFile(dir.file("tree/sub/deeper/a.MMF"), example("chime.mmf"));
  struct Case {
    std::vector<std::string> args;
    int status;
    std::vector<const char *> starts;  // the report's lines or JSON objects begin so, in order
  } cases[] = {
      {{"--info", "tune.mld", "bell.mmf"}, 0, {"tune.mld", "  format   i-melody version 2", "bell.mmf"}},
      {{"-rI", "--json", "tree", "bell.mmf"},
       0,
       {"{\"path\":\"tree/b.mld\",\"format\":\"i-melody\"", "{\"path\":\"tree/sub/deeper/a.MMF\",\"format\":\"SMAF\"",
        "{\"path\":\"bell.mmf\""}},
      {{"--info", "tree"}, 1, {"tree\n  error    cannot read: Is a directory"}},
      {{"-I", "--json", "tune.mld", "notes.txt", "gone.mld", "bell.mmf"},
       1,
       {"{\"path\":\"tune.mld\",\"format\":\"i-melody\",\"length\":123,\"error\":null,\"version\":2,",
        "{\"path\":\"notes.txt\",\"format\":null,\"length\":15,\"error\":\"not an i-melody or SMAF file\"}",
        "{\"path\":\"gone.mld\",\"format\":null,\"length\":null,\"error\":\"cannot read: No such file or directory\"}",
        "{\"path\":\"bell.mmf\",\"format\":\"SMAF\""}},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err, "");
    size_t at = 0;
    for (const char *start : c.starts) {
      at = run.out.find(start, at);
      EXPECT_NE(at, std::string::npos) << start << "\n" << run.out;
    }
  }
  EXPECT_EQ(listFolder(dir.path).size(), 4u);
  EXPECT_EQ(tree(dir.file("tree")), (std::vector<std::string>{"b.mld", "notes.txt", "sub/deeper/a.MMF"}));
  for (std::vector<std::string> args : {std::vector<std::string>{"--json", "tune.mld"},
                                        std::vector<std::string>{"--info", "-o", "x.mld", "tune.mld"}}) {
    Outcome run = runSorbelin(dir.path, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// --timeline writes each file's notes as JSON, or draws its strips, and
// writes no file. The strips follow the links that the converted file would
// carry: a version-2 melody holds one channel of each, which the line after
// a conversion says (not with -q).
TEST_F(Cli, TimelineDrawsEachFileAndWritesNothing) {
  writeFile(dir.file("tune.mld"), example("fanfare-v2.mld"));
  writeFile(dir.file("bell.mmf"), example("chime.mmf"));
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  Outcome json = runSorbelin(dir.path, {"-T", "--json", "tune.mld", "notes.txt", "gone.mld", "bell.mmf"});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.err, "");
  size_t at = 0;
  for (const char *start :
       {"{\"path\":\"tune.mld\",\"format\":\"i-melody\",\"error\":null,\"durationMs\":3750,\"loops\":false,"
        "\"channels\":16,\"notes\":[[1,234,938,69],[5,234,938,57],",
        "{\"path\":\"notes.txt\",\"format\":null,\"error\":\"not an i-melody or SMAF file\",",
        "{\"path\":\"gone.mld\",\"format\":null,\"error\":\"cannot read: No such file or directory\",",
        "{\"path\":\"bell.mmf\",\"format\":\"SMAF\",\"error\":null,"}) {
    at = json.out.find(start, at);
    EXPECT_NE(at, std::string::npos) << start << "\n" << json.out;
  }
  const std::vector<std::string> drawn = {"-T", "--width", "40", "--vib", "2,3", "--led", "1", "tune.mld"};
  struct Case {
    const char *locale;
    std::vector<std::string> args;
    const char *mark, *err;
  } cases[] = {
      {"C", drawn, "#", "tune.mld: vibration 2 (i-melody version 2 holds one channel), LED 1\n"},
      {"C.UTF-8", drawn, "\u2588", "tune.mld: vibration 2 (i-melody version 2 holds one channel), LED 1\n"},
      {"C", {"-qT", "--vib", "1,5", "tune.mld"}, "#", ""},
  };
  for (const Case &c : cases) {
    std::vector<std::string> command = {"env", std::string("LC_ALL=") + c.locale, SORBELIN_BINARY};
    command.insert(command.end(), c.args.begin(), c.args.end());
    Outcome run = runProgram(dir.path, command);
    EXPECT_EQ(run.status, 0) << c.locale;
    EXPECT_EQ(run.err, c.err) << c.locale;
    EXPECT_NE(run.out.find(c.mark), std::string::npos) << run.out;
    EXPECT_EQ(run.out.rfind("tune.mld\n  i-melody, 0:03.8\n  ch  1 ", 0), 0u) << run.out;
  }
  // In ASCII every strip is as wide as asked; channel 2 alone vibrates.
  Outcome ascii =
      runProgram(dir.path, {"env", "LC_ALL=C", SORBELIN_BINARY, "-T", "--width", "40", "--vib", "2,3", "tune.mld"});
  std::vector<std::string> rows;
  for (size_t from = 0, end; (end = ascii.out.find('\n', from)) != std::string::npos; from = end + 1)
    if (ascii.out.find('|', from) < end) rows.push_back(ascii.out.substr(from, end - from));
  ASSERT_EQ(rows.size(), 5u) << ascii.out;
  for (const std::string &row : rows) EXPECT_EQ(row.size(), 40u) << row;
  EXPECT_EQ(rows[1].substr(0, 19), "  ch  2 other  V   ");
  EXPECT_EQ(rows[3].substr(19), rows[1].substr(19)) << "the vibration strip is channel 2's";
  EXPECT_EQ(listFolder(dir.path).size(), 3u);
}

// A file whose walk is whole but whose notes stop (a tempo of 0) converts,
// yet --info and --timeline say where the notes stop and exit with 1.
TEST_F(Cli, InfoAndTimelineSayWhereTheNotesStop) {
  writeFile(dir.file("zero.mld"), melody(vers('2'), track(hex("00 0F 30  00 FF C3 00  00 0F 30"))));
  const std::string sentence = "track 1 sets a tempo of 0 at offset 34";
  struct Case {
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {{"--info", "zero.mld"}, "  error    " + sentence + "\n"},
      {{"--info", "--json", "zero.mld"}, "\"error\":\"" + sentence + "\""},
      {{"--timeline", "zero.mld"}, "  error            " + sentence + "\n"},
      {{"--timeline", "--json", "zero.mld"}, "\"error\":\"" + sentence + "\""},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, c.args);
    EXPECT_EQ(run.status, 1) << c.args[0];
    EXPECT_NE(run.out.find(c.shown), std::string::npos) << run.out;
  }
  EXPECT_EQ(runSorbelin(dir.path, {"-q", "-o", "out.mld", "zero.mld"}).status, 0);
}

// Every conversion ends with a line that says what the file now carries,
// after the result message or, where the file's kind has none, alone; where
// the file could not hold every channel asked for, the line says why, and
// the exit status stays 0. The line goes where the message goes. (The
// warnings that may follow it are the test of their own below.)
TEST_F(Cli, SaysWhatTheFileNowCarries) {
  const Bytes notes = hex("00 10 60  00 50 60");
  writeFile(dir.file("v2.mld"), melody(vers('2'), track(notes)));
  writeFile(dir.file("v3.mld"), melody(vers('3'), track(notes)));
  writeFile(dir.file("v4.mld"), melody(vers('4'), track(hex("00 FF FF 00 05 11 F2 04 20 00") + notes)));
  writeFile(dir.file("bare.mld"), melody(vers('2'), {}));
  writeFile(dir.file("two.mmf"), smaf(mtr(1, hex("00 00")) + mtr(2, hex("00 00"))));
  writeFile(dir.file("full.mmf"), smaf(cnti({}) + mtr(5, Bytes(16, 0))));
  writeFile(dir.file("type1.mmf"), smaf(cnti({}) + mtr(0, hex("00 00"))));
  const std::string v2 = line(msgResultImelodyV2Led.english), v3 = line(msgResultImelodyV3.english),
                    smaf16 = line(msgResultSmaf16.english), smaf40 = line(msgResultSmaf40.english);
  struct Case {
    std::vector<std::string> args;
    std::string out, err = "";
  } cases[] = {
      {{"--vib", "1,3", "--led", "2-4", "-o", "a.mld", "v2.mld"},
       v2 + "a.mld: vibration 1, LED 2 (both: i-melody version 2 holds one channel)\n"},
      {{"-o", "b.mld", "v4.mld"}, "b.mld: vibration none, LED none (both: i-melody version 4 holds no links)\n"},
      {{"-o", "c.mld", "bare.mld"},
       v2 + "c.mld: vibration none, LED none (both: the melody has no track to hold links)\n"},
      {{"--vib", "1,9", "--led", "3", "-o", "d.mmf", "two.mmf"},
       smaf16 + "d.mmf: vibration 1 (this file's tracks play channels 1-8 only), "
                "LED none (this file has no place for the LED)\n"},
      {{"--vib", "1,3", "--led", "2-4", "-o", "e.mld", "v3.mld"}, v3 + "e.mld: vibration 1,3, LED 2-4\n"},
      {{"--vib", "1", "--led", "2", "-o", "f.mld", "v2.mld"}, v2 + "f.mld: vibration 1, LED 2\n"},
      {{"--vib", "1-16", "--led", "3,5", "-o", "g.mmf", "full.mmf"}, smaf40 + "g.mmf: vibration 1-16, LED 3,5\n"},
      {{"-q", "-o", "h.mld", "v4.mld"}, ""},
      {{"--vib", "2", "--led", "3,5", "-o", "i.mmf", "type1.mmf"},
       "i.mmf: vibration 2, LED 3 (this file holds one LED channel)\n"},
      {{"--vib", "2", "-o", "-", "type1.mmf"}, "", "standard output: vibration 2, LED 1\n"},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, c.args);
    EXPECT_EQ(run.status, 0) << c.out;
    if (c.args[c.args.size() - 2] != "-") {
      EXPECT_EQ(withoutWarnings(run.out), c.out);
    }
    EXPECT_EQ(withoutWarnings(run.err), c.err);
  }
}

// --all-tracks links score tracks 6 and 7 too; without it they stay as
// they were, and the line after the conversion says what the file carries.
TEST_F(Cli, AllTracksLinksScoreTracks6And7) {
  const Bytes input = smaf(mtr(6, Bytes(16, 0x00), 2) + mtr(7, Bytes(32, 0x30), 3));
  writeFile(dir.file("new.mmf"), input);
  Outcome plain = runSorbelin(dir.path, {"--vib", "2", "--led", "3", "-o", "plain.mmf", "new.mmf"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(readFile(dir.file("plain.mmf")), input);
  EXPECT_EQ(withoutWarnings(plain.out),
            "plain.mmf: vibration 1-32, LED 1-32 "
            "(both: score tracks 6 and 7 were left as they were; --all-tracks links them)\n");

  Outcome all = runSorbelin(dir.path, {"--vib", "2", "--led", "3", "--all-tracks", "-o", "all.mmf", "new.mmf"});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(withoutWarnings(all.out), "all.mmf: vibration 2, LED 3\n");
  Bytes six = hex("00 20 10") + Bytes(13, 0x00), seven = hex("00 20 10") + Bytes(29, 0x00);
  EXPECT_EQ(readFile(dir.file("all.mmf")), smaf(mtr(6, six, 2) + mtr(7, seven, 3)));
  Outcome info = runSorbelin(dir.path, {"--info", "all.mmf"});
  EXPECT_NE(info.out.find("  links    vibration 2; LED 3\n"), std::string::npos) << info.out;
}

// The locale chooses the language of the result message, the error and
// warning lines and the help; the phone models read the same in both.
TEST_F(Cli, SpeaksJapaneseWhenTheLocaleSaysSo) {
  writeFile(dir.file("tune.mld"), workedMelody);
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  struct Case {
    const char *lang;
    std::string out, err, help;
  } cases[] = {
      {"C.UTF-8", line(msgResultImelodyV2Led.english) + "out.mld: vibration 2, LED 1\n" + stillOn2("out.mld"),
       "sorbelin: notes.txt: not an i-melody or SMAF file; nothing written\n", "usage: sorbelin"},
      {"ja_JP.UTF-8",
       line(textResultImelodyV2Led) +
           "out.mld: バイブ 2、LED 1\nout.mld: 注意: チャンネル 2 は一度も鳴らないので、バイブは動きません\n",
       "sorbelin: notes.txt: i-melody でも SMAF でもないファイルです。何も書き出していません\n", "使い方: sorbelin"},
  };
  for (const Case &c : cases) {
    std::vector<std::string> env = {"env",          "-u", "LC_ALL", "-u", "LC_MESSAGES", std::string("LANG=") + c.lang,
                                    SORBELIN_BINARY};
    auto with = [&env](std::vector<std::string> args) {
      args.insert(args.begin(), env.begin(), env.end());
      return args;
    };
    Outcome converted = runProgram(dir.path, with({"--vib", "2", "-o", "out.mld", "tune.mld"}));
    EXPECT_EQ(converted.out, c.out) << c.lang;
    Outcome refused = runProgram(dir.path, with({"-o", "out.txt", "notes.txt"}));
    EXPECT_EQ(refused.err, c.err) << c.lang;
    EXPECT_EQ(runProgram(dir.path, with({"--help"})).out.rfind(c.help, 0), 0u) << c.lang;
    // JSON is for scripts: its reasons are English in every locale.
    EXPECT_EQ(runProgram(dir.path, with({"--info", "--json", "gone.mld"})).out,
              "{\"path\":\"gone.mld\",\"format\":null,\"length\":null,"
              "\"error\":\"cannot read: No such file or directory\"}\n")
        << c.lang;
  }
  Outcome warned =
      runProgram(dir.path, {"env", "LANG=ja_JP.UTF-8", SORBELIN_BINARY, "--vib", "2,3", "-o", "w.mld", "tune.mld"});
  EXPECT_EQ(warned.out, line(textResultImelodyV2Led) +
                            "w.mld: バイブ 2 (バージョン 2 の i-melody が持てるのは一チャンネルです)、LED 1\n"
                            "w.mld: 注意: チャンネル 2 は一度も鳴らないので、バイブは動きません\n");
}

// "keep" takes, for each file, the channels that it links now for that
// device: the result is the file converted with those channels listed.
TEST_F(Cli, KeepTakesEachFilesOwnLinks) {
  const Bytes v3 =
      convertWithSettings(example("lullaby-v3.mld"), 0x0A0A, 0x0005).bytes;           // vibration 2,4,10,12; LED 1,3
  const Bytes later = smaf(mtr(6, Bytes(16, 0x00), 2) + mtr(7, Bytes(32, 0x30), 3));  // links 1-32
  struct Case {
    const char *name;
    Bytes input;
    std::vector<std::string> options;
    uint16_t vibMask, ledMask;
    bool allTracks;
  } cases[] = {
      {"a.mld", example("fanfare-v2.mld"), {"--vib", "keep", "--led", "1"}, 0x0010, 0x0001, false},  // vibration 5
      {"b.mld", v3, {"--vib", "keep", "--led", "keep"}, 0x0A0A, 0x0005, false},
      {"c.mmf", example("chime.mmf"), {"--vib", "keep", "--led", "keep"}, 0x0030, 0x0008, false},  // LED tag 4
      {"d.mmf", later, {"--vib", "keep", "--led", "keep", "--all-tracks"}, 0xFFFF, 0xFFFF, true},
  };
  for (const Case &c : cases) {
    writeFile(dir.file(c.name), c.input);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-q", "-i", c.name});
    Outcome run = runSorbelin(dir.path, args);
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
    EXPECT_EQ(readFile(dir.file(c.name)), convertWithRequest(c.input, {c.vibMask, c.ledMask, c.allTracks}).bytes)
        << c.name;
  }
  // Kept channels are read from each file of a run, and the line says so.
  writeFile(dir.file("a.mld"), example("fanfare-v2.mld"));
  writeFile(dir.file("c.mmf"), example("chime.mmf"));
  Outcome run = runSorbelin(dir.path, {"--vib", "keep", "--led", "3", "-d", "out", "a.mld", "c.mmf"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("out/a.mld: vibration 5, LED 3\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("out/c.mmf: vibration 5-6, LED 3\n"), std::string::npos) << run.out;
  // --timeline draws the kept links: channel 5 drives the vibrator.
  Outcome drawn = runProgram(
      dir.path, {"env", "LC_ALL=C", SORBELIN_BINARY, "-T", "--width", "40", "--vib", "keep", "--led", "none", "a.mld"});
  EXPECT_EQ(drawn.status, 0) << drawn.err;
  EXPECT_NE(drawn.out.find("  ch  5 bass   V   |"), std::string::npos) << drawn.out;
}

// A run of several files, counted after -r found them, ends with the count
// of those converted and failed on stderr; one file, -q, --info and
// --timeline print none.
TEST_F(Cli, ARunOfSeveralFilesEndsWithItsCount) {
  makeFolder(dir.file("tree"));
  writeFile(dir.file("tree/a.mld"), workedMelody);
  writeFile(dir.file("tree/b.mmf"), workedSmaf);
  writeFile(dir.file("tune.mld"), workedMelody);
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  const std::string notMelody = "sorbelin: notes.txt: not an i-melody or SMAF file; nothing written\n";
  struct Case {
    const char *lang;
    std::vector<std::string> args;
    std::string errEnd;  // how stderr ends
  } cases[] = {
      {"C.UTF-8", {"-d", "out", "tune.mld", "notes.txt", "gone.mld"}, "sorbelin: 1 converted, 2 failed\n"},
      {"C.UTF-8", {"-r", "-d", "out", "tree"}, "sorbelin: 2 converted, 0 failed\n"},
      {"ja_JP.UTF-8", {"-d", "out", "tune.mld", "notes.txt"}, "sorbelin: 変換 1 件、失敗 1 件\n"},
      {"C.UTF-8", {"-d", "out", "tune.mld"}, ""},
      {"C.UTF-8", {"-q", "-d", "out", "tune.mld", "notes.txt"}, notMelody},
      {"C.UTF-8", {"-I", "tune.mld", "notes.txt"}, ""},
      {"C.UTF-8", {"-T", "tune.mld", "tree/a.mld"}, ""},
  };
  for (const Case &c : cases) {
    std::vector<std::string> command = {"env", std::string("LANG=") + c.lang, SORBELIN_BINARY};
    command.insert(command.end(), c.args.begin(), c.args.end());
    Outcome run = runProgram(dir.path, command);
    ASSERT_GE(run.err.size(), c.errEnd.size()) << c.args[0] << " " << c.args.back();
    EXPECT_EQ(run.err.substr(run.err.size() - c.errEnd.size()), c.errEnd) << run.err;
    if (c.errEnd.empty()) {
      EXPECT_EQ(run.err.find(" converted, "), std::string::npos) << run.err;
    }
  }
}
