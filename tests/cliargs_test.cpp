#include <gtest/gtest.h>

#include "shell/cli/cliargs.h"
#include "shell/cli/prompt.h"

TEST(ChannelList, ReadsChannelsRangesAndNone) {
  struct Case {
    const char *text;
    int ok;
    uint16_t mask;
  } cases[] = {
      {"1", 1, 0x0001},     {"16", 1, 0x8000},  {"1,3,9-12", 1, 0x0F05}, {"none", 1, 0},
      {"1-16", 1, 0xFFFF},  {"3,3", 1, 0x0004}, {"5-5", 1, 0x0010},      {"0", 0, 0},
      {"17", 0, 0},         {"", 0, 0},         {"1,", 0, 0},            {",1", 0, 0},
      {"1,,2", 0, 0},       {"4-2", 0, 0},      {"1-", 0, 0},            {"a", 0, 0},
      {" 1", 0, 0},         {"1 ", 0, 0},       {"NONE", 0, 0},          {"-1", 0, 0},
      {"0001", 0, 0},       {"1-2-3", 0, 0},
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
      {{"--in-place", "a", "--", "-b"}, 1, ""},
      {{"--help"}, 1, ""},
      {{"--version"}, 1, ""},
      {{"-o", "out.mld"}, 0, "no input file"},
      {{"in.mld", "-q"}, 0, "say where to write"},
      {{"-o", "x", "a", "b"}, 0, "-o takes one input"},
      {{"-o", "x", "-d", "y", "a"}, 0, "choose one of"},
      {{"-o"}, 0, "option '-o' needs a value"},
      {{"--vib", "0", "-o", "x", "a"}, 0, "bad channel list '0'"},
      {{"--bogus", "a"}, 0, "unknown option '--bogus'"},
      {{"-", "a"}, 0, "unknown option '-'"},
      {{"--quiet=yes", "a"}, 0, "option '--quiet=yes' takes no value"},
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
  EXPECT_EQ(request.quiet, 1);
  EXPECT_EQ(request.outputMode, OUTPUT_FOLDER);
  EXPECT_STREQ(request.output, "out");
  ASSERT_EQ(request.inputs.size(), 2u);
  EXPECT_STREQ(request.inputs[1], "-b.mld");
}

TEST(PathParts, FileNameAndExtension) {
  struct Case {
    const char *path, *name, *extension;
  } cases[] = {
      {"/a/b/song.mld", "song.mld", ".mld"}, {"song", "song", ""},      {"dir.v2/song", "song", ""},
      {"a/..", "..", ""},                     {".", ".", ""},            {"x.tar.mmf", "x.tar.mmf", ".mmf"},
      {"dir/", "", ""},
  };
  for (const Case &c : cases) {
    std::string path = c.path;
    EXPECT_EQ(path.substr(fileNameStart(path)), c.name) << c.path;
    EXPECT_EQ(path.substr(extensionStart(path)), c.extension) << c.path;
  }
}
