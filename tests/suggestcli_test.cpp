// The suggestion on the command line, the program run as a process on
// melodies whose parts the tests wrote: --suggest, the channel choice auto,
// the roles beside each channel in --info and --timeline, the marks of short
// notes in the strips, and the warnings where the phone will disappoint.
#include <gtest/gtest.h>

#include "resources/messages.h"
#include "tests/partimages.h"
#include "tests/run.h"

namespace {

// A tune on 5, a bass on 6, drums on 10 and a held pad on 1.
const Piece band = pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}, {PART_PAD, 1}}, {4, 480, 72, 1});
// An arpeggio on 2, a tune on 3, a bass on 9 and drums on 12, in another key.
const Piece moved = pieceOf({{PART_ARPEGGIO, 2}, {PART_LEAD, 3}, {PART_BASS, 9}, {PART_DRUMS, 12}}, {4, 400, 67, 7});

// The program in the language of `lang` (a locale's name).
Outcome runIn(const std::string &folder, const char *lang, std::vector<std::string> args) {
  std::vector<std::string> command = {"env",          "-u", "LC_ALL", "-u", "LC_MESSAGES", std::string("LANG=") + lang,
                                      SORBELIN_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  return runProgram(folder, command);
}

// The channels of the JSON array `key` in a line of --suggest --json, as a
// channel list: [1,6] gives "1,6", [] "none".
std::string listOf(const std::string &line, const std::string &key) {
  size_t from = line.find("\"" + key + "\":[");
  if (from == std::string::npos) return "?";
  from += key.size() + 4;
  std::string list = line.substr(from, line.find(']', from) - from);
  return list.empty() ? "none" : list;
}

// The lines of a text, each with its line end.
std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  for (size_t from = 0, end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
    lines.push_back(text.substr(from, end - from + 1));
  return lines;
}

// The strip of the row whose label begins with `label`, between its borders.
std::string stripOf(const std::string &text, const std::string &label) {
  for (const std::string &row : linesOf(text))
    if (row.compare(0, label.size(), label) == 0)
      return row.substr(row.find('|') + 1, row.rfind('|') - row.find('|') - 1);
  return "?";
}

class SuggestCli : public ::testing::Test {
 protected:
  TempDir dir;
};

}  // namespace

