#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/bytes.h"
#include "engine/inspect.h"
#include "engine/timeline.h"
#include "tests/images.h"
#include "tests/testing.h"

namespace {

// A version-2 melody with one old vibration link event.
const Bytes melodyV2 =
    hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
        "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");

Bytes converted(const Bytes &image) {
  return convertWithSettings(image, conversionSettings.vibMask, conversionSettings.ledMask).bytes;
}

}  // namespace

TEST(ConvertBuffer, ChannelIsLowestSelected) {
  struct Case {
    uint16_t mask;
    int channel;
  } cases[] = {{0, 0}, {0x0004, 3}, {0x8001, 1}, {0x8000, 16}, {0x0006, 2}};
  for (const Case &c : cases) {
    EXPECT_EQ(lowestChannel(c.mask), c.channel);
    convertWithSettings({}, c.mask, uint16_t(c.mask << 1));
    EXPECT_EQ(conversionSettings.vibChannel, c.channel);
    EXPECT_EQ(conversionSettings.ledChannel, lowestChannel(uint16_t(c.mask << 1)));
  }
}

TEST(ConvertBuffer, FirstMagicDecidesTheFormat) {
  struct Case {
    Bytes data;
    int format;
  } cases[] = {
      {ascii("melo"), FORMAT_IMELODY},
      {ascii("MMMD"), FORMAT_SMAF},
      {ascii("xmelo"), FORMAT_IMELODY},
      {ascii("0123456789MMMD012345melo"), FORMAT_SMAF},
      {ascii("0123456789melo012345MMMD"), FORMAT_IMELODY},
      {ascii("abcmel"), FORMAT_NONE},
      {ascii("abcMMM"), FORMAT_NONE},
      {{}, FORMAT_NONE},
      // Only offsets holding "m" or "M" are tried: false starts of both
      // kinds, interleaved, before the real one.
      {ascii("mmmmelo"), FORMAT_IMELODY},
      {ascii("MMMMMMD"), FORMAT_SMAF},
      {ascii("melMMMD"), FORMAT_SMAF},
      {ascii("MMMmelo"), FORMAT_IMELODY},
      {ascii("mMmMmMMMDmelo"), FORMAT_SMAF},
      {ascii("MmMmMmmelo MMMD"), FORMAT_IMELODY},
      {ascii("xyz") + Bytes(5000, 'm') + ascii("MMMD"), FORMAT_SMAF},
      {Bytes(5000, 'M') + ascii("elo"), FORMAT_NONE},
      {ascii("mMmMmM") + ascii("mel"), FORMAT_NONE},
  };
  for (const Case &c : cases) EXPECT_EQ(findFormat(c.data.data(), uint32_t(c.data.size())), c.format) << toHex(c.data);
}

TEST(ConvertBuffer, RewriterWalksFromOffsetZeroWhereverTheMagicIs) {
  // A leading chunk before the file chunk is walked too, and the CRC covers it.
  Bytes leading = ascii("abcd") + hex("00 00 00 02 01 02");
  Bytes file = ascii("MMMD") + hex("00 00 00 0E") + ascii("ATR0") + hex("00 00 00 04") + ascii("melo");
  Bytes expected = leading + file;
  expected = expected + Bytes{uint8_t(crc16(expected.data(), int32_t(expected.size())) >> 8),
                              uint8_t(crc16(expected.data(), int32_t(expected.size())))};
  Converted out = convertWithSettings(leading + file + hex("00 00"), 1, 1);
  EXPECT_EQ(out.report.formatKind, FORMAT_SMAF);
  EXPECT_EQ(toHex(out.bytes), toHex(expected));
}

TEST(ConvertBuffer, ReportIsClearedWhenNothingIsConverted) {
  convertWithSettings(melodyV2, 1, 1);
  ASSERT_EQ(conversionSettings.report.formatKind, FORMAT_IMELODY);
  Converted out = convertWithSettings(ascii("no melody here"), 1, 1);
  EXPECT_EQ(out.report.formatKind, FORMAT_NONE);
  EXPECT_EQ(out.report.formatVersion, 0);
  EXPECT_TRUE(out.bytes.empty());
}

