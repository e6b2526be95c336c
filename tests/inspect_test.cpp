#include <gtest/gtest.h>

#include "engine/inspect.h"
#include "engine/melodywalk.h"
#include "engine/smafwalk.h"
#include "tests/images.h"

namespace {

MelodyInfo inspect(const Bytes &image) {
  MelodyInfo info;
  inspectImage(image.data(), image.size(), &info);
  return info;
}

Bytes title(const Bytes &text) { return ascii("titl") + be(uint32_t(text.size()), 2) + text; }

// A note's status: voice in the top two bits, key in the low six.
Bytes noteOn(int voice) { return Bytes{0x00, uint8_t(voice << 6 | 0x10), 0x60}; }

std::vector<uint32_t> notesPerChannel(const MelodyInfo &info) { return {info.notes, info.notes + 16}; }

}  // namespace

TEST(Inspector, ReadsAnIMelody) {
  Bytes audio = ascii("adat") + be(4, 4) + hex("01 02 03 04");
  Bytes image = melody(vers('3') + note(0) + title(ascii("Tune")),
                       audio + track(noteOn(0) + noteOn(0) + noteOn(3) + hex("00 FF FF 00 05 11 F2 04 60 01")) +
                           track(noteOn(1) + hex("00 3F 80 05  00 FF FF 00 05 11 F2 05 E0 03")) + track({}) +
                           track(noteOn(2)) + track(noteOn(0) + noteOn(1)));
  MelodyInfo info = inspect(image);
  EXPECT_EQ(info.formatKind, FORMAT_IMELODY);
  EXPECT_EQ(info.length, image.size());
  EXPECT_EQ(info.stopped.stop, MELODY_DONE);
  EXPECT_EQ(info.version, 3);
  EXPECT_EQ(info.linkVersion, 3);
  EXPECT_EQ(info.noteLength, 3);
  EXPECT_EQ(info.tracks, 5u);
  EXPECT_EQ(info.audioChunks, 1u);
  ASSERT_TRUE(info.title.present);
  EXPECT_EQ(Bytes(image.begin() + info.title.at, image.begin() + info.title.at + info.title.length), ascii("Tune"));
  EXPECT_EQ(info.title.encoding, TEXT_SHIFT_JIS);
  // 60 01 names channel 4 x 1 + 1 + 1 = 6; E0 03 channel 16.
  EXPECT_EQ(info.vibLinks, 1u << 5);
  EXPECT_EQ(info.ledLinks, 1u << 15);
  // Track k holds channels 4k + 1 to 4k + 4; a fifth track counts for none.
  std::vector<uint32_t> notes(16, 0);
  notes[0] = 2, notes[3] = 1, notes[5] = 1, notes[14] = 1;
  EXPECT_EQ(notesPerChannel(info), notes);
}

TEST(Inspector, ReadsLinkTablesAndFourByteNotes) {
  Bytes table = hex("00 FF FF 00 14 11 01 F2 07  03 02 01 00 00 00 00 00 00 00 00 00 00 00 00 02");
  MelodyInfo info = inspect(melody(note(1) + vers('3'), track(hex("00 50 60 00") + table + hex("00 90 60 00"))));
  EXPECT_EQ(info.noteLength, 4);
  EXPECT_EQ(info.vibLinks, 0x8003);
  EXPECT_EQ(info.ledLinks, 0x0005);
  EXPECT_EQ(info.notes[1], 1u);
  EXPECT_EQ(info.notes[2], 1u);
}

