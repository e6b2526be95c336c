#include <gtest/gtest.h>

#include "tests/images.h"

namespace {

// Converts with score tracks 6 and 7 rewritten too, told as a report.
Converted convertAllTracks(const Bytes &image, uint16_t vibMask, uint16_t ledMask) {
  ConvertedByRequest converted = convertWithRequest(image, {vibMask, ledMask, true});
  const ConversionResult &result = converted.result;
  ConversionReport report = {};
  if (result.outcome == CONVERT_DONE) report = {uint8_t(result.formatKind), result.formatVersion};
  return {converted.bytes, report};
}

}  // namespace

TEST(SmafRewriter, WorkedExample) {
  Bytes input =
      hex("4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05  41 3A 31 2C"
          "4C 32 3A 07 2C  4D 54 52 01 00 00 00 08  00 00 02 02  FF 00  12 34  65 60");
  Converted out = convertWithSettings(input, 0x0005, 0x0004);
  EXPECT_EQ(toHex(out.bytes), toHex(hex("4D 4D 4D 44 00 00 00 28  43 4E 54 49 00 00 00 0E  01 02 03 04 05"
                                        "4C 32 3A 02 2C  41 3A 31 2C  4D 54 52 01 00 00 00 08 00 00 02 02"
                                        "FB 40  12 34  E4 3F")));
  EXPECT_EQ(out.report.formatKind, FORMAT_SMAF);
  EXPECT_EQ(out.report.formatVersion, 2);

  Converted noLed = convertWithSettings(input, 0x0005, 0);
  EXPECT_EQ(toHex(noLed.bytes), toHex(hex("4D 4D 4D 44 00 00 00 23  43 4E 54 49 00 00 00 09  01 02 03 04 05"
                                          "41 3A 31 2C  4D 54 52 01 00 00 00 08 00 00 02 02  FB 40  12 34  9A 56")));
}

// Each case: the option data in, the masks, and the option data out.
TEST(SmafRewriter, ReplacesLedTagsInContentsInfo) {
  struct Case {
    const char *name;
    Bytes options;
    uint16_t ledMask;
    Bytes expected;
  } cases[] = {
      {"between two tags", ascii("A:1,") + ledTag(7) + ascii("B:2,"), 1, ledTag(0) + ascii("A:1,B:2,")},
      {"last tag without comma", ascii("A:1,L2:x"), 0, ascii("A:1,")},
      {"first tag", ledTag(4) + ascii("A:1,"), 0, ascii("A:1,")},
      {"several", ledTag(1) + ascii("A:1,") + ledTag(2) + ledTag(3), 0x0004, ledTag(2) + ascii("A:1,")},
      {"L2: inside a tag and an empty tag stay", ascii("XL2:1,,B,"), 0, ascii("XL2:1,,B,")},
      {"empty option data", {}, 0x0002, ledTag(1)},
      {"lowest of channels 3 and 5", ascii("A,"), 0x0014, ledTag(2) + ascii("A,")},
      {"channel 16", {}, 0x8000, ledTag(15)},
      {"an LED tag needs its colon", ascii("A,L2;x"), 0, ascii("A,L2;x")},
  };
  for (const Case &c : cases) {
    Converted out = convertWithSettings(smaf(cnti(c.options)), 0, c.ledMask);
    EXPECT_EQ(toHex(out.bytes), toHex(smaf(cnti(c.expected)))) << c.name;
    EXPECT_EQ(out.report.formatKind, FORMAT_SMAF) << c.name;
  }
}

TEST(SmafRewriter, LedTestRunsOnPastTheChunkButNotPastTheInput) {
  // "L2" at the end of the option data reads on into the next chunk's id.
  Bytes before = chunk(ascii("CNTI"), hex("01 02 03 04 05") + ascii("A,L2")) + chunk(ascii(":xyz"), {});
  EXPECT_EQ(toHex(convertWithSettings(smaf(before), 0, 0).bytes),
            toHex(smaf(chunk(ascii("CNTI"), hex("01 02 03 04 05") + ascii("A,")) + chunk(ascii(":xyz"), {}))));
}

