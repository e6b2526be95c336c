#include <gtest/gtest.h>

#include "engine/inspect.h"
#include "engine/melodywalk.h"
#include "tests/images.h"

namespace {

const Bytes noteEvent = hex("00 12 34");
const Bytes shortEvent = hex("00 FF DF 00");
const Bytes oldVibLink = hex("07 FF FF 00 05 11 F2 04 20 01");
const Bytes oldLedLink = hex("00 FF FF 00 05 11 F2 05 A0 03");
const Bytes oldTable = hex("05 FF FF 00 14 11 01 F2 07") + Bytes(16, 0x03);
// What a dropped link event leaves: its delta time, as a no-op event.
const Bytes oldVibLinkLeft = hex("07 FF DE 00");
const Bytes oldTableLeft = hex("05 FF DE 00");
const Bytes vibCh1 = hex("00 FF FF 00 05 11 F2 04 20 00");
const Bytes ledCh1 = hex("00 FF FF 00 05 11 F2 05 20 00");
const Bytes tableHead = hex("00 FF FF 00 14 11 01 F2 07");

Bytes table(const char *channels) { return tableHead + hex(channels); }

}  // namespace

TEST(MelodyRewriter, WorkedExampleVersion2) {
  Bytes input =
      hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
          "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
  Converted out = convertWithSettings(input, 0x0002, 0x0001);
  EXPECT_EQ(toHex(out.bytes), toHex(hex("6D 65 6C 6F 00 00 00 36 00 0D 01 00 01  76 65 72 73 00 04 30 32 30 30"
                                        "74 72 61 63 00 00 00 1F  00 FF FF 00 05 11 F2 04 60 00"
                                        "00 FF FF 00 05 11 F2 05 20 00  07 FF DE 00  00 12 34  00 FF DF 00")));
  EXPECT_EQ(out.report.formatKind, FORMAT_IMELODY);
  EXPECT_EQ(out.report.formatVersion, 2);
  EXPECT_EQ(conversionSettings.vibChannel, 2);
  EXPECT_EQ(conversionSettings.ledChannel, 1);
}

TEST(MelodyRewriter, WorkedExampleVersion3) {
  Bytes input =
      hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30 33 30 30"
          "74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
  Converted out = convertWithSettings(input, 0x0005, 0x0004);
  EXPECT_EQ(toHex(out.bytes), toHex(hex("6D 65 6C 6F 00 00 00 3B 00 0D 01 00 01  76 65 72 73 00 04 30 33 30 30"
                                        "74 72 61 63 00 00 00 24  00 FF FF 00 14 11 01 F2 07 02 00 03") +
                                    Bytes(13, 0) + hex("07 FF DE 00  00 12 34  00 FF DF 00")));
  EXPECT_EQ(out.report.formatVersion, 3);
}

