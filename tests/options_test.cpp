#include <gtest/gtest.h>

#include <cstring>

#include "resources/texts.h"
#include "shell/options.h"
#include "shell/report/resultmessage.h"
#include "tests/testing.h"

namespace {

std::vector<std::string> split(const std::string &text, int maximum = 8) {
  char table[9][256];
  std::memset(table, 0x7E, sizeof table);  // not zero: shows what is written
  int count = splitCommandLine(text.c_str(), table, maximum);
  std::vector<std::string> arguments(table, table + count);
  EXPECT_EQ(table[count][0], 0x7E) << "a slot beyond the count was written: " << text;
  return arguments;
}

using Args = std::vector<std::string>;

}  // namespace

TEST(SplitCommandLine, ProgramsOwnQuotingAndSpaceRules) {
  const std::string q = "\"";
  struct Case {
    std::string text;
    Args expected;
  } cases[] = {
      {"in.mld /vc:3 /lc:5 /sv:out.mld /end", {"in.mld", "/vc:3", "/lc:5", "/sv:out.mld", "/end"}},
      {"C:\\My Music\\tune.mld /vc:3", {"C:\\My Music\\tune.mld", "/vc:3"}},
      {"C:\\My Music\\tune.mld D:\\out.mld", {"C:\\My Music\\tune.mld", "D:\\out.mld"}},
      {"in.mld out.mld", {"in.mld out.mld"}},
      {"in.mld  /vc:3", {"in.mld  /vc:3"}},
      {"in.mld ", {"in.mld "}},
      {"in.mld   ", {"in.mld   "}},
      {"/sv:C:\\My Music\\out.mld in.mld", {"/sv:C:\\My", "Music\\out.mld in.mld"}},
      {q + "/sv:C:\\My Out\\x.mld" + q, {"/sv:C:\\My Out\\x.mld"}},
      {q + "/sv:C:\\My Out\\x.mld" + q + " /end", {"/sv:C:\\My Out\\x.mld", "/end"}},
      {"a.mld " + q + "b.mld" + q, {"b.mld"}},
      {q + "unterminated quote /vc:3", {"unterminated quote /vc:3"}},
      {"\\\\srv\\s\\a.mld \\\\srv\\b.mld", {"\\\\srv\\s\\a.mld", "\\\\srv\\b.mld"}},
      {"/a /b /c /d /e /f /g /h /i /j", {"/a", "/b", "/c", "/d", "/e", "/f", "/g", "/h"}},
      {"/a  /b", {"/a", "/b"}},
      {"x", {"x"}},
      {"", {}},
      // Left open by the rules, decided here: an empty quoted argument is
      // skipped, and text right after a closing quote starts a new argument.
      {q + q + " in.mld", {"in.mld"}},
      {q + "a b" + q + "c", {"a b", "c"}},
  };
  for (const Case &c : cases) EXPECT_EQ(split(c.text), c.expected) << c.text;
}

TEST(SplitCommandLine, CutsLongArgumentsAndStopsAtTheMaximum) {
  Args long300 = split(std::string(300, 'a') + " /vc:3");
  ASSERT_EQ(long300.size(), 2u);
  EXPECT_EQ(long300[0], std::string(255, 'a'));
  EXPECT_EQ(long300[1], "/vc:3");
  char table[4][256];
  bool cut[4] = {false, true, false, true};
  std::string text = "/" + std::string(256, 'a') + " " + std::string(255, 'b') + " /" + std::string(300, 'c');
  ASSERT_EQ(splitCommandLine(text.c_str(), table, 3, cut), 3);
  EXPECT_EQ(std::vector<bool>(cut, cut + 4), (std::vector<bool>{true, false, true, true}));
  EXPECT_EQ(std::string(table[1]), std::string(255, 'b'));
  EXPECT_EQ(std::string(table[2]), "/" + std::string(254, 'c'));
  EXPECT_EQ(split("/a /b /c", 2), (Args{"/a", "/b"}));
  EXPECT_EQ(split("/a /b", 0), Args{});
}

