#include <gtest/gtest.h>

#include "shell/cli/cliargs.h"
#include "shell/cli/language.h"
#include "shell/cli/paths.h"

TEST(ChannelList, ReadsChannelsRangesAndNone) {
  struct Case {
    const char *text;
    int ok;
    uint16_t mask;
  } cases[] = {
      {"1", 1, 0x0001},   {"16", 1, 0x8000},   {"1,3,9-12", 1, 0x0F05},
      {"none", 1, 0},     {"1-16", 1, 0xFFFF}, {"3,3", 1, 0x0004},
      {"5-5", 1, 0x0010}, {"0", 0, 0},         {"17", 0, 0},
      {"", 0, 0},         {"1,", 0, 0},        {",1", 0, 0},
      {"1,,2", 0, 0},     {"4-2", 0, 0},       {"1-", 0, 0},
      {"a", 0, 0},        {" 1", 0, 0},        {"1 ", 0, 0},
      {"NONE", 0, 0},     {"-1", 0, 0},        {"0001", 0, 0},
      {"1-2-3", 0, 0},
  };
  for (const Case &c : cases) {
    uint16_t mask = 0x1234;
    EXPECT_EQ(parseChannelList(c.text, &mask), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(mask, c.mask) << c.text;
    }
  }
}

TEST(CliArguments, AcceptsCompleteRequestsAndExplainsTheRest) {
  struct Case {
    std::vector<const char *> argv;
    int ok;
    const char *errorStart;
  } cases[] = {
      {{"-o", "out.mld", "in.mld"}, 1, ""},
      {{"--vib=2", "-l1", "-d", "dir", "a", "b"}, 1, ""},
      {{"--in-place", "-v2", "a", "--", "-b"}, 1, ""},
      {{"--help"}, 1, ""},
      {{"--version"}, 1, ""},
      {{"-o", "out.mld"}, 0, "no input file"},
      {{"in.mld", "-q"}, 0, "say where to write"},
      {{"-o", "x", "a", "b"}, 0, "-o takes one input"},
      {{"-o", "x", "-d", "y", "a"}, 0, "choose one of"},
      {{"-o"}, 0, "option '-o' needs a value"},
      {{"--vib", "0", "-o", "x", "a"}, 0, "bad channel list '0'"},
      {{"--bogus", "a"}, 0, "unknown option '--bogus'"},
      {{"--quiet=yes", "a"}, 0, "option '--quiet=yes' takes no value"},
      // Read by getopt_long: combined short options, '=' values, prefixes.
      {{"-qi", "-l1", "a"}, 1, ""},
      {{"-qo", "x", "a"}, 1, ""},
      {{"-qrd", "x", "a"}, 1, ""},
      {{"--vib=2", "--led=", "-o", "x", "a"}, 0, "bad channel list ''"},
      {{"--in-p", "--rec", "--vi", "1", "a"}, 1, ""},
      {{"--in", "a"}, 0, "--in: ambiguous (--in-place, --info)"},
      {{"--in=x", "a"}, 0, "--in: ambiguous (--in-place, --info)"},
      {{"-I", "--json", "-", "a"}, 1, ""},
      {{"--ver"}, 1, ""},
      {{"--v", "-i", "a"}, 0, "--v: ambiguous (--vib, --version)"},
      {{"-qx", "-i", "a"}, 0, "unknown option '-x'"},
      {{"-i", "a", "-qo"}, 0, "option '-o' needs a value"},
      {{"-i", "a", "--output"}, 0, "option '--output' needs a value"},
      {{"--version=2"}, 0, "option '--version=2' takes no value"},
      // "-" is standard input, which has no name to write under.
      {{"-", "-o", "-"}, 1, ""},
      {{"-", "a"}, 0, "say where to write"},
      {{"-d", "out", "-"}, 0, "standard input (-) has no name"},
      {{"-i", "a", "-"}, 0, "standard input (-) has no name"},
      {{"-r", "-o", "x", "folder"}, 0, "-r takes -d DIR or --in-place"},
      // A long option after one dash would be read as short ones (-v ib);
      // an option's value or an input after "--" may look so.
      {{"-vib", "2", "-o", "x", "a"}, 0, "unknown option '-vib' (did you mean --vib?)"},
      {{"-i", "-led=2", "a"}, 0, "unknown option '-led=2' (did you mean --led=2?)"},
      {{"-info", "a"}, 0, "unknown option '-info' (did you mean --info?)"},
      {{"-o", "-dir", "a"}, 1, ""},
      {{"-qo", "-json", "a"}, 1, ""},
      {{"--out", "-vib", "a"}, 1, ""},
      {{"--output=x", "-dir", "a"}, 0, "unknown option '-dir' (did you mean --dir?)"},
      {{"-i", "-vkeep", "a", "--", "-vib"}, 1, ""},
      {{"-vi", "-i", "a"}, 0, "bad channel list 'i'"},
      // An empty path names no place to write.
      {{"-d", "", "a"}, 0, "-d needs a path, not an empty one"},
      {{"--dir=", "a", "b"}, 0, "-d needs a path"},
      {{"-o", "", "a"}, 0, "-o needs a path"},
      {{"--output", "", "-"}, 0, "-o needs a path"},
      {{"-d", "/", "a"}, 1, ""},
      {{"--all", "-i", "-v1", "a"}, 1, ""},
      {{"--all-tracks=yes", "-i", "a"}, 0, "option '--all-tracks=yes' takes no value"},
      // Rewriting in place with channel 1 by default would lose the links
      // of a user who meant -I: the channels are named, or kept.
      {{"-i", "a"}, 0, "--in-place rewrites each file's links: name the channels"},
      {{"-qri", "--all-tracks", "a"}, 0, "--in-place rewrites each file's links"},
      {{"-i", "--led", "keep", "a"}, 1, ""},
      {{"-i", "--vib=none", "a"}, 1, ""},
      {{"-i", "--vib", "keep,2", "a"}, 0, "bad channel list 'keep,2'"},
      {{"-d", "out", "--led", "keep", "a"}, 1, ""},
      {{"-T", "--vib", "keep", "--led", "keep", "a"}, 1, ""},
      // --timeline writes nothing; its width is a number of columns.
      {{"-T", "-v2", "a", "b"}, 1, ""},
      {{"--timeline", "--json", "--width", "1000", "-"}, 1, ""},
      {{"--json", "a"}, 0, "--json goes with --info, --timeline or --suggest"},
      {{"--width=80", "a"}, 0, "--width goes with --timeline"},
      {{"-T", "--width=19", "a"}, 0, "bad width '19'"},
      {{"-T", "--width", "1001", "a"}, 0, "bad width '1001'"},
      {{"-T", "--width", "8o", "a"}, 0, "bad width '8o'"},
      {{"-T", "--width", "", "a"}, 0, "bad width ''"},
      {{"-T", "-I", "a"}, 0, "choose one of --info, --timeline and --suggest"},
      {{"-T", "-d", "x", "a"}, 0, "--timeline writes nothing"},
      // --suggest writes nothing either; auto and keep stand alone.
      {{"-S", "--json", "--all-tracks", "-r", "-", "a"}, 1, ""},
      {{"--sug", "-I", "a"}, 0, "choose one of --info, --timeline and --suggest"},
      {{"-S", "-i", "a"}, 0, "--suggest writes nothing: it takes no -o, -d or --in-place"},
      {{"-i", "--vib", "auto", "--led=auto", "a"}, 1, ""},
      {{"-T", "-vauto", "a"}, 1, ""},
      {{"-d", "out", "--vib", "auto,3", "a"},
       0,
       "bad channel list 'auto,3': auto stands alone, with nothing beside it"},
      {{"-d", "out", "--led", "2,auto", "a"}, 0, "bad channel list '2,auto': auto stands alone"},
      {{"-d", "out", "--led", "keep,auto", "a"}, 0, "bad channel list 'keep,auto': auto stands alone"},
      {{"-d", "out", "--led", "autos", "a"}, 0, "bad channel list 'autos': use channels 1-16"},
  };
  for (const Case &c : cases) {
    std::vector<char *> argv = {const_cast<char *>("sorbelin")};
    for (const char *a : c.argv) argv.push_back(const_cast<char *>(a));
    CliRequest request = {};
    char error[300] = "";
    EXPECT_EQ(parseCliArguments(int(argv.size()), argv.data(), &request, error, sizeof error), c.ok)
        << c.argv[0] << " " << error;
    EXPECT_EQ(std::string(error).rfind(c.errorStart, 0), 0u) << error;
  }
}