// --suggest reports each file, writes nothing and exits as --info does;
// JSON keeps its keys and roles in English and gives the reasons in the
// user's language; -r and "-" find files as they do for --info.
TEST_F(SuggestCli, SuggestReportsEachFileAndWritesNothing) {
  makeFolder(dir.file("tree"));
  writeFile(dir.file("band.mld"), melodyOf(band));
  writeFile(dir.file("tree/band.mmf"), smaf(mobileScoreTrack(band)));
  writeFile(dir.file("tree/moved.mld"), melodyOf(moved));
  writeFile(dir.file("notes.txt"), ascii("a shopping list"));
  const std::string bassReason = "the bass line pulses about twice a second, easy to feel";
  struct Case {
    const char *lang;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> starts;  // of the lines of stdout, in order
  } cases[] = {
      {"C.UTF-8",
       {"--suggest", "band.mld"},
       0,
       {"band.mld\n", "  vibration 6 (bass): " + bassReason + "\n", "  LED       5 (melody): ", "  ch  1 chords ",
        "  ch  5 melody ", "  ch  6 bass ", "  ch 10 drums "}},
      {"ja_JP.UTF-8", {"-S", "band.mld"}, 0, {"band.mld\n", "  バイブ    6 (ベース): ", "  LED       5 (メロディ): "}},
      {"C.UTF-8",
       {"-S", "--json", "tree/band.mmf", "notes.txt", "gone.mld"},
       1,
       {"{\"path\":\"tree/band.mmf\",\"format\":\"SMAF\",\"error\":null,\"allTracks\":false,\"vibration\":[6],"
        "\"led\":[5],\"reasons\":{\"vibration\":\"" +
            bassReason + "\",",
        "{\"path\":\"notes.txt\",\"format\":null,\"error\":\"not an i-melody or SMAF file\",",
        "{\"path\":\"gone.mld\",\"format\":null,\"error\":\"cannot read: No such file or directory\","}},
      {"ja_JP.UTF-8",
       {"-S", "--json", "--all-tracks", "band.mld"},
       0,
       {"{\"path\":\"band.mld\",\"format\":\"i-melody\",\"error\":null,\"allTracks\":true,\"vibration\":[6],"
        "\"led\":[5],\"reasons\":{\"vibration\":\"ベースに合わせて"}},
      {"C.UTF-8",
       {"-S", "-r", "tree"},
       0,
       {"tree/band.mmf\n", "  vibration 6 (bass)", "\n", "tree/moved.mld\n", "  vibration 9 (bass)",
        "  LED       3 (melody)"}},
  };
  for (const Case &c : cases) {
    Outcome run = runIn(dir.path, c.lang, c.args);
    EXPECT_EQ(run.status, c.status) << c.args.back() << ": " << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines = linesOf(run.out);
    size_t at = 0;
    for (const std::string &start : c.starts) {
      while (at < lines.size() && lines[at].compare(0, start.size(), start) != 0) ++at;
      EXPECT_LT(at, lines.size()) << start << "\n" << run.out;
    }
  }
  Outcome piped = runScript(dir.path, "cat band.mld | \"$0\" -S --json -");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.out.rfind("{\"path\":\"standard input\",\"format\":\"i-melody\",", 0), 0u) << piped.out;
  Outcome refused = runSorbelin(dir.path, {"-S", "-o", "out.mld", "band.mld"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "sorbelin: --suggest writes nothing: it takes no -o, -d or --in-place\n");
  EXPECT_EQ(listFolder(dir.path).size(), 3u);
}