TEST(ReadOptions, SetsMasksPathsAndFlag) {
  struct Case {
    const char *text;
    uint16_t vibMask, ledMask;
    const char *input, *output;
    int exitAfter;
  } cases[] = {
      {"", 1, 1, "", "", 0},
      {"in.mld /vc:3 /lc:5 /sv:out.mld /end", 3, 5, "in.mld", "out.mld", 1},
      {"C:\\My Music\\tune.mld D:\\out.mld", 1, 1, "C:\\My Music\\tune.mld", "", 0},
      {"/sv:C:\\My Music\\out.mld in.mld", 1, 1, "Music\\out.mld in.mld", "C:\\My", 0},
      {"/vc:300 /lc:256", 44, 0, "", "", 0},
      {"/vc: /lc:12abc", 0, 12, "", "", 0},
      {"/vc:1234567", 57, 1, "", "", 0},
      {"/vc:3 /vc:4", 4, 1, "", "", 0},
      {"/sv: /sv:x.mld /sv:y.mld", 1, 1, "", "x.mld", 0},
      {"/VC:3 /home/x.mld /endless", 1, 1, "", "", 1},
      {"a.mld /x b.mld", 1, 1, "a.mld", "", 0},
  };
  for (const Case &c : cases) {
    std::strcpy(inputPath, "stale");
    std::strcpy(outputPath, "stale");
    exitAfterConvert = 7;
    readOptions(c.text);
    EXPECT_EQ(conversionSettings.vibMask, c.vibMask) << c.text;
    EXPECT_EQ(conversionSettings.ledMask, c.ledMask) << c.text;
    EXPECT_STREQ(inputPath, c.input) << c.text;
    EXPECT_STREQ(outputPath, c.output) << c.text;
    EXPECT_EQ(exitAfterConvert, c.exitAfter) << c.text;
  }
}

// A path cut to fit its slot would name another file: nothing is converted.
TEST(ReadOptions, PathTooLongForItsSlotConvertsNothing) {
  const std::string q = "\"", a255(255, 'a'), b251(251, 'b');
  struct Case {
    std::string text;
    int whole;
    std::string input, output;
  } cases[] = {
      {a255 + " /sv:out.mld /end", 1, a255, "out.mld"},
      {a255 + "a /sv:out.mld /end", 0, "", ""},
      {q + "/sv:" + b251 + q + " in.mld", 1, "in.mld", b251},
      {q + "/sv:" + b251 + "b" + q + " in.mld /end", 0, "", ""},
      {"in.mld /sv:C:\\" + std::string(260, 'c'), 0, "", ""},
      {"in.mld D:\\" + std::string(300, 'd') + " /sv:out.mld", 1, "in.mld", "out.mld"},
      {"in.mld /vc:3" + std::string(300, '0') + " /sv:out.mld", 1, "in.mld", "out.mld"},
      {"in.mld /sv:out.mld /sv:" + std::string(300, 'e'), 1, "in.mld", "out.mld"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(readOptions(c.text.c_str()), c.whole) << c.text;
    EXPECT_EQ(inputPath, c.input) << c.text;
    EXPECT_EQ(outputPath, c.output) << c.text;
  }
  readOptions((a255 + "a /vc:3 /lc:5 /sv:out.mld /end").c_str());
  EXPECT_EQ(exitAfterConvert, 1);
  EXPECT_EQ(conversionSettings.vibMask, 3);
}

TEST(ResultMessage, RowsChosenByReportAndLedChannel) {
  struct Case {
    int kind, version, ledChannel;
    const char *expected;
  } cases[] = {
      {FORMAT_IMELODY, 2, 1, textResultImelodyV2Led},
      {FORMAT_IMELODY, 2, 0, textResultImelodyV2},
      {FORMAT_IMELODY, 3, 0, textResultImelodyV3},
      {FORMAT_IMELODY, 3, 5, textResultImelodyV3},
      {FORMAT_SMAF, 2, 0, textResultSmaf16},
      {FORMAT_SMAF, 3, 16, textResultSmaf40},
      {FORMAT_IMELODY, 1, 1, nullptr},
      {FORMAT_IMELODY, 4, 1, nullptr},
      {FORMAT_SMAF, 1, 1, nullptr},
      {FORMAT_NONE, 2, 1, nullptr},
  };
  for (const Case &c : cases) {
    const Message *message = resultText(c.kind, c.version, uint8_t(c.ledChannel));
    EXPECT_EQ(message ? message->japanese : nullptr, c.expected) << c.kind << " " << c.version;
  }
  EXPECT_STREQ(textResultImelodyV2Led, "次の機種で連動できます。\n\nN210i/N503i/N504i");
}
