// Titles in Shift-JIS read the same in every build: the project's own table
// of JIS X 0208, which gives what the GNU C library's iconv gives.
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
      {"wave dash", hex("81 60"), "〜"},
      {"half-width katakana and ASCII", hex("B6 C5 41"), "ｶﾅA"},
      {"lead byte past JIS X 0208", hex("EB 40"), replacement + "@"},
      {"NEC-selected IBM extension", hex("ED 40"), replacement + "@"},
      {"NEC special character", hex("87 40"), replacement + "@"},
      {"user-defined area", hex("F0 40"), replacement + "@"},
      {"trail byte out of range", hex("81 20 81 FD"), replacement + " " + replacement + replacement},
      {"lead byte at the end", hex("41 81"), "A" + replacement},
  };
  for (const Case &c : cases) EXPECT_EQ(shiftJis(c.bytes), c.text) << c.name;
}

#ifdef __GLIBC__
// Every pair of bytes from a lead byte on: where the C library's SJIS reads
// a character, the table reads the same; where it reads none, neither does
// the table.
TEST(TextDecode, ShiftJisTableAgreesWithTheCLibrary) {
  iconv_t cd = iconv_open("UTF-8", "SJIS");
  if (cd == iconv_t(-1)) GTEST_SKIP() << "the C library has no SJIS";
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0; trail <= 0xFF; ++trail) {
      char in[2] = {char(lead), char(trail)}, buffer[8];
      char *from = in, *to = buffer;
      size_t inLeft = 2, outLeft = sizeof buffer;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      bool read = iconv(cd, &from, &inLeft, &to, &outLeft) != size_t(-1) && inLeft == 0;
      std::string ours = shiftJis({uint8_t(lead), uint8_t(trail)});
      if (read) EXPECT_EQ(ours, std::string(buffer, to)) << std::hex << lead << ' ' << trail;
      else EXPECT_EQ(ours.substr(0, 3), replacement) << std::hex << lead << ' ' << trail;
    }
  }
  iconv_close(cd);
}
#endif
