// Titles in Shift-JIS read the same in every build, as phones read them: the
// project's own table of code page 932, which gives what the GNU C library's
// iconv gives for CP932.
#include <gtest/gtest.h>

#include <string>

#ifdef __GLIBC__
#include <iconv.h>
#endif

#include "shell/report/textdecode.h"
#include "tests/testing.h"

namespace {

std::string shiftJis(const Bytes &bytes) { return decodeText(bytes.data(), bytes.size(), TEXT_SHIFT_JIS); }

const std::string replacement = "\xEF\xBF\xBD";

}  // namespace

TEST(TextDecode, ShiftJisCodesAndWhatIsNone) {
  struct Case {
    const char *name;
    Bytes bytes;
    std::string text;
  } cases[] = {
      {"katakana", hex("83 81 83 8D 83 66 83 42"), "メロディ"},
      {"first and last kanji", hex("88 9F EA A4"), "亜熙"},
      {"full-width reverse solidus", hex("81 5F"), "＼"},
      {"full-width tilde where JIS has the wave dash", hex("81 60"), "～"},
      {"half-width katakana and ASCII", hex("B6 C5 41"), "ｶﾅA"},
      {"a row that names nothing", hex("EB 40 EF 40"), replacement + "@" + replacement + "@"},
      {"NEC-selected IBM extensions", hex("ED 40 EE FC"), "纊＂"},
      {"NEC circled numbers", hex("87 40 87 53"), "①⑳"},
      {"NEC Roman numerals and symbols", hex("87 54 87 90"), "Ⅰ≒"},
      {"IBM extensions, first and last", hex("FA 40 FC 4B"), "ⅰ黑"},
      {"past the last IBM extension", hex("FC 4C"), replacement + "L"},
      {"user-defined area", hex("F0 40"), "\xEE\x80\x80"},
      {"trail byte out of range", hex("81 20 81 FD"), replacement + " " + replacement + replacement},
      {"lead byte at the end", hex("41 81"), "A" + replacement},
  };
  for (const Case &c : cases) EXPECT_EQ(shiftJis(c.bytes), c.text) << c.name;
}

#ifdef __GLIBC__
// Every pair of bytes from a lead byte on: where the C library's CP932 reads
// a character, the table reads the same; where it reads none, neither does
// the table.
TEST(TextDecode, ShiftJisTableAgreesWithTheCLibrary) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == iconv_t(-1)) GTEST_SKIP() << "the C library has no CP932";
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0; trail <= 0xFF; ++trail) {
      char in[2] = {char(lead), char(trail)}, buffer[8];
      char *from = in, *to = buffer;
      size_t inLeft = 2, outLeft = sizeof buffer;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      bool read = iconv(cd, &from, &inLeft, &to, &outLeft) != size_t(-1) && inLeft == 0;
      std::string ours = shiftJis({uint8_t(lead), uint8_t(trail)});
      if (read)
        EXPECT_EQ(ours, std::string(buffer, to)) << std::hex << lead << ' ' << trail;
      else
        EXPECT_EQ(ours.substr(0, 3), replacement) << std::hex << lead << ' ' << trail;
    }
  }
  iconv_close(cd);
}
#endif