// Vibration on channels 3, 5, 6, 10 and 13, and for track 5 every LED
// channel, over status bytes that were all ones.
TEST(SmafRewriter, PatchesChannelStatusOfScoreTracks) {
  struct Case {
    uint8_t track;
    Bytes status, expected;
    int type;
  } cases[] = {
      {0, hex("FF FF"), hex("BB FB"), 1},
      {1, hex("FF FF"), hex("BB FB"), 2},
      {2, hex("FF FF"), hex("FF BB"), 2},
      {3, hex("FF FF"), hex("BF BB"), 2},
      {4, hex("FF FF"), hex("FB BB"), 2},
      {5, Bytes(16, 0xFF), hex("DF DF FF DF FF FF DF DF DF FF DF DF FF DF DF DF"), 3},
      {5, Bytes(16, 0x00), hex("10 10 30 10 30 30 10 10 10 30 10 10 30 10 10 10"), 3},
      {6, hex("FF FF"), hex("FF FF"), 1},
      {0xFF, hex("00 00"), hex("00 00"), 1},
  };
  const uint16_t vib = (1 << 2) | (1 << 4) | (1 << 5) | (1 << 9) | (1 << 12);
  for (const Case &c : cases) {
    Converted out = convertWithSettings(smaf(mtr(c.track, c.status)), vib, 0xFFFF);
    EXPECT_EQ(toHex(out.bytes), toHex(smaf(mtr(c.track, c.expected)))) << int(c.track);
    EXPECT_EQ(out.report.formatVersion, c.type) << int(c.track);
  }
}

// Score tracks 6 and 7 have one status byte per channel, 16 or 32 as their
// format type says; with all tracks asked for, their vibration (0x20) and LED
// (0x10) bits are rewritten as track 5's, every other bit kept, channels 17
// to 32 cleared. Vibration on channels 3, 5, 6, 10 and 13, LED on 1, 2, 16.
TEST(SmafRewriter, RewritesTracks6And7WhenAskedFor) {
  const Bytes ones16(16, 0xFF), zeros16(16, 0x00), ones32(32, 0xFF), zeros32(32, 0x00);
  const Bytes onesOut = hex("DF DF EF CF EF EF CF CF CF EF CF CF EF CF CF DF");
  const Bytes zerosOut = hex("10 10 20 00 20 20 00 00 00 20 00 00 20 00 00 10");
  struct Case {
    const char *name;
    uint8_t track, formatType;
    Bytes status, expected;
  } cases[] = {
      {"track 6, type 2, every bit set", 6, 2, ones16, onesOut},
      {"track 6, type 1, no bit set", 6, 1, zeros16, zerosOut},
      {"track 7, type 3, every bit set", 7, 3, ones32, onesOut + Bytes(16, 0xCF)},
      {"track 7, type 3, no bit set", 7, 3, zeros32, zerosOut + zeros16},
      {"track 6, type 3", 6, 3, ones32, onesOut + Bytes(16, 0xCF)},
      {"track 7, type 2: 16 bytes, the rest left", 7, 2, ones32, onesOut + ones16},
      {"key control and kind bits around", 6, 2, Bytes(16, 0xC3),
       hex("D3 D3 E3 C3 E3 E3 C3 C3 C3 E3 C3 C3 E3 C3 C3 D3")},
      {"track 6, type 0", 6, 0, ones16, ones16},
      {"track 7, type 4", 7, 4, ones32, ones32},
      {"track 8, type 2", 8, 2, ones16, ones16},
  };
  const uint16_t vib = (1 << 2) | (1 << 4) | (1 << 5) | (1 << 9) | (1 << 12), led = 0x8003;
  for (const Case &c : cases) {
    Bytes input = smaf(mtr(c.track, c.status, c.formatType));
    Converted asked = convertAllTracks(input, vib, led), plain = convertWithSettings(input, vib, led);
    EXPECT_EQ(toHex(asked.bytes), toHex(smaf(mtr(c.track, c.expected, c.formatType)))) << c.name;
    EXPECT_EQ(toHex(plain.bytes), toHex(input)) << c.name << ", without all tracks";
    EXPECT_EQ(asked.report.formatVersion, 1) << c.name;
  }
}