// Each case: header sub-chunks, the masks, and what the first track must
// begin with; every track of the input holds old link events, which go.
TEST(MelodyRewriter, InsertsLinksByVersionAndMasks) {
  struct Case {
    const char *name;
    Bytes headers;
    uint16_t vibMask, ledMask;
    Bytes inserted;
    int version;
  } cases[] = {
      {"no vers is version 1", {}, 1, 1, {}, 1},
      {"version 1", vers('1'), 1, 1, {}, 1},
      {"version 4", vers('4'), 1, 1, {}, 4},
      {"0x41 wraps to 0x11", vers('A'), 1, 1, {}, 0x11},
      {"v2 no channels", vers('2'), 0, 0, {}, 2},
      {"v3 no channels", vers('3'), 0, 0, {}, 3},
      {"v2 vibration only", vers('2'), 1, 0, vibCh1, 2},
      {"v2 LED only", vers('2'), 0, 1, ledCh1, 2},
      {"v2 lowest of 3 and 5", vers('2'), 0x14, 0, hex("00 FF FF 00 05 11 F2 04 A0 00"), 2},
      {"v2 channel 16", vers('2'), 0x8000, 0x8000, hex("00 FF FF 00 05 11 F2 04 E0 03  00 FF FF 00 05 11 F2 05 E0 03"),
       2},
      {"v3 LED only", vers('3'), 0, 0x0001, table("01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), 3},
      {"v3 both, channel 16", vers('3'), 0x8001, 0x8000, table("02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 03"), 3},
      {"last vers wins", vers('3') + vers('2'), 1, 0, vibCh1, 2},
  };
  for (const Case &c : cases) {
    Bytes input = melody(c.headers, track(oldVibLink + noteEvent + oldTable) + track(shortEvent + oldLedLink));
    Bytes expected =
        melody(c.headers, track(c.inserted + oldVibLinkLeft + noteEvent + oldTableLeft) + track(shortEvent));
    Converted out = convertWithSettings(input, c.vibMask, c.ledMask);
    EXPECT_EQ(toHex(out.bytes), toHex(expected)) << c.name;
    EXPECT_EQ(out.report.formatKind, FORMAT_IMELODY) << c.name;
    EXPECT_EQ(out.report.formatVersion, c.version) << c.name;
  }
}

// The links are written at the first track by the version known there; a
// "vers" behind it changes neither the links nor the version that the
// converter and the inspector report.
TEST(MelodyRewriter, VersionAfterTheFirstTrackChangesNothing) {
  struct Case {
    const char *name;
    Bytes before, after, inserted;
    int version;
  } cases[] = {
      {"version 2, then 3", vers('2'), vers('3'), vibCh1, 2},
      {"none, then 2", {}, vers('2'), {}, 1},
      {"version 3, then 1", vers('3'), vers('1'), table("02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), 3},
  };
  for (const Case &c : cases) {
    Bytes input = melody(c.before, track(noteEvent) + c.after + track(noteEvent));
    Converted out = convertWithSettings(input, 1, 0);
    EXPECT_EQ(toHex(out.bytes), toHex(melody(c.before, track(c.inserted + noteEvent) + c.after + track(noteEvent))))
        << c.name;
    EXPECT_EQ(out.report.formatVersion, c.version) << c.name;
    MelodyInfo info;
    inspectImage(input.data(), input.size(), &info);
    EXPECT_EQ(info.version, c.version) << c.name;
  }
}

// Each case: an input image and the image it must become, vibration on
// channel 1 only.
TEST(MelodyRewriter, WalksChunksAsDeclared) {
  const Bytes fourByteNote = hex("00 12 34 56");
  struct Case {
    const char *name;
    Bytes input, expected;
  } cases[] = {
      {"note flag 1 makes notes 4 bytes", melody(note(1) + vers('2'), track(fourByteNote + oldVibLink)),
       melody(note(1) + vers('2'), track(vibCh1 + fourByteNote + oldVibLinkLeft))},
      {"note flag 0 keeps them 3 bytes", melody(note(0), track(noteEvent + oldVibLink)),
       melody(note(0), track(noteEvent + oldVibLinkLeft))},
      {"empty first track holds the links", melody(vers('2'), track({})), melody(vers('2'), track(vibCh1))},
      {"no track: header counts to the end", melody(vers('2') + note(0), {}), melody(vers('2') + note(0), {})},
      {"bytes after the declared end are appended",
       melody(vers('2'), track(noteEvent), ascii("junk") + hex("00 00") + track(oldVibLink)),
       melody(vers('2'), track(vibCh1 + noteEvent), ascii("junk") + hex("00 00") + track(oldVibLink))},
      {"tail shorter than a tag is appended", melody(vers('1'), track(noteEvent), hex("01 02 03")),
       melody(vers('1'), track(noteEvent), hex("01 02 03"))},
  };
  for (const Case &c : cases) {
    Converted out = convertWithSettings(c.input, 1, 0);
    EXPECT_EQ(toHex(out.bytes), toHex(c.expected)) << c.name;
    EXPECT_EQ(out.report.formatKind, FORMAT_IMELODY) << c.name;
  }
}

// Notes are passed in a loop of their own. Runs of 0 to 9 notes, with one
// other event (or none) at every position, and the next track straight
// behind: whatever breaks a run, and wherever the track ends, each event is
// kept or dropped on its own. The notes carry 0xFF in every byte but the
// second, the one that tells them from extended events.
TEST(MelodyRewriter, KeepsRunsOfNotesAroundOtherEventsWhereverTheyStand) {
  struct Other {
    Bytes event, left;
  } others[] = {
      {{}, {}},         {oldVibLink, oldVibLinkLeft}, {oldTable, oldTableLeft},
      {oldLedLink, {}}, {shortEvent, shortEvent},     {hex("03 FF F1 00 02 7F 7F"), hex("03 FF F1 00 02 7F 7F")}};
  for (uint8_t flag : {0, 1}) {
    Bytes noteBytes = flag ? hex("FF 12 FF FF") : hex("FF 12 FF");
    for (const Other &other : others) {
      for (int count = 0; count <= 9; ++count) {
        for (int position = 0; position <= count; ++position) {
          Bytes events, kept;
          for (int i = 0; i <= count; ++i) {
            if (i == position) {
              events = events + other.event;
              kept = kept + other.left;
            }
            if (i < count) events = events + noteBytes, kept = kept + noteBytes;
          }
          Bytes input = melody(note(flag), track(events) + track(events));
          Bytes expected = melody(note(flag), track(kept) + track(kept));
          EXPECT_EQ(toHex(convertWithSettings(input, 1, 1).bytes), toHex(expected))
              << "note flag " << int(flag) << ", " << count << " notes, " << toHex(other.event) << " at " << position;
        }
      }
    }
  }
}

TEST(MelodyRewriter, TrackBehindDeclaredEndIsStillRewrittenAndCounted) {
  // The file length counts only the first track; the second stands behind it.
  Bytes first = track(noteEvent), second = track(oldVibLink + shortEvent);
  Bytes input =
      ascii("melo") + be(uint32_t(5 + 10 + first.size()), 4) + hex("00 0D 01 00 01") + vers('2') + first + second;
  Bytes expected = melody(vers('2'), track(vibCh1 + noteEvent) + track(oldVibLinkLeft + shortEvent));
  EXPECT_EQ(toHex(convertWithSettings(input, 1, 0).bytes), toHex(expected));
}

TEST(MelodyRewriter, CmidFileChunkIsWalkedLikeMelo) {
  // The magic stands inside a sub-chunk's data; the walk starts at offset 0.
  Bytes headers = ascii("titl") + hex("00 04") + ascii("melo");
  Bytes input = melody(headers, track(oldLedLink + noteEvent));
  input[0] = 'c', input[1] = 'm', input[2] = 'i', input[3] = 'd';
  Bytes expected = melody(headers, track(noteEvent));
  expected[0] = 'c', expected[1] = 'm', expected[2] = 'i', expected[3] = 'd';
  EXPECT_EQ(toHex(convertWithSettings(input, 0, 0).bytes), toHex(expected));
}

// An event that begins inside its track but runs past the track's declared
// end would take the bytes behind the end along (here the next track's head,
// where the walk goes on): the rewriter gives up on the image. One that ends on the end is kept as it stands. The notes
// that are passed 64 bytes at a time (21 of 3 bytes, 16 of 4) are among them.
TEST(MelodyRewriter, GivesUpOnAnEventRunningPastItsTrack) {
  const Bytes extended = hex("00 FF F1 00 02 7F 7F");
  Bytes threes, fours;
  for (int k = 0; k < 21; ++k) threes = threes + noteEvent;
  for (int k = 0; k < 16; ++k) fours = fours + hex("00 12 34 56");
  struct Case {
    const char *name;
    uint8_t noteFlag;
    Bytes events;
    uint32_t declared;
    bool converts;
  } cases[] = {
      {"a lone note", 0, noteEvent, 2, false},
      {"a lone note that ends on the end", 0, noteEvent, 3, true},
      {"the last of 21 notes passed together", 0, threes, 62, false},
      {"21 notes that end on the end", 0, threes, 63, true},
      {"the last of 16 four-byte notes passed together", 1, fours, 61, false},
      {"16 four-byte notes that end on the end", 1, fours, 64, true},
      {"an extended event's data", 0, noteEvent + extended, 9, false},
      {"an extended event that ends on the end", 0, noteEvent + extended, 10, true},
      {"a short extended event", 0, shortEvent, 3, false},
  };
  for (const Case &c : cases) {
    Bytes next = track(c.noteFlag ? hex("00 12 34 56") : noteEvent);
    Bytes events(c.events.begin(), c.events.begin() + c.declared);  // the last event runs on into `next`
    Bytes input = melody(note(c.noteFlag), ascii("trac") + be(c.declared, 4) + events + next);
    Converted out = convertWithSettings(input, 0, 0);
    EXPECT_EQ(out.report.formatKind, c.converts ? FORMAT_IMELODY : FORMAT_NONE) << c.name;
    EXPECT_EQ(toHex(out.bytes), c.converts ? toHex(input) : "") << c.name;
  }
}

// Images the rewriter cannot rewrite without reading past the input, writing
// past the output or writing its lengths nowhere: it gives up.
TEST(MelodyRewriter, GivesUpOnMalformedImages) {
  Bytes sixThousandOverruns;
  for (int i = 0; i < 6000; ++i) sixThousandOverruns = sixThousandOverruns + hex("74 72 61 63 00 00 00 02 00 FF");
  struct Case {
    const char *name;
    Bytes input;
  } cases[] = {
      {"no file chunk at all", ascii("abcd") + hex("00 04") + ascii("melo")},
      {"a track before the file chunk", track(noteEvent) + melody({}, {})},
      {"file chunk cut short", ascii("melo") + hex("00 00 00")},
      {"track length past the end", melody({}, {}) + ascii("trac") + hex("00 00 00 40") + noteEvent},
      {"track head cut short", melody({}, {}) + ascii("trac") + hex("00 00")},
      {"event data past the end", melody({}, track(hex("00 FF F0 00 09 01 02")))},
      {"event cut after its delta time", melody({}, {}) + ascii("trac") + hex("00 00 00 05 00")},
      {"last of five notes cut short", melody({}, {}) + ascii("trac") + hex("00 00 00 0E") + noteEvent + noteEvent +
                                           noteEvent + noteEvent + hex("00 12")},
      {"sub-chunk data past the end",
       ascii("melo") + hex("00 00 00 40 00 0D 01 00 01") + ascii("titl") + hex("01 00 41")},
      {"vers without its second data byte",
       ascii("melo") + hex("00 00 00 40 00 0D 01 00 01") + ascii("vers") + hex("00 00")},
      {"six thousand events past their tracks' ends", melody({}, {}) + sixThousandOverruns + track({})},
      {"declared length near 2^32", melody({}, {}) + ascii("trac") + hex("FF FF FF F8") + noteEvent},
      {"audio data past the end", melody(vers('4'), ascii("adat") + hex("00 00 01 00") + noteEvent)},
      {"audio head cut short", melody(vers('4'), ascii("adat") + hex("00 00"))},
  };
  for (const Case &c : cases) {
    Converted out = convertWithSettings(c.input, 0xFFFF, 0xFFFF);
    EXPECT_EQ(out.report.formatKind, FORMAT_NONE) << c.name;
    EXPECT_EQ(out.report.formatVersion, 0) << c.name;
    EXPECT_TRUE(out.bytes.empty()) << c.name;
  }
}

// Structures of real files: class events (statuses 0x3F, 0x7F and 0xBF) are
// measured like the 0xFF ones, audio-data chunks are copied whole by their
// 4-byte length and end the header, and a dropped link event leaves its delta
// time behind. Vibration on channel 1, no LED.
TEST(MelodyRewriter, ReadsClassEventsAudioChunksAndKeepsTiming) {
  const Bytes classA = hex("00 3F 80 05"), classB = hex("00 7F 81 10"), classC = hex("00 BF F0 00 02 AA BB");
  const Bytes vibTable = table("02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
  const Bytes fourByteNote = hex("00 12 34 56");
  Bytes audio(300, 0);
  for (size_t i = 0; i < audio.size(); ++i) audio[i] = uint8_t(i * 7);
  Bytes adat = ascii("adat") + be(uint32_t(audio.size()), 4) + audio;
  // Audio bytes that read like a track holding a link event stay as they are.
  Bytes trackLike = ascii("trac") + be(uint32_t(oldVibLink.size()), 4) + oldVibLink;
  Bytes adatTrackLike = ascii("adat") + be(uint32_t(trackLike.size()), 4) + trackLike;
  struct Case {
    const char *name;
    Bytes input, expected;
  } cases[] = {
      {"timing of dropped links, as a user met it",
       melody(vers('2'),
              track(hex("18 3C 60  18 40 60  30 FF FF 00 05 11 F2 04 20 01  18 43 60  00 FF FF 00 05 11 F2 05 20 00"))),
       melody(vers('2'), track(vibCh1 + hex("18 3C 60  18 40 60  30 FF DE 00  18 43 60")))},
      {"class events among 3-byte notes, in several tracks",
       melody(vers('3'), track(classA + classB + oldVibLink + noteEvent + classC + oldLedLink) +
                             track(classC + oldTable + noteEvent + classA)),
       melody(vers('3'), track(vibTable + classA + classB + oldVibLinkLeft + noteEvent + classC) +
                             track(classC + oldTableLeft + noteEvent + classA))},
      {"class events among 4-byte notes",
       melody(note(1) + vers('3'), track(classB + fourByteNote + oldVibLink + classC)),
       melody(note(1) + vers('3'), track(vibTable + classB + fourByteNote + oldVibLinkLeft + classC))},
      {"a class event where a 3-byte note would run past the track",
       melody(vers('3'), track(classA + noteEvent) + track(noteEvent)),
       melody(vers('3'), track(vibTable + classA + noteEvent) + track(noteEvent))},
      {"version 4, audio before the track", melody(vers('4'), adat + track(oldVibLink + noteEvent)),
       melody(vers('4'), adat + track(oldVibLinkLeft + noteEvent))},
      {"two audio chunks, one reading like a track", melody(vers('4'), adat + adatTrackLike + track(noteEvent)),
       melody(vers('4'), adat + adatTrackLike + track(noteEvent))},
      {"audio between tracks; the links still go first",
       melody(vers('2'), adatTrackLike + track(noteEvent) + adat + track(oldLedLink)),
       melody(vers('2'), adatTrackLike + track(vibCh1 + noteEvent) + adat + track({}))},
      {"audio but no track", melody(vers('4'), adat), melody(vers('4'), adat)},
  };
  for (const Case &c : cases) {
    Converted out = convertWithSettings(c.input, 1, 0);
    EXPECT_EQ(toHex(out.bytes), toHex(c.expected)) << c.name;
    EXPECT_EQ(toHex(convertWithSettings(out.bytes, 1, 0).bytes), toHex(out.bytes)) << c.name << ", converted twice";
  }
}

// Notes are passed 64 bytes at a time where the processor allows; wherever
// the extended statuses stand, and wherever the limit falls, that must stop
// exactly where passing them one by one stops.
TEST(MelodyRewriter, NoteBlocksStopWhereTheOneByOneLoopStops) {
  uint32_t state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
  for (uint64_t noteLength : {3, 4}) {
    for (uint32_t density : {2, 20, 200, 5000}) {
      Bytes bytes(4096);
      for (uint8_t &b : bytes) b = uint8_t(next() % 0x3F);
      for (uint32_t k = 0; k < 4096 / density; ++k) bytes[next() % 4096] |= 0x3F;
      for (int trial = 0; trial < 200; ++trial) {
        uint64_t at = next() % 4000, limit = at + next() % (4097 - noteLength - at);
        uint64_t expected = skipNotesOneByOne(bytes.data(), at, limit, noteLength);
        uint64_t blocks = skipNoteBlocks(bytes.data(), at, limit, noteLength);
        EXPECT_LE(blocks, expected);
        EXPECT_EQ(skipNotesOneByOne(bytes.data(), blocks, limit, noteLength), expected)
            << "note length " << noteLength << ", from " << at << " to " << limit;
      }
    }
  }
}