class ConvertFile : public ::testing::Test {
 protected:
  void SetUp() override {
    conversionSettings.vibMask = 2;
    conversionSettings.ledMask = 1;
  }
  TempDir dir;
};

TEST_F(ConvertFile, WritesTheConvertedImage) {
  writeFile(dir.file("in.mld"), melodyV2);
  EXPECT_EQ(convertFile(dir.file("in.mld").c_str(), dir.file("out.mld").c_str()), 1);
  EXPECT_EQ(readFile(dir.file("out.mld")), converted(melodyV2));
  EXPECT_EQ(readFile(dir.file("in.mld")), melodyV2);
  EXPECT_EQ(listFolder(dir.path).size(), 2u);
}

TEST_F(ConvertFile, RewritesInPlace) {
  writeFile(dir.file("tune.mld"), melodyV2);
  EXPECT_EQ(convertFile(dir.file("tune.mld").c_str(), dir.file("tune.mld").c_str()), 1);
  EXPECT_EQ(readFile(dir.file("tune.mld")), converted(melodyV2));
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
}

// Nothing converted: the report says FORMAT_NONE, the result is 0, and no
// file is created or changed, the input included.
TEST_F(ConvertFile, ConvertsNothingAndTouchesNothing) {
  struct Case {
    const char *name;
    Bytes input;
    ConvertOutcome outcome;
  } cases[] = {
      {"empty input", {}, CONVERT_NOT_MELODY},
      {"no magic", ascii("just some text mel"), CONVERT_NOT_MELODY},
      {"malformed melody", hex("6D 65 6C 6F 00 00"), CONVERT_MALFORMED},
  };
  const Bytes older = ascii("an older output");
  for (const Case &c : cases) {
    convertWithSettings(melodyV2, 1, 1);  // a previous success must not show through
    writeFile(dir.file("in"), c.input);
    writeFile(dir.file("old"), older);
    EXPECT_EQ(convertWithRequest(c.input, {1, 1, false}).result.outcome, c.outcome) << c.name;
    EXPECT_EQ(convertFile(dir.file("in").c_str(), dir.file("new").c_str()), 0) << c.name;
    EXPECT_EQ(convertFile(dir.file("in").c_str(), dir.file("old").c_str()), 0) << c.name;
    EXPECT_EQ(convertFile(dir.file("in").c_str(), dir.file("in").c_str()), 0) << c.name;
    EXPECT_EQ(conversionSettings.report.formatKind, FORMAT_NONE) << c.name;
    EXPECT_FALSE(fileExists(dir.file("new"))) << c.name;
    EXPECT_EQ(readFile(dir.file("old")), older) << c.name;
    EXPECT_EQ(readFile(dir.file("in")), c.input) << c.name;
    EXPECT_EQ(listFolder(dir.path).size(), 2u) << c.name;
  }
}

TEST_F(ConvertFile, MissingInputCreatesNothing) {
  convertWithSettings(melodyV2, 1, 1);
  EXPECT_EQ(convertFile(dir.file("none.mld").c_str(), dir.file("out.mld").c_str()), 0);
  EXPECT_EQ(conversionSettings.report.formatKind, FORMAT_NONE);
  EXPECT_TRUE(listFolder(dir.path).empty());
}

TEST_F(ConvertFile, FailedWriteLeavesTargetAndNoTemporary) {
  writeFile(dir.file("in.mld"), melodyV2);
  makeFolder(dir.file("taken"));
  EXPECT_EQ(convertFile(dir.file("in.mld").c_str(), dir.file("taken").c_str()), 0);
  EXPECT_EQ(convertFile(dir.file("in.mld").c_str(), dir.file("gone/out.mld").c_str()), 0);
  EXPECT_EQ(listFolder(dir.path).size(), 2u);
  EXPECT_TRUE(listFolder(dir.file("taken")).empty());
  EXPECT_EQ(readFile(dir.file("in.mld")), melodyV2);
}

