// What each channel plays, on the command line, the program run as a
// process on melodies whose parts the tests wrote: the roles beside each
// channel in --info and --timeline, and the marks of short notes in the
// strips.
#include <gtest/gtest.h>

#include "tests/partimages.h"
#include "tests/run.h"

namespace {

// A tune on 5, a bass on 6, drums on 10 and a held pad on 1.
const Piece band = pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}, {PART_PAD, 1}}, {4, 480, 72, 1});

// The program in the language of `lang` (a locale's name).
Outcome runIn(const std::string &folder, const char *lang, std::vector<std::string> args) {
  std::vector<std::string> command = {"env", "-u", "LC_ALL", "-u", "LC_MESSAGES", std::string("LANG=") + lang,
                                      SORBELIN_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  return runProgram(folder, command);
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
    if (row.compare(0, label.size(), label) == 0) return row.substr(row.find('|') + 1, row.rfind('|') - row.find('|') - 1);
  return "?";
}

class SuggestCli : public ::testing::Test {
 protected:
  TempDir dir;
};

}  // namespace

// --info and --timeline name each channel's role beside its number, in the
// user's language; --info --json gains the roles in English.
TEST_F(SuggestCli, InfoAndTimelineNameEachChannelsRole) {
  writeFile(dir.file("band.mmf"), smaf(mobileScoreTrack(band)));
  struct Case {
    const char *lang;
    std::vector<std::string> args;
    std::vector<std::string> shown;
  } cases[] = {
      {"C.UTF-8", {"--info", "band.mmf"},
       {"  notes    ch  1 chords #", "           ch  5 melody #", "           ch  6 bass   #", "           ch 10 drums  #"}},
      {"ja_JP.UTF-8", {"--info", "band.mmf"}, {"  notes    ch  1 和音     #", "           ch  6 ベース   #"}},
      {"ja_JP.UTF-8", {"--info", "--json", "band.mmf"},
       {"\"notes\":{\"1\":12,\"5\":", "},\"roles\":{\"1\":\"chords\",\"5\":\"melody\",\"6\":\"bass\",\"10\":\"drums\"},"}},
      {"C.UTF-8", {"--timeline", "--vib", "6", "--led", "5", "band.mmf"},
       {"  ch  1 chords     |", "  ch  5 melody   L |", "  ch  6 bass   V   |", "  ch 10 drums      |"}},
      {"ja_JP.UTF-8", {"-T", "--vib", "6", "--led", "5", "band.mmf"},
       {"  ch  5 メロディ   L |", "  ch  6 ベース   V   |"}},
  };
  for (const Case &c : cases) {
    Outcome run = runIn(dir.path, c.lang, c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string &shown : c.shown) EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
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