// Beside tracks 0 to 5, which are rewritten either way; the score-track type
// is that of the last track 0 to 5.
TEST(SmafRewriter, RewritesTracks6And7BesideTheOthers) {
  const Bytes two = hex("FF FF"), sixteen(16, 0xFF), thirtyTwo(32, 0x00);
  Bytes input = smaf(cnti(ledTag(4)) + mtr(1, two) + mtr(6, sixteen, 2) + mtr(5, sixteen, 2) + mtr(7, thirtyTwo, 3));
  Bytes six = mtr(6, hex("CF DF EF") + Bytes(13, 0xCF), 2), seven = mtr(7, hex("00 10 20") + Bytes(29, 0), 3);
  Converted asked = convertAllTracks(input, 0x0004, 0x0002), plain = convertWithSettings(input, 0x0004, 0x0002);
  EXPECT_EQ(toHex(asked.bytes), toHex(smaf(cnti(ledTag(1)) + mtr(1, hex("BB FB")) + six +
                                           mtr(5, hex("CF DF EF") + Bytes(13, 0xCF), 2) + seven)));
  EXPECT_EQ(toHex(plain.bytes), toHex(smaf(cnti(ledTag(1)) + mtr(1, hex("BB FB")) + mtr(6, sixteen, 2) +
                                           mtr(5, hex("CF DF EF") + Bytes(13, 0xCF), 2) + mtr(7, thirtyTwo, 3))));
  EXPECT_EQ(asked.report.formatVersion, 3);
  EXPECT_EQ(plain.report.formatVersion, 3);
}

// A track 6 or 7 whose format type names status bytes must hold them; one of
// another type needs none. Without all tracks the converter reads none of
// them and converts every one of these files unchanged.
TEST(SmafRewriter, GivesUpOnTracks6And7TooShortOnlyWhenAskedFor) {
  struct Case {
    const char *name;
    Bytes data;
    bool converts;
  } cases[] = {
      {"type 2, 15 status bytes", hex("02 00 02 02") + Bytes(15, 0x20), false},
      {"type 1, 16 status bytes", hex("01 00 02 02") + Bytes(16, 0x20), true},
      {"type 3, 31 status bytes", hex("03 00 02 02") + Bytes(31, 0x20), false},
      {"type 3, 32 status bytes", hex("03 00 02 02") + Bytes(32, 0x20), true},
      {"type 2, the format type alone", hex("02"), false},
      {"type 0, the fixed bytes alone", hex("00 00 02 02"), true},
      {"no data at all", {}, true},
  };
  for (uint8_t track : {6, 7}) {
    for (const Case &c : cases) {
      Bytes input = smaf(chunk(ascii("MTR") + Bytes{track}, c.data) + mtr(1, hex("00 00")));
      Converted asked = convertAllTracks(input, 1, 1), plain = convertWithSettings(input, 1, 1);
      EXPECT_EQ(asked.report.formatKind, c.converts ? FORMAT_SMAF : FORMAT_NONE) << c.name << ", track " << int(track);
      EXPECT_EQ(toHex(plain.bytes), toHex(smaf(chunk(ascii("MTR") + Bytes{track}, c.data) + mtr(1, hex("40 00")))))
          << c.name << ", track " << int(track);
    }
  }
}

TEST(SmafRewriter, LastScoreTrackDecidesTheType) {
  const Bytes two = hex("00 00"), sixteen(16, 0);
  struct Case {
    Bytes contents;
    int type;
  } cases[] = {
      {mtr(1, two) + mtr(2, two) + mtr(3, two) + mtr(4, two), 2},
      {mtr(5, sixteen) + mtr(0, two), 1},
      {mtr(0, two) + mtr(5, sixteen), 3},
      {mtr(5, sixteen) + mtr(6, two), 3},
      {mtr(6, two), 1},
      {chunk(ascii("ATR0"), hex("01")), 1},
  };
  for (const Case &c : cases) EXPECT_EQ(convertWithSettings(smaf(c.contents), 1, 1).report.formatVersion, c.type);
}