// POSIX file modes and symbolic links.
#ifndef _WIN32
TEST_F(ConvertFile, ReplacedFileKeepsPermissionsAndLinks) {
  writeFile(dir.file("tune.mld"), melodyV2);
  chmod(dir.file("tune.mld").c_str(), 0640);
  ASSERT_EQ(symlink("tune.mld", dir.file("link.mld").c_str()), 0);
  EXPECT_EQ(convertFile(dir.file("link.mld").c_str(), dir.file("link.mld").c_str()), 1);
  struct stat info;
  ASSERT_EQ(lstat(dir.file("link.mld").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(dir.file("tune.mld").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(readFile(dir.file("tune.mld")), converted(melodyV2));
  EXPECT_EQ(listFolder(dir.path).size(), 2u);
}

TEST_F(ConvertFile, NewFileGetsPermissionsFromUmask) {
  writeFile(dir.file("in.mld"), melodyV2);
  mode_t old = umask(022);
  EXPECT_EQ(convertFile(dir.file("in.mld").c_str(), dir.file("out.mld").c_str()), 1);
  umask(old);
  struct stat info;
  ASSERT_EQ(stat(dir.file("out.mld").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}
#endif

// The Windows program's road (the masks in conversionSettings, convertBuffer)
// and the request's road (convertBlock) write the same bytes and tell the
// same format and version for the same choice.
TEST(ConvertBlock, WritesWhatConvertBufferWrites) {
  const Bytes notes = hex("00 10 60  00 50 60");
  const Bytes images[] = {
      melodyV2,
      melody(vers('3'), track(notes) + track(hex("00 FF FF 00 05 11 F2 05 20 00") + notes)),
      melody(vers('1'), track(notes)),
      smaf(cnti(ascii("L2:") + Bytes{7} + ascii(",A:1,")) + mtr(1, hex("FF 00")) + mtr(5, Bytes(16, 0x31))),
      smaf(mtr(6, Bytes(16, 0x21), 2) + mtr(0, hex("44 44"))),
      hex("6D 65 6C 6F 00 00"),
      ascii("no melody"),
  };
  const uint16_t masks[][2] = {{0, 0}, {0x0002, 0x0001}, {0x8005, 0x0104}, {0xFFFF, 0xFFFF}};
  for (const Bytes &image : images) {
    for (const auto &mask : masks) {
      Converted bySettings = convertWithSettings(image, mask[0], mask[1]);
      ConvertedByRequest byRequest = convertWithRequest(image, {mask[0], mask[1], false});
      const ConversionResult &r = byRequest.result;
      EXPECT_EQ(toHex(byRequest.bytes), toHex(bySettings.bytes)) << toHex(image);
      bool done = r.outcome == CONVERT_DONE;
      EXPECT_EQ(done ? r.formatKind : FORMAT_NONE, bySettings.report.formatKind) << toHex(image);
      EXPECT_EQ(done ? r.formatVersion : 0, bySettings.report.formatVersion) << toHex(image);
    }
  }
}

// A give-up says where the converter stopped: the same walk as the
// inspector's for a short score track 5, the cut chunk behind a short
// track 6 that only a conversion of all tracks reads.
TEST(ConvertBlock, SaysWhereItGaveUp) {
  Bytes shortSix = chunk(ascii("MTR") + Bytes{6}, hex("02 00 02 02") + Bytes(6, 0));
  Bytes cut = ascii("MMMD") + hex("00 00 00 60") + shortSix + ascii("MTR") + hex("01 00 00 00 09 00");
  struct Case {
    const char *name;
    Bytes image;
    bool allTracks;
    int stop;
    uint64_t at;
  } cases[] = {
      {"short track 6, then a cut chunk", cut, false, SMAF_CHUNK_CUT, 26},
      {"short track 6, all tracks", cut, true, SMAF_SCORE_TRACK_SHORT, 8},
      {"i-melody file chunk cut", hex("6D 65 6C 6F 00 00"), false, MELODY_FILE_CHUNK_CUT, 0},
  };
  for (const Case &c : cases) {
    ConversionResult result = convertWithRequest(c.image, {1, 1, c.allTracks}).result;
    EXPECT_EQ(result.outcome, CONVERT_MALFORMED) << c.name;
    EXPECT_EQ(result.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(result.stopped.at, c.at) << c.name;
  }
}

// Files that the converter must refuse whole, and that the inspector and
// the timeline read as far as the converter does: a second file chunk,
// whose lengths could not all be right; a SMAF file chunk too short for its
// CRC; a magic among other bytes, with nothing before it that reads as a
// chunk.
TEST(ConvertBlock, RefusesWhatCannotBeRewrittenRight) {
  struct Case {
    const char *name;
    Bytes image;
    ConvertOutcome outcome;
    int format, stop;
    uint64_t at;
  } cases[] = {
      {"an i-melody header, then another file chunk", melody(vers('2'), {}) + melody({}, track(hex("00 12 34"))),
       CONVERT_MALFORMED, FORMAT_IMELODY, MELODY_SECOND_FILE_CHUNK, 23},
      {"a cmid chunk after the file chunk", melody(vers('2'), {}) + ascii("cmid") + hex("00 00 00 05 00 03 01 00 01"),
       CONVERT_MALFORMED, FORMAT_IMELODY, MELODY_SECOND_FILE_CHUNK, 23},
      {"a SMAF file chunk inside another", ascii("MMMD") + hex("00 00 00 20") + smaf(mtr(1, hex("00 00"))),
       CONVERT_MALFORMED, FORMAT_SMAF, SMAF_SECOND_FILE_CHUNK, 8},
      {"a SMAF file chunk of length 0",
       ascii("MMMD") + hex("00 00 00 00") + ascii("CNTI") + hex("00 00 00 05 01 02 03 04 05"), CONVERT_MALFORMED,
       FORMAT_SMAF, SMAF_FILE_CHUNK_SHORT, 0},
      {"a SMAF file chunk of length 1", ascii("MMMD") + hex("00 00 00 01 00"), CONVERT_MALFORMED, FORMAT_SMAF,
       SMAF_FILE_CHUNK_SHORT, 0},
      {"a text that holds \"melo\"", ascii("# Sorbelin\n\nlinks a melody to the phone's vibrator."), CONVERT_NOT_MELODY,
       FORMAT_NONE, 0, 0},
      {"a text that holds \"MMMD\"", ascii("notes: MMMD is SMAF's magic"), CONVERT_NOT_MELODY, FORMAT_NONE, 0, 0},
      {"leading bytes that read as a chunk", ascii("abcd") + hex("00 00") + melody(vers('2'), track(hex("00 12 34"))),
       CONVERT_DONE, FORMAT_IMELODY, 0, 0},
  };
  for (const Case &c : cases) {
    ConvertedByRequest converted = convertWithRequest(c.image, {2, 1, false});
    EXPECT_EQ(converted.result.outcome, c.outcome) << c.name;
    EXPECT_EQ(converted.result.formatKind, c.outcome == CONVERT_NOT_MELODY ? FORMAT_NONE : c.format) << c.name;
    EXPECT_EQ(converted.result.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(converted.result.stopped.at, c.at) << c.name;
    EXPECT_EQ(convertWithSettings(c.image, 2, 1).bytes.empty(), c.outcome != CONVERT_DONE) << c.name;
    MelodyInfo info;
    inspectImage(c.image.data(), c.image.size(), &info);
    EXPECT_EQ(info.formatKind, c.format) << c.name;
    EXPECT_EQ(info.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(info.stopped.at, c.at) << c.name;
    Timeline timeline;
    decodeTimeline(c.image.data(), c.image.size(), &timeline);
    EXPECT_EQ(timeline.formatKind, c.format) << c.name;
  }
}