TEST(CliArguments, FillsTheRequest) {
  const char *args[] = {"sorbelin", "-v", "2,4", "--led", "none", "-q", "-d", "out", "a.mld", "--", "-b.mld"};
  CliRequest request = {};
  char error[300];
  ASSERT_EQ(parseCliArguments(11, const_cast<char **>(args), &request, error, sizeof error), 1);
  EXPECT_EQ(request.vibMask, 0x000A);
  EXPECT_EQ(request.ledMask, 0);
  EXPECT_EQ(request.vibSource, CHANNELS_LISTED);
  EXPECT_EQ(request.ledSource, CHANNELS_LISTED);
  EXPECT_EQ(request.quiet, 1);
  EXPECT_EQ(request.allTracks, 0);
  EXPECT_EQ(request.outputMode, OUTPUT_FOLDER);
  EXPECT_STREQ(request.output, "out");
  ASSERT_EQ(request.inputs.size(), 2u);
  EXPECT_STREQ(request.inputs[1], "-b.mld");
}

TEST(CliArguments, FillsATimelineRequest) {
  const char *args[] = {"sorbelin", "-Tv3", "--width", "0120", "a.mld"};
  CliRequest request = {};
  char error[300];
  ASSERT_EQ(parseCliArguments(5, const_cast<char **>(args), &request, error, sizeof error), 1) << error;
  EXPECT_EQ(request.timeline, 1);
  EXPECT_EQ(request.width, 120);
  EXPECT_EQ(request.vibMask, 0x0004);
  EXPECT_EQ(request.ledMask, 0x0001);
  EXPECT_EQ(request.ledSource, CHANNELS_DEFAULT);
  EXPECT_EQ(request.outputMode, OUTPUT_UNSET);
}