TEST(SmafRewriter, KeepsWhatFollowsTheCrcAndCountsTheCrc) {
  Bytes contents = cnti(ascii("A,") + ledTag(3)) + mtr(1, hex("00 00"));
  Bytes expected = smaf(cnti(ledTag(0) + ascii("A,")) + mtr(1, hex("40 00")), ascii("trailing"));
  EXPECT_EQ(toHex(convertWithSettings(smaf(contents, ascii("trailing")), 1, 1).bytes), toHex(expected));

  // A length that leaves out the CRC: the walk still stops at the CRC.
  Bytes image = ascii("MMMD") + be(uint32_t(contents.size()), 4) + contents;
  EXPECT_EQ(toHex(convertWithSettings(image + crcOf(image) + ascii("tail"), 1, 1).bytes),
            toHex(smaf(cnti(ledTag(0) + ascii("A,")) + mtr(1, hex("40 00")), ascii("tail"))));
}

TEST(SmafRewriter, WithoutContentsInfoOnlyTracksAndCrcChange) {
  Bytes input = smaf(chunk(ascii("OPDA"), ascii("L2:1,")) + mtr(2, hex("00 00")));
  input[input.size() - 1] ^= 0xFF;  // a wrong CRC is simply replaced
  EXPECT_EQ(toHex(convertWithSettings(input, 0x0010, 1).bytes),
            toHex(smaf(chunk(ascii("OPDA"), ascii("L2:1,")) + mtr(2, hex("40 00")))));
}

TEST(SmafRewriter, WellFormedOutputGrowsByTheNewTagLessRemovedOnes) {
  Bytes input = smaf(cnti(ledTag(1) + ascii("A,") + ledTag(2)) + mtr(1, hex("00 00")));
  Converted out = convertWithSettings(input, 1, 0x0100);
  ASSERT_EQ(out.bytes.size(), input.size() + 5 - 10);
  size_t crcAt = out.bytes.size() - 2;
  EXPECT_EQ(readBE(out.bytes.data() + crcAt, 2), crc16(out.bytes.data(), int32_t(crcAt)));
  EXPECT_EQ(readBE(out.bytes.data() + 4, 4), crcAt + 2 - 8);
}

TEST(SmafRewriter, GivesUpOnMalformedImages) {
  Bytes manyContentsInfo;
  for (int i = 0; i < 2100; ++i) manyContentsInfo = manyContentsInfo + cnti({});
  struct Case {
    const char *name;
    Bytes input;
  } cases[] = {
      {"no file chunk at a chunk position", chunk(ascii("abcd"), ascii("MMMD"))},
      {"file chunk header cut short", ascii("MMMD") + hex("00 00")},
      {"contents info shorter than 5 bytes", smaf(chunk(ascii("CNTI"), hex("01 02 03 04")))},
      {"score track 1 too short", smaf(chunk(ascii("MTR") + Bytes{1}, hex("00 00 00 00 00")))},
      {"score track 5 too short", smaf(chunk(ascii("MTR") + Bytes{5}, Bytes(19, 0)))},
      {"chunk longer than the input", ascii("MMMD") + hex("00 00 00 20") + ascii("ATR0") + hex("00 00 00 40 01")},
      {"chunk length near 2^32", ascii("MMMD") + hex("00 00 00 20") + ascii("ATR0") + hex("FF FF FF F8 01")},
      {"chunk header cut short", ascii("MMMD") + hex("00 00 00 20") + ascii("ATR0") + hex("00")},
      {"no CRC where the length says", ascii("MMMD") + hex("FF FF FF FF") + cnti({}) + hex("12 34")},
      {"output beyond its capacity", smaf(manyContentsInfo)},
  };
  for (const Case &c : cases) {
    Converted out = convertWithSettings(c.input, 0xFFFF, 0xFFFF);
    EXPECT_EQ(out.report.formatKind, FORMAT_NONE) << c.name;
    EXPECT_TRUE(out.bytes.empty()) << c.name;
  }
}