// Each case: an image, and where and why reading it stops; what was read
// before that point stays in the record.
TEST(Inspector, SaysWhereAnIMelodyStops) {
  Bytes head = ascii("melo") + hex("00 00 01 00 00 0D 01 00 01") + vers('2');  // declares 256 bytes
  Bytes notes21;
  for (int k = 0; k < 21; ++k) notes21 = notes21 + noteOn(k % 4);
  struct Case {
    const char *name;
    Bytes image;
    int stop;
    uint64_t at;
    uint32_t number, tracks;
  } cases[] = {
      {"file chunk cut", ascii("melo") + hex("00 00 00"), MELODY_FILE_CHUNK_CUT, 0, 0, 0},
      {"header chunk past the end", head + ascii("titl") + hex("00 09") + ascii("ab"), MELODY_HEADER_CUT, 23, 0, 0},
      {"audio chunk past the end", head + ascii("adat") + hex("00 00 00 09 01"), MELODY_AUDIO_CUT, 23, 0, 0},
      {"second track's head cut", head + track(noteOn(0)) + ascii("trac") + hex("00"), MELODY_TRACK_HEAD_CUT, 34, 2, 2},
      {"second track's event past the end",
       head + track(noteOn(0)) + ascii("trac") + hex("00 00 00 09") + noteOn(0) + hex("00 FF F0 00 08"),
       MELODY_TRACK_CUT, 45, 2, 2},
      {"no file chunk", ascii("abcd") + hex("00 04") + ascii("melo"), MELODY_NO_FILE_CHUNK, 10, 0, 0},
      {"a track before the file chunk", track(noteOn(0)) + melody({}, {}), MELODY_BODY_FIRST, 0, 0, 1},
      {"the last of 21 notes passed together runs past its track",
       head + ascii("trac") + be(62, 4) + Bytes(notes21.begin(), notes21.end() - 1) + track(noteOn(0)),
       MELODY_EVENT_PAST_TRACK, 91, 1, 1},
      {"an extended event runs past its track",
       head + track(noteOn(0)) + ascii("trac") + be(5, 4) + hex("00 FF F1 00 02") + track({}), MELODY_EVENT_PAST_TRACK,
       42, 2, 2},
  };
  for (const Case &c : cases) {
    MelodyInfo info = inspect(c.image);
    EXPECT_EQ(info.formatKind, FORMAT_IMELODY) << c.name;
    EXPECT_EQ(info.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(info.stopped.at, c.at) << c.name;
    EXPECT_EQ(info.stopped.number, c.number) << c.name;
    EXPECT_EQ(info.tracks, c.tracks) << c.name;
  }
  EXPECT_EQ(inspect(cases[4].image).notes[4], 1u) << "notes read before the stop are counted";
  EXPECT_EQ(inspect(cases[4].image).version, 2);
  MelodyInfo past = inspect(cases[7].image);
  EXPECT_EQ(std::vector<uint32_t>(past.notes, past.notes + 4), std::vector<uint32_t>(4, 5))
      << "the 20 notes inside the track are counted, the one past its end is not";
}

TEST(Inspector, ReadsASmafImage) {
  Bytes contents = chunk(ascii("CNTI"), hex("00 01 00 00 00") + ascii("ST:Song,") + ledTag(2) + ascii("L2:") +
                                            Bytes{9} + ascii(",AN:x")) +
                   chunk(ascii("OPDA"), hex("00 01")) + mtr(1, hex("44 40")) + mtr(3, hex("00 04")) +
                   mtr(5, hex("20 10 00 30 00 00 00 00 00 00 00 00 00 00 00 20")) + mtr(6, hex("FF FF"));
  Bytes image = smaf(contents, hex("AA BB CC"));
  MelodyInfo info = inspect(image);
  EXPECT_EQ(info.formatKind, FORMAT_SMAF);
  EXPECT_EQ(info.stopped.stop, SMAF_DONE);
  EXPECT_EQ(info.scoreTrackType, 3);
  std::vector<uint32_t> ids = {0x434E5449, 0x4F504441, 0x4D545201, 0x4D545203, 0x4D545205, 0x4D545206};
  EXPECT_EQ(info.chunkIds, ids);
  ASSERT_TRUE(info.title.present);
  EXPECT_EQ(Bytes(image.begin() + info.title.at, image.begin() + info.title.at + info.title.length), ascii("Song"));
  EXPECT_EQ(info.title.encoding, TEXT_SHIFT_JIS);
  EXPECT_EQ(info.ledTag, 3) << "the first LED tag";
  EXPECT_EQ(info.crc, CRC_OK);
  EXPECT_EQ(info.trailingBytes, 3u);
  // Track 1: channels 1, 2 and 3 (44 40); track 3: channel 12 (04 in its
  // second byte); track 5: channels 1, 4 and 16 vibrate, 2 and 4 light.
  EXPECT_EQ(info.vibLinks, 0x0001 | 0x0002 | 0x0004 | 0x0800 | 0x0008 | 0x8000);
  EXPECT_EQ(info.ledLinks, 0x0002 | 0x0008);
}

// Chunks before the file chunk are walked but are no part of the file: their
// title, LED tag and links are not reported.
TEST(Inspector, ReadsOnlyTheChunksInsideTheFileChunk) {
  Bytes leading = cnti(ascii("ST:Old,") + ledTag(3)) + mtr(1, hex("44 40"));
  MelodyInfo info = inspect(leading + smaf(mtr(2, hex("04 00"))));
  EXPECT_EQ(info.stopped.stop, SMAF_DONE);
  EXPECT_EQ(info.chunkIds, std::vector<uint32_t>{0x4D545202});
  EXPECT_FALSE(info.title.present);
  EXPECT_EQ(info.ledTag, 0);
  EXPECT_EQ(info.vibLinks, 0x0020u) << "channel 6 of track 2 only";
}

// Tracks 6 and 7 name channels as track 5 does, one status byte each, as
// many as their format type says; the kind and key-control bits around the
// two link bits mean nothing here.
TEST(Inspector, ReadsTracks6And7) {
  Bytes status32(32, 0xC3);
  status32[0] = 0xE3, status32[9] = 0x33, status32[19] = 0x20, status32[31] = 0x10;  // 1 and 10 vibrate, 10 lights
  Bytes status16(status32.begin(), status32.begin() + 16);
  struct Case {
    const char *name;
    Bytes contents;
    uint32_t vib, led;
  } cases[] = {
      {"track 7, type 3: 32 channels", mtr(7, status32, 3), 0x00080201, 0x80000200},
      {"track 6, type 2", mtr(6, status16, 2), 0x00000201, 0x00000200},
      {"track 7, type 2: 16 of its bytes", mtr(7, status32, 2), 0x00000201, 0x00000200},
      {"track 6, type 0", mtr(6, status32, 0), 0, 0},
      {"track 7, type 4", mtr(7, status32, 4), 0, 0},
      {"track 8, type 2", mtr(8, status32, 2), 0, 0},
      {"beside tracks 1 and 5", mtr(1, hex("04 00")) + mtr(5, Bytes(16, 0x10), 2) + mtr(6, status16, 2), 0x00000203,
       0x0000FFFF},
  };
  for (const Case &c : cases) {
    MelodyInfo info = inspect(smaf(c.contents));
    EXPECT_EQ(info.stopped.stop, SMAF_DONE) << c.name;
    EXPECT_EQ(info.vibLinks, c.vib) << c.name;
    EXPECT_EQ(info.ledLinks, c.led) << c.name;
  }
  EXPECT_EQ(inspect(smaf(mtr(6, status16, 2))).scoreTrackType, 1) << "tracks 6 and 7 leave the type alone";
}

TEST(Inspector, ChecksTheSmafCrcAndTheTitlesEncoding) {
  Bytes good = smaf(chunk(ascii("CNTI"), hex("00 01 23 00 00") + ascii("ST:x")));
  Bytes bad = good;
  bad.back() ^= 1;
  struct Case {
    const char *name;
    Bytes image;
    CrcState crc;
    TextEncoding encoding;
  } cases[] = {
      {"UTF-8 title, CRC ok", good, CRC_OK, TEXT_UTF8},
      {"CRC bad", bad, CRC_BAD, TEXT_UTF8},
      {"CRC missing", Bytes(good.begin(), good.end() - 2), CRC_MISSING, TEXT_UTF8},
      {"one byte of CRC", Bytes(good.begin(), good.end() - 1), CRC_MISSING, TEXT_UTF8},
      {"Latin-1", smaf(chunk(ascii("CNTI"), hex("00 01 01 00 00") + ascii("ST:x"))), CRC_OK, TEXT_LATIN1},
      {"unknown encoding", smaf(chunk(ascii("CNTI"), hex("00 01 05 00 00") + ascii("ST:x"))), CRC_OK, TEXT_UNKNOWN},
  };
  for (const Case &c : cases) {
    MelodyInfo info = inspect(c.image);
    EXPECT_EQ(info.crc, c.crc) << c.name;
    EXPECT_EQ(info.trailingBytes, 0u) << c.name;
    EXPECT_EQ(info.title.encoding, c.encoding) << c.name;
  }
}

// A SMAF title: the contents-info chunk's "ST:" tag, else the first "ST" of
// a "Dch" sub-chunk of the optional-data chunk; 0x00 bytes that end it are
// padding. Lengths that run past their chunk give no title.
TEST(Inspector, FindsSmafTitlesAndLeavesOutPadding) {
  auto dch = [](uint8_t codeType, const Bytes &tags) {
    return ascii("Dch") + Bytes{codeType} + be(uint32_t(tags.size()), 4) + tags;
  };
  auto tag = [](const char *name, const Bytes &value) { return ascii(name) + be(uint32_t(value.size()), 2) + value; };
  auto opda = [](const Bytes &data) { return chunk(ascii("OPDA"), data); };
  auto shiftJisInfo = [](const Bytes &options) { return chunk(ascii("CNTI"), hex("00 01 00 00 00") + options); };
  const Bytes tune = tag("ST", ascii("Tune"));
  struct Case {
    const char *name;
    Bytes contents;
    Bytes title;
    TextEncoding encoding;
  } cases[] = {
      {"padding before the comma", shiftJisInfo(ascii("ST:Song") + hex("00") + ascii(",")), ascii("Song"),
       TEXT_SHIFT_JIS},
      {"padding at the end", shiftJisInfo(ascii("A:1,ST:So") + hex("00 00")), ascii("So"), TEXT_SHIFT_JIS},
      {"optional data without contents info", opda(dch(0x00, tag("CA", ascii("Me")) + tune)), ascii("Tune"),
       TEXT_SHIFT_JIS},
      {"optional data in UTF-8, padded", opda(dch(0x23, tag("ST", ascii("T") + hex("00")))), ascii("T"), TEXT_UTF8},
      {"another sub-chunk first", opda(chunk(ascii("Mxyz"), hex("01 02")) + dch(0x01, tune)), ascii("Tune"),
       TEXT_LATIN1},
      {"contents info without a title", shiftJisInfo(ascii("A:1,")) + opda(dch(0x00, tune)), ascii("Tune"),
       TEXT_SHIFT_JIS},
      {"contents info first, whatever the order", opda(dch(0x00, tune)) + shiftJisInfo(ascii("ST:Song,")),
       ascii("Song"), TEXT_SHIFT_JIS},
  };
  for (const Case &c : cases) {
    Bytes image = smaf(c.contents);
    MelodyInfo info = inspect(image);
    ASSERT_TRUE(info.title.present) << c.name;
    EXPECT_EQ(Bytes(image.begin() + info.title.at, image.begin() + info.title.at + info.title.length), c.title)
        << c.name;
    EXPECT_EQ(info.title.encoding, c.encoding) << c.name;
  }
  Bytes tagPastSubChunk = ascii("Dch") + hex("00 00 00 00 06") + ascii("ST") + hex("00 03") + ascii("Tu");
  Bytes subChunkPastChunk = ascii("Dch") + hex("00 00 00 00 09") + tune;
  for (const Bytes &data : {tagPastSubChunk, subChunkPastChunk, ascii("Dch") + hex("00 00 00"), Bytes{}})
    EXPECT_FALSE(inspect(smaf(opda(data) + mtr(1, hex("00 00")))).title.present) << toHex(data);
}

TEST(Inspector, SaysWhereASmafImageStops) {
  struct Case {
    const char *name;
    Bytes image;
    int stop;
    uint64_t at;
    uint32_t number;
  } cases[] = {
      {"file chunk header cut", ascii("MMMD") + hex("00 00"), SMAF_FILE_CHUNK_CUT, 0, 0},
      {"second chunk past the end",
       ascii("MMMD") + hex("00 00 00 40") + mtr(1, hex("00 00")) + ascii("MTR") + hex("02 00 00 00 09"), SMAF_CHUNK_CUT,
       24, 2},
      {"contents-info too short", smaf(chunk(ascii("CNTI"), hex("01 02 03"))), SMAF_CONTENTS_SHORT, 8, 1},
      {"track 5 too short", smaf(chunk(ascii("MTR") + Bytes{5}, Bytes(19, 0))), SMAF_SCORE_TRACK_SHORT, 8, 5},
      // A track 6 or 7 too short for its status has none to read: the
      // reading goes on behind it.
      {"track 6 of type 2 too short",
       smaf(mtr(1, hex("00 00")) + chunk(ascii("MTR") + Bytes{6}, hex("02 00 02 02") + Bytes(15, 0))), SMAF_DONE, 0, 0},
      {"track 7 of type 3 too short", smaf(chunk(ascii("MTR") + Bytes{7}, hex("03 00 02 02") + Bytes(31, 0))),
       SMAF_DONE, 0, 0},
      {"track 6 of type 0 needs no status", smaf(chunk(ascii("MTR") + Bytes{6}, hex("00"))), SMAF_DONE, 0, 0},
      {"no file chunk", ascii("ABCD") + hex("00 00 00 04") + ascii("MMMD"), SMAF_NO_FILE_CHUNK, 12, 0},
  };
  for (const Case &c : cases) {
    MelodyInfo info = inspect(c.image);
    EXPECT_EQ(info.formatKind, FORMAT_SMAF) << c.name;
    EXPECT_EQ(info.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(info.stopped.at, c.at) << c.name;
    EXPECT_EQ(info.stopped.number, c.number) << c.name;
  }
}

TEST(Inspector, FindsNoFormatInOtherBytes) {
  MelodyInfo info = inspect(ascii("just text, no magic"));
  EXPECT_EQ(info.formatKind, FORMAT_NONE);
  EXPECT_EQ(info.length, 19u);
}