// auto links in each file exactly what --suggest names for it: the same
// bytes as the channels listed, with the roles on the line after it and no
// reason of a file that holds less; where the file can carry nothing, the
// line says why. Mixed with channel numbers it is a usage error.
TEST_F(SuggestCli, AutoLinksExactlyWhatSuggestNames) {
  Bytes later = mobileScoreTrack(band, 1u << 9);
  later[3] = 0x06;  // score track 6
  struct Case {
    const char *name;
    Bytes image;
    bool allTracks;
    std::string line;  // after "auto-NAME: "
  } cases[] = {
      {"v3.mld", melodyOf(band), false, "vibration 6 (suggested: bass), LED 5 (suggested: melody)"},
      {"v2.mld", melodyOf(moved, '2'), false, "vibration 9 (suggested: bass), LED 3 (suggested: melody)"},
      {"tag.mmf", smaf(cnti({}) + mobileScoreTrack(band, 1u << 9)), false,
       "vibration 6 (suggested: bass), LED 5 (suggested: melody)"},
      {"six.mmf", smaf(later), true, "vibration 6 (suggested: bass), LED 5 (suggested: melody)"},
      {"six.mmf", smaf(later), false,
       "vibration none, LED none (both: this file holds links only in score tracks 6 and 7; --all-tracks links them)"},
      {"v1.mld", melodyOf(band, '1'), false, "vibration none, LED none (both: i-melody version 1 holds no links)"},
      {"silent.mmf", smaf(mobileScoreTrack({{}, 1000})), false,
       "vibration none, LED none (both: the melody has no notes to follow)"},
  };
  for (const Case &c : cases) {
    writeFile(dir.file(c.name), c.image);
    std::vector<std::string> all = c.allTracks ? std::vector<std::string>{"--all-tracks"} : std::vector<std::string>{};
    std::vector<std::string> suggest = {"-S", "--json", c.name},
                             autoRun = {"-v", "auto", "-l", "auto", "-o", std::string("auto-") + c.name, c.name};
    suggest.insert(suggest.begin(), all.begin(), all.end());
    autoRun.insert(autoRun.begin(), all.begin(), all.end());
    std::string json = runSorbelin(dir.path, suggest).out;
    std::vector<std::string> listed = {
        "-q",  "-v", listOf(json, "vibration"), "-l", listOf(json, "led"), "-o", std::string("listed-") + c.name,
        c.name};
    listed.insert(listed.begin(), all.begin(), all.end());
    Outcome converted = runSorbelin(dir.path, autoRun);
    EXPECT_EQ(converted.status, 0) << c.name << ": " << converted.err;
    EXPECT_EQ(runSorbelin(dir.path, listed).status, 0) << c.name;
    EXPECT_EQ(readFile(dir.file(std::string("auto-") + c.name)), readFile(dir.file(std::string("listed-") + c.name)))
        << c.name;
    std::vector<std::string> lines = linesOf(converted.out);
    ASSERT_FALSE(lines.empty()) << c.name;
    EXPECT_EQ(lines.back(), std::string("auto-") + c.name + ": " + c.line + "\n") << c.name << "\n" << converted.out;
  }
  // Each file of a run gets its own suggestion.
  writeFile(dir.file("moved.mld"), melodyOf(moved));
  Outcome run = runSorbelin(dir.path, {"--vib", "auto", "--led", "auto", "-d", "out", "v3.mld", "moved.mld"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("out/v3.mld: vibration 6 (suggested: bass), LED 5 (suggested: melody)\n"), std::string::npos);
  EXPECT_NE(run.out.find("out/moved.mld: vibration 9 (suggested: bass), LED 3 (suggested: melody)\n"),
            std::string::npos)
      << run.out;
  Outcome mixed = runSorbelin(dir.path, {"--vib", "auto,3", "-o", "mixed.mld", "v3.mld"});
  EXPECT_EQ(mixed.status, 2);
  EXPECT_EQ(mixed.err, "sorbelin: bad channel list 'auto,3': auto stands alone, with nothing beside it\n");
  EXPECT_FALSE(fileExists(dir.file("mixed.mld")));
}

// --info and --timeline name each channel's role beside its number, in the
// user's language; --info --json gains the roles in English.
TEST_F(SuggestCli, InfoAndTimelineNameEachChannelsRole) {
  writeFile(dir.file("band.mmf"), smaf(mobileScoreTrack(band)));
  struct Case {
    const char *lang;
    std::vector<std::string> args;
    std::vector<std::string> shown;
  } cases[] = {
      {"C.UTF-8",
       {"--info", "band.mmf"},
       {"  notes    ch  1 chords #", "           ch  5 melody #", "           ch  6 bass   #",
        "           ch 10 drums  #"}},
      {"ja_JP.UTF-8", {"--info", "band.mmf"}, {"  notes    ch  1 和音     #", "           ch  6 ベース   #"}},
      {"ja_JP.UTF-8",
       {"--info", "--json", "band.mmf"},
       {"\"notes\":{\"1\":12,\"5\":",
        "},\"roles\":{\"1\":\"chords\",\"5\":\"melody\",\"6\":\"bass\",\"10\":\"drums\"},"}},
      {"C.UTF-8",
       {"--timeline", "--vib", "6", "--led", "5", "band.mmf"},
       {"  ch  1 chords     |", "  ch  5 melody   L |", "  ch  6 bass   V   |", "  ch 10 drums      |"}},
      {"ja_JP.UTF-8",
       {"-T", "--vib", "auto", "--led", "auto", "band.mmf"},
       {"  ch  5 メロディ   L |", "  ch  6 ベース   V   |"}},
  };
  for (const Case &c : cases) {
    Outcome run = runIn(dir.path, c.lang, c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string &shown : c.shown)
      EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
  }
}

// A column in which short notes begin is marked, so that drums of 20 ms
// ticks over three minutes show their beats in every column, where the
// share of the time they sound would draw the lowest step; a held pad
// fills its columns.
TEST_F(SuggestCli, DrumsShowTheirBeatsInTheStrips) {
  writeFile(dir.file("long.mld"), melodyOf(pieceOf({{PART_PAD, 1}, {PART_DRUMS, 10}}, {100, 480, 72, 3})));
  for (const char *locale : {"C", "C.UTF-8"}) {
    Outcome run = runProgram(dir.path, {"env", std::string("LC_ALL=") + locale, SORBELIN_BINARY, "-T", "--width", "64",
                                        "--vib", "none", "--led", "none", "long.mld"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string mark = locale[1] ? "\u258C" : "!", full = locale[1] ? "\u2588" : "#";
    std::string drums = stripOf(run.out, "  ch 10"), pad = stripOf(run.out, "  ch  1");
    std::string marks, fills;
    for (int k = 0; k < 43; ++k) marks += mark, fills += full;  // 64 columns less the label and borders
    EXPECT_EQ(drums, marks) << run.out;
    EXPECT_EQ(pad, fills) << run.out;
  }
}

// After a conversion, and in --timeline on standard error, one line after
// what the file carries says where the phone will disappoint: a linked
// channel that never plays, pulses too short to feel, a vibrator that runs
// almost all the time; in the user's language, and not with -q.
TEST_F(SuggestCli, WarnsWhereThePhoneWillDisappoint) {
  writeFile(dir.file("band.mld"), melodyOf(band));
  const std::string models = std::string(msgResultImelodyV3.english) + "\n";
  struct Case {
    const char *lang;
    std::vector<std::string> args;
    std::string out, err;
  } cases[] = {
      {"C.UTF-8",
       {"--vib", "16", "--led", "5", "-o", "a.mld", "band.mld"},
       models + "a.mld: vibration 16, LED 5\n"
                "a.mld: warning: channel 16 never plays: the vibrator will not run\n",
       ""},
      {"ja_JP.UTF-8",
       {"--vib", "16", "--led", "5", "-o", "a.mld", "band.mld"},
       std::string(msgResultImelodyV3.japanese) +
           "\na.mld: バイブ 16、LED 5\n"
           "a.mld: 注意: チャンネル 16 は一度も鳴らないので、バイブは動きません\n",
       ""},
      {"C.UTF-8",
       {"--vib", "10", "--led", "5", "-o", "b.mld", "band.mld"},
       models + "b.mld: vibration 10, LED 5\n"
                "b.mld: warning: the vibration pulses are too short to feel\n",
       ""},
      {"ja_JP.UTF-8",
       {"--vib", "1", "--led", "5", "-o", "c.mld", "band.mld"},
       std::string(msgResultImelodyV3.japanese) +
           "\nc.mld: バイブ 1、LED 5\nc.mld: 注意: バイブがほとんど鳴りっぱなしです\n",
       ""},
      {"C.UTF-8",
       {"--vib", "1,16", "--led", "3-4", "-o", "d.mld", "band.mld"},
       models + "d.mld: vibration 1,16, LED 3-4\n"
                "d.mld: warning: channel 16 never plays: the vibrator will not follow it; channels 3-4 never play: the "
                "LED will "
                "not light; the vibrator runs almost all the time\n",
       ""},
      {"C.UTF-8", {"-q", "--vib", "16", "--led", "3", "-o", "e.mld", "band.mld"}, "", ""},
      {"C.UTF-8",
       {"-T", "--vib", "10", "--led", "5", "band.mld"},
       "",
       "band.mld: warning: the vibration pulses are too short to feel\n"},
      {"ja_JP.UTF-8",
       {"-T", "--vib", "6", "--led", "16", "band.mld"},
       "",
       "band.mld: 注意: チャンネル 16 は一度も鳴らないので、LED は光りません\n"},
      {"C.UTF-8", {"-qT", "--vib", "16", "band.mld"}, "", ""},
      {"C.UTF-8", {"-T", "--vib", "6", "--led", "5", "band.mld"}, "", ""},
  };
  for (const Case &c : cases) {
    Outcome run = runIn(dir.path, c.lang, c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    if (c.args[0].find('T') == std::string::npos) {
      EXPECT_EQ(run.out, c.out) << c.lang << " " << c.args[1];
    }
    EXPECT_EQ(run.err, c.err) << c.lang << " " << c.args[1];
  }
}
