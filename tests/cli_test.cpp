// The native program run as a separate process on real files: exit status,
// stdout, stderr and the files it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

#include "resources/texts.h"
#include "tests/run.h"
#include "tests/testing.h"

namespace {

Bytes example(const char *name) { return readFile(std::string(SORBELIN_EXAMPLES) + "/" + name); }

const Bytes workedMelody = hex(
    "6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
    "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
// The old link event's delta time stays as a no-op event (07 FF DE 00).
const Bytes workedMelodyOut = hex(
    "6D 65 6C 6F 00 00 00 36 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
    "74 72 61 63 00 00 00 1F  00 FF FF 00 05 11 F2 04 60 00"
    "00 FF FF 00 05 11 F2 05 20 00  07 FF DE 00  00 12 34  00 FF DF 00");
const Bytes workedSmaf = hex(
    "4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05  41 3A 31 2C"
    "4C 32 3A 07 2C  4D 54 52 01 00 00 00 08  00 00 02 02  FF 00  12 34  65 60");
const Bytes workedSmafOut = hex(
    "4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05"
    "4C 32 3A 02 2C  41 3A 31 2C  4D 54 52 01 00 00 00 08 00 00 02 02  FB 40  12 34  E4 3F");

std::string line(const char *text) { return std::string(text) + "\n"; }

class Cli : public ::testing::Test {
 protected:
  TempDir dir;
};

}  // namespace

TEST_F(Cli, ConvertsWorkedExamplesInBothForms) {
  writeFile(dir.file("in.mld"), workedMelody);
  writeFile(dir.file("in.mmf"), workedSmaf);
  Outcome posix = runSorbelin(dir.path, {"--vib", "2", "--led", "1", "-o", "a.mld", "in.mld"});
  EXPECT_EQ(posix.status, 0) << posix.err;
  EXPECT_EQ(posix.out, line(textResultImelodyV2Led));
  EXPECT_EQ(readFile(dir.file("a.mld")), workedMelodyOut);

  Outcome own = runSorbelin(dir.path, {"in.mld", "/vc:2", "/lc:1", "/sv:b.mld", "/end"});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(readFile(dir.file("b.mld")), workedMelodyOut);

  Outcome smaf = runSorbelin(dir.path, {"in.mmf", "/vc:5", "/lc:4", "/sv:c.mmf"});
  EXPECT_EQ(smaf.status, 0) << smaf.err;
  EXPECT_EQ(smaf.out, line(textResultSmaf16));
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
      {"fanfare-v2.mld", {"--vib", "2", "--led", "1"}, line(textResultImelodyV2Led)},
      {"fanfare-v2.mld", {"--led", "none"}, line(textResultImelodyV2)},
      {"lullaby-v3.mld", {"--vib", "none", "--led", "none"}, line(textResultImelodyV3)},
      {"chime.mmf", {"-l", "3"}, line(textResultSmaf16)},
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
  for (const char *name : {"fanfare-v2.mld", "lullaby-v3.mld", "chime.mmf"})
    writeFile(dir.file(name), example(name));
  writeFile(dir.file("notes.txt"), ascii("shopping list"));
  writeFile(dir.file("broken.mld"), hex("6D 65 6C 6F 00 00 00 40"));
  Outcome run = runSorbelin(dir.path, {"-d", "out", "fanfare-v2.mld", "notes.txt", "broken.mld", "missing.mld",
                                   "lullaby-v3.mld", "chime.mmf"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "sorbelin: notes.txt: not an i-melody or SMAF file; nothing written\n"
            "sorbelin: broken.mld: malformed melody; nothing written\n"
            "sorbelin: missing.mld: cannot read: No such file or directory\n");
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
  Outcome run = runSorbelin(dir.path, {"--vib", "1,3", "--led", "3", "--in-place", "broken.mmf", "text.mld", "good.mmf"});
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
      {{"/tmp/in.mld", "/sv:out.mld"}, "sorbelin: no input file named"},
      {{"in.mld", "/vc:3"}, "sorbelin: an output path is needed"},
  };
  for (const Case &c : cases) {
    Outcome run = runSorbelin(dir.path, c.args);
    EXPECT_EQ(run.status, 2) << c.errStart;
    EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  Outcome help = runSorbelin(dir.path, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("examples:"), std::string::npos);
  EXPECT_EQ(runSorbelin(dir.path, {"--version"}).out, "sorbelin 1.40\n");
}

TEST_F(Cli, AsksForTheOutputPathOnATerminal) {
  writeFile(dir.file("song.mld"), workedMelody);
  writeFile(dir.file("taken.mld"), ascii("keep me"));
  // "out" gets the input's extension; "taken" exists: refused, then replaced.
  Outcome run = runSorbelin(dir.path, {"song.mld", "/vc:2"}, true, "out\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("proposed: song.mld"), std::string::npos) << run.err;
  EXPECT_EQ(readFile(dir.file("out.mld")), workedMelodyOut);

  run = runSorbelin(dir.path, {"song.mld", "/vc:2"}, true, "taken\nn\ntaken\ny\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("taken.mld already exists"), std::string::npos);
  EXPECT_EQ(readFile(dir.file("taken.mld")), workedMelodyOut);
}

TEST_F(Cli, EmptyAnswerOrEndOfInputCancels) {
  writeFile(dir.file("song"), workedMelody);
  for (const char *typed : {"\n", "\x04"}) {
    Outcome run = runSorbelin(dir.path, {"song"}, true, typed);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cancelled; nothing written"), std::string::npos);
    EXPECT_EQ(listFolder(dir.path).size(), 1u);
  }
  // Without an extension on the input, a typed name gets none.
  EXPECT_EQ(runSorbelin(dir.path, {"song"}, true, "plain\n").status, 0);
  EXPECT_TRUE(fileExists(dir.file("plain")));
}

// --info reads every file named, reports each in order and writes nothing;
// it exits with 1 when any file could not be read or recognised whole.
TEST_F(Cli, InfoReportsEachFileAndWritesNothing) {
  writeFile(dir.file("tune.mld"), example("fanfare-v2.mld"));
  writeFile(dir.file("bell.mmf"), example("chime.mmf"));
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  struct Case {
    std::vector<std::string> args;
    int status;
    std::vector<const char *> starts;  // the report's lines or JSON objects begin so, in order
  } cases[] = {
      {{"--info", "tune.mld", "bell.mmf"}, 0, {"tune.mld", "  format   i-melody version 2", "bell.mmf"}},
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
  EXPECT_EQ(listFolder(dir.path).size(), 3u);
  for (std::vector<std::string> args : {std::vector<std::string>{"--json", "tune.mld"},
                                        std::vector<std::string>{"--info", "-o", "x.mld", "tune.mld"}}) {
    Outcome run = runSorbelin(dir.path, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
  }
}