// In a cluster of short options, one that takes a value takes the rest.
TEST(CliArguments, CombinedShortOptionsFillTheRequest) {
  const char *combined[] = {"sorbelin", "-rqiv3", "a", "--led=2-4", "b", "--all-tracks"};
  CliRequest request = {};
  char error[300];
  ASSERT_EQ(parseCliArguments(6, const_cast<char **>(combined), &request, error, sizeof error), 1) << error;
  EXPECT_EQ(request.allTracks, 1);
  EXPECT_EQ(request.recursive, 1);
  EXPECT_EQ(request.quiet, 1);
  EXPECT_EQ(request.outputMode, OUTPUT_IN_PLACE);
  EXPECT_EQ(request.vibMask, 0x0004);
  EXPECT_EQ(request.ledMask, 0x000E);
  EXPECT_EQ(request.inputs, (std::vector<const char *>{combined[2], combined[4]}));
}

// Each argument of the own form is whole: one option or the input path.
TEST(OwnArguments, EachArgumentWhole) {
  const std::string longPath(300, 'p');
  struct Case {
    std::vector<std::string> argv;
    int ok;
    std::string input, output, error;
    uint16_t vibMask, ledMask;
  } cases[] = {
      {{longPath, "/sv:my out.mld", "/lc:300", "/vc:2"}, 1, longPath, "my out.mld", "", 2, 44},
      {{"/sv:", "/x", "in.mld", "/sv:a b", "/sv:c", "/endless"}, 1, "in.mld", "a b", "", 1, 1},
      {{"in.mld"}, 1, "in.mld", "", "", 1, 1},
      {{"/home/a.mld", "/sv:b.mld"}, 0, "", "", "no input file named", 1, 1},
  };
  for (const Case &c : cases) {
    std::vector<char *> argv = {const_cast<char *>("sorbelin")};
    for (const std::string &a : c.argv) argv.push_back(const_cast<char *>(a.c_str()));
    EXPECT_TRUE(isOwnForm(int(argv.size()), argv.data())) << c.argv[0];
    CliRequest request = {};
    char error[300] = "";
    ASSERT_EQ(parseOwnArguments(int(argv.size()), argv.data(), &request, error, sizeof error), c.ok) << error;
    EXPECT_EQ(std::string(error).rfind(c.error, 0), 0u) << error;
    if (!c.ok) continue;
    EXPECT_EQ(request.inputs, std::vector<const char *>{argv[1 + (c.argv[0][0] == '/' ? 2 : 0)]});
    EXPECT_EQ(request.output ? request.output : "", c.output) << c.argv[0];
    EXPECT_EQ(request.outputMode, OUTPUT_FILE);
    EXPECT_EQ(request.vibMask, c.vibMask) << c.argv[0];
    EXPECT_EQ(request.ledMask, c.ledMask) << c.argv[0];
  }
  const char *dash[] = {"sorbelin", "tune.mld", "-"};
  EXPECT_FALSE(isOwnForm(3, const_cast<char **>(dash)));
}

TEST(PathParts, FileNameAndExtension) {
  struct Case {
    const char *path, *name, *extension;
  } cases[] = {
      {"/a/b/song.mld", "song.mld", ".mld"},
      {"song", "song", ""},
      {"dir.v2/song", "song", ""},
      {"a/..", "..", ""},
      {".", ".", ""},
      {"x.tar.mmf", "x.tar.mmf", ".mmf"},
      {"dir/", "", ""},
  };
  for (const Case &c : cases) {
    std::string path = c.path;
    EXPECT_EQ(path.substr(fileNameStart(path)), c.name) << c.path;
    EXPECT_EQ(path.substr(extensionStart(path)), c.extension) << c.path;
  }
  for (const char *name : {"a.mld", "A.MLD", "dir.x/b.Mmf", ".mld"}) EXPECT_TRUE(isMelodyName(name)) << name;
  for (const char *name : {"a.mld.txt", "mld", "a.mid", "dir.mld/", "a.mldx"}) EXPECT_FALSE(isMelodyName(name)) << name;
  EXPECT_EQ(pathInside("out", "a/b.mld"), "out/a/b.mld");
  EXPECT_EQ(pathInside("out/", "b.mld"), "out/b.mld");
  EXPECT_EQ(pathInside("", "b.mld"), "b.mld");
}

TEST(UserLanguage, TheFirstLocaleVariableSetDecides) {
  struct Case {
    const char *lcAll, *lcMessages, *lang;
    Language language;
  } cases[] = {
      {nullptr, nullptr, nullptr, LANGUAGE_ENGLISH},
      {nullptr, nullptr, "ja_JP.UTF-8", LANGUAGE_JAPANESE},
      {nullptr, nullptr, "ja", LANGUAGE_JAPANESE},
      {"", "", "ja_JP.eucJP", LANGUAGE_JAPANESE},
      {nullptr, "ja_JP.UTF-8", "C.UTF-8", LANGUAGE_JAPANESE},
      {"C", "ja_JP.UTF-8", "ja_JP.UTF-8", LANGUAGE_ENGLISH},
      {"ja_JP@cjknarrow", nullptr, "en_US.UTF-8", LANGUAGE_JAPANESE},
      {nullptr, nullptr, "jam", LANGUAGE_ENGLISH},
      {nullptr, nullptr, "de_DE.UTF-8", LANGUAGE_ENGLISH},
  };
  for (const Case &c : cases)
    EXPECT_EQ(languageOf(c.lcAll, c.lcMessages, c.lang), c.language)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
}
