// The note timeline: every note of the generated melodies, to the hundredth
// of a millisecond, and where decoding stops in damaged ones.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/inspect.h"
#include "engine/melodywalk.h"
#include "engine/smafwalk.h"
#include "engine/timeline.h"
#include "tests/timelineimages.h"

namespace {

Timeline decode(const Bytes &image) {
  Timeline timeline;
  decodeTimeline(image.data(), image.size(), &timeline);
  return timeline;
}

// "channel start+duration key/velocity" for each note, in the order read.
std::vector<std::string> notesOf(const Timeline &timeline) {
  std::vector<std::string> lines;
  for (const TimedNote &n : timeline.notes) {
    char line[96];
    std::snprintf(line, sizeof line, "%d %lld+%lld %d/%d", n.channel, (long long)n.startMs, (long long)n.durationMs,
                  n.key, n.velocity);
    lines.push_back(line);
  }
  return lines;
}

// The sequence of a Mobile track 5 begins at offset 44 of its image, after
// the file chunk, the track's head, its header and status, and the part's head.
const uint64_t mobileSequenceAt = 44;

}  // namespace

TEST(Timeline, DecodesEveryNoteOfEachEncoding) {
  struct Case {
    const char *name;
    Bytes image;
    std::vector<std::string> notes;
    int64_t durationMs;
    bool loops;
    int channels;
  } cases[] = {
      {"i-melody: one tempo map for all tracks",
       tempoMapMelody(),
       {"1 496+248 64/127", "1 1860+220 64/127", "6 2677+129 60/127", "7 6846+258 60/127"},
       7104,
       true,
       16},
      {"i-melody: 4-byte notes, time bases, a fifth track",
       fourByteMelody(),
       {"1 156+469 60/127", "1 313+625 72/65", "1 469+531 36/2", "1 625+438 48/0", "1 938+187 60/127",
        "1 1188+187 60/127", "17 0+469 60/127"},
       1375,
       false,
       16},
      {"SMAF HandyPhone, tracks 1 to 4",
       smaf(cnti(ascii("ST:Hand,")) + handyPhoneTracks()),
       {"1 0+160 84/127", "4 1088+1945 41/127", "2 1108+80 61/127", "2 1108+80 25/127", "7 0+80 48/127",
        "9 64+80 46/127", "16 64+80 82/127"},
       3033,
       false,
       16},
      {"SMAF Mobile",
       smaf(mobileTrack(2, mobileSequence(), chunk(ascii("Mtsu"), hex("01 02")))),
       {"1 0+32 60/100", "2 100+256 64/80", "2 100+16 65/80", "3 2660+8 72/100"},
       2680,
       false,
       16},
      {"SMAF Mobile, compressed",
       smaf(mobileTrack(1, huffmanCoded(mobileSequence()))),
       {"1 0+32 60/100", "2 100+256 64/80", "2 100+16 65/80", "3 2660+8 72/100"},
       2680,
       false,
       16},
      {"SMAF, 32 channels", smaf(wideTrack()), {"16 0+16 60/64", "32 0+16 62/64", "17 0+16 48/100"}, 16, false, 32},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(notesOf(timeline), c.notes) << c.name;
    EXPECT_EQ(timeline.durationMs, c.durationMs) << c.name;
    EXPECT_EQ(timeline.loops, c.loops) << c.name;
    EXPECT_EQ(timeline.channels, c.channels) << c.name;
    EXPECT_EQ(timeline.stopped.stop, 0) << c.name;
    EXPECT_EQ(timeline.notesStopped.stop, TIMELINE_DONE) << c.name;
  }
}

// Times in whole milliseconds, exact: SMAF's longest wait and gate (2^28 - 1
// units of 50 ms); an i-melody note whose exact start lies on a half
// millisecond after two tempos (12 ticks of 1250 / 80 ms, 190 of 1250 / 38:
// 6437.5 ms) starts at the next millisecond; a piece of 649.5 ms (53 ticks
// of 1250 / 102 ms) lasts 650 ms and 649 before rounding.
TEST(Timeline, TimesAreWholeMillisecondsRoundedOnceFromTheExactTime) {
  struct Case {
    const char *name;
    Bytes image;
    std::vector<std::string> notes;
    int64_t durationMs, durationFloorMs;
  } cases[] = {
      {"SMAF's longest wait and gate",
       smaf(scoreTrack(5, 2, 0x13, 0x13, Bytes(16, 0), mtsq(hex("FF FF FF 7F 80 3C FF FF FF 7F  00 FF 2F 00")))),
       {"1 13421772750+13421772750 60/100"},
       26843545500,
       26843545500},
      {"a start on a half millisecond",
       melody(vers('2'), track(hex("00 FF C3 50  0C FF C3 26  BE 0F 30"))),
       {"1 6438+1578 60/127"},
       8016,
       8016},
      {"a length half a millisecond below its rounding",
       melody(vers('2'), track(hex("00 FF C3 66  00 0F 35"))),
       {"1 0+650 60/127"},
       650,
       649},
      // Tempos 127, 131, 137, 139, 149 and 151, a tick each: their tick
      // lengths' denominators multiply past 2^32. The note lasts from
      // 54.17 to 451.52 ms.
      {"tempos whose tick lengths share no factor",
       melody(vers('2'), track(hex("00 FF C3 7F  01 FF C3 83  01 FF C3 89  01 FF C3 8B  01 FF C3 95  01 FF C3 97"
                                   "  01 0F 30"))),
       {"1 54+398 60/127"},
       452,
       451},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(notesOf(timeline), c.notes) << c.name;
    EXPECT_EQ(timeline.durationMs, c.durationMs) << c.name;
    EXPECT_EQ(timeline.durationFloorMs, c.durationFloorMs) << c.name;
  }
}

// "start+duration" for each wave of recorded sound, in the order read.
std::vector<std::string> soundOf(const Timeline &timeline) {
  std::vector<std::string> spans;
  for (const SoundSpan &sound : timeline.recordedSound)
    spans.push_back(std::to_string(sound.startMs) + "+" + std::to_string(sound.durationMs));
  return spans;
}

// Audio tracks play their waves at the times of their own sequences; the
// piece lasts until the latest end of a sequence, a wave or a note, and
// recorded sound plays for the union of its spans. An audio track before
// the file chunk is no part of the file.
TEST(Timeline, RecordedSoundOfAudioTracks) {
  // Wave 1 from 0 for 4000 ms (1000 units of 4 ms), a sequence that ends at 6000 ms.
  Bytes longSequence = audioTrack(0, 0, 0x02, 0x02, atsq(hex("00 01 86 68  8A 5C FF 00  00 00 00 00")));
  struct Case {
    const char *name;
    Bytes image;
    std::vector<std::string> sound;
    size_t notes;
    int64_t durationMs, soundMs;
  } cases[] = {
      {"two audio tracks", smaf(audioTracks()), {"0+1000", "500+1000", "2000+500"}, 0, 2500, 2000},
      {"audio tracks and notes",
       smaf(cnti(ascii("ST:Rec,")) + audioTracks() + mobileTrack(2, mobileSequence())),
       {"0+1000", "500+1000", "2000+500"},
       4,
       2680,
       2000},
      {"a sequence longer than its wave", smaf(longSequence), {"0+4000"}, 0, 6000, 4000},
      {"an audio track before the file chunk", longSequence + smaf(cnti(ascii("ST:A,"))), {}, 0, 0, 0},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(soundOf(timeline), c.sound) << c.name;
    EXPECT_EQ(timeline.notes.size(), c.notes) << c.name;
    EXPECT_EQ(timeline.durationMs, c.durationMs) << c.name;
    EXPECT_EQ(recordedSoundMs(timeline), c.soundMs) << c.name;
    EXPECT_EQ(timeline.notesStopped.stop, TIMELINE_DONE) << c.name;
  }
}

// A tempo event behind a long run of notes takes effect at the sum of their
// delta times, for the notes of every track: runs of 3- and 4-byte notes
// long enough to be counted many at a time, with every delta different.
TEST(Timeline, LongRunsOfNotesMoveTheTempoOfOtherTracks) {
  for (uint8_t flag : {0, 1}) {
    Bytes run;
    uint64_t ticks = 0;
    for (int i = 0; i < 203; ++i) {
      uint8_t delta = uint8_t(i * 37 % 251 + 1);
      ticks += delta;
      run = run + Bytes{delta, 0x10, 0x01};
      if (flag) run.push_back(0xFC);
    }
    run = run + hex("00 FF C3 3C");  // time base 48, tempo 60
    // The other track waits past the tempo event with a long no-op, then
    // plays one note.
    uint64_t wait = 256 * (ticks / 256 + 1);
    Bytes other = Bytes{0x00, 0xFF, 0xDC, uint8_t(wait / 256)} + (flag ? hex("00 10 01 FC") : hex("00 10 01"));
    Timeline timeline = decode(melody(vers('2') + note(flag), track(run) + track(other)));
    ASSERT_EQ(timeline.notes.size(), 204u) << int(flag);
    // 60000 / (48 x 128) = 1875 / 192 ms a tick, then 60000 / (48 x 60) = 4000 / 192; a half rounds up.
    uint64_t parts = ticks * 1875 + (wait - ticks) * 4000;
    EXPECT_EQ(timeline.notes.back().startMs, int64_t((parts + 96) / 192)) << int(flag);
    EXPECT_EQ(timeline.notes.back().channel, 5) << int(flag);
  }
}

// Each damaged image stops decoding where its fault lies, keeping the notes
// read before it; the walk itself reads the image whole.
TEST(Timeline, StopsAtTheFaultAndKeepsTheNotesBefore) {
  const uint64_t anywhere = UINT64_MAX;
  Bytes cutCodes = huffmanCoded(hex("00 80 3C 10  05 91 40 50 81 00  00 81 41 08  81 00 82 48 04"));
  cutCodes.pop_back();
  struct Case {
    const char *name;
    Bytes image;
    TimelineStop stop;
    uint64_t at;
    uint32_t number;
    size_t notesKept;
  } cases[] = {
      {"tempo 0", melody(vers('2'), track(hex("00 0F 30  00 FF C3 00  00 0F 30"))), TIMELINE_TEMPO_ZERO, 34, 1, 1},
      {"cut HandyPhone sequence", smaf(scoreTrack(1, 0, 2, 3, hex("00 00"), mtsq(hex("00 3C 20  05 51")))),
       TIMELINE_SEQUENCE_CUT, 35, 1, 1},
      {"cut Mobile sequence", smaf(mobileTrack(2, hex("00 80 3C 10  00 91 40"))), TIMELINE_SEQUENCE_CUT,
       mobileSequenceAt + 7, 5, 1},
      {"endless number", smaf(mobileTrack(2, hex("00 80 3C 10  80 80 80 80 01 80 3C 10"))), TIMELINE_ENDLESS_NUMBER,
       mobileSequenceAt + 4, 5, 1},
      {"unknown Mobile event", smaf(mobileTrack(2, hex("00 80 3C 10  00 70"))), TIMELINE_UNKNOWN_EVENT,
       mobileSequenceAt + 5, 5, 1},
      {"unknown 32-channel event", smaf(scoreTrack(7, 3, 0, 0, Bytes(32, 0), mtsq(hex("00 7F")))),
       TIMELINE_UNKNOWN_EVENT, 61, 7, 0},
      {"unknown HandyPhone event", smaf(scoreTrack(2, 0, 2, 3, hex("00 00"), mtsq(hex("00 FF 01")))),
       TIMELINE_UNKNOWN_EVENT, 31, 2, 0},
      {"reserved time base", smaf(scoreTrack(1, 0, 0x05, 0x03, hex("00 00"), mtsq(hex("00 3C 20")))),
       TIMELINE_UNKNOWN_TIME_BASE, 8, 1, 0},
      {"unknown format type", smaf(scoreTrack(1, 4, 2, 3, hex("00 00"), {})), TIMELINE_UNKNOWN_FORMAT, 8, 1, 0},
      {"HandyPhone in track 5", smaf(scoreTrack(5, 0, 2, 3, Bytes(16, 0), {})), TIMELINE_UNKNOWN_FORMAT, 8, 5, 0},
      {"header short for its status", smaf(chunk(ascii("MTR\x01"), hex("02 00 02 02 00 00"))),
       TIMELINE_TRACK_HEADER_SHORT, 8, 1, 0},
      {"part past the track's end",
       smaf(scoreTrack(1, 0, 2, 3, hex("00 00"), ascii("Mtsq") + be(10, 4) + hex("00 3C 20"))), TIMELINE_PART_CUT, 22,
       1, 0},
      {"cut compressed stream", smaf(mobileTrack(1, cutCodes)), TIMELINE_HUFFMAN_CUT,
       mobileSequenceAt + cutCodes.size(), 5, 3},
      {"compressed head cut", smaf(mobileTrack(1, hex("00 00"))), TIMELINE_HUFFMAN_CUT, mobileSequenceAt + 2, 5, 0},
      {"count beyond the bits", smaf(mobileTrack(1, huffmanCoded(mobileSequence(), 0xFFFFFFFF))),
       TIMELINE_HUFFMAN_CLAIM, anywhere, 5, 0},
      {"a tree of one leaf", smaf(mobileTrack(1, huffmanCoded(hex("00")))), TIMELINE_HUFFMAN_TREE, mobileSequenceAt + 5,
       5, 0},
      {"a tree without end", smaf(mobileTrack(1, Bytes(100, 0xFF))), TIMELINE_HUFFMAN_TREE, mobileSequenceAt + 67, 5,
       0},
  };
  // In an audio track the same faults carry the audio track's flag.
  const int audio = timelineInAudioTrack;
  Bytes wave = hex("00 01 10");
  struct AudioCase {
    const char *name;
    Bytes image;
    int stop;
    uint64_t at;
    uint32_t number;
  } audioCases[] = {
      {"audio header short", smaf(chunk(ascii("ATR\x02"), hex("00 00 10 00 02"))), TIMELINE_TRACK_HEADER_SHORT | audio,
       8, 2},
      {"audio track of another format", smaf(audioTrack(0, 1, 2, 2, atsq(wave))), TIMELINE_UNKNOWN_FORMAT | audio, 8,
       0},
      {"audio track's reserved time base", smaf(audioTrack(0, 0, 0x20, 2, atsq(wave))),
       TIMELINE_UNKNOWN_TIME_BASE | audio, 8, 0},
      {"audio part past the track's end", smaf(audioTrack(3, 0, 2, 2, ascii("Atsq") + be(9, 4) + wave)),
       TIMELINE_PART_CUT | audio, 22, 3},
      {"cut audio sequence", smaf(audioTrack(0, 0, 2, 2, atsq(wave + hex("00 02")))), TIMELINE_SEQUENCE_CUT | audio, 35,
       0},
      {"unknown audio event", smaf(audioTrack(0, 0, 2, 2, atsq(wave + hex("00 FF 01")))),
       TIMELINE_UNKNOWN_EVENT | audio, 34, 0},
  };
  for (const AudioCase &c : audioCases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(timeline.notesStopped.stop, c.stop) << c.name;
    EXPECT_EQ(timeline.notesStopped.at, c.at) << c.name;
    EXPECT_EQ(timeline.notesStopped.number, c.number) << c.name;
  }
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(timeline.stopped.stop, 0) << c.name;
    EXPECT_EQ(timeline.notesStopped.stop, c.stop) << c.name;
    if (c.at != anywhere) {
      EXPECT_EQ(timeline.notesStopped.at, c.at) << c.name;
    }
    EXPECT_EQ(timeline.notesStopped.number, c.number) << c.name;
    EXPECT_EQ(timeline.notes.size(), c.notesKept) << c.name;
  }
}

// The decoder follows the walk: where the walk stops it says so as the
// inspector does, with the notes read before.
TEST(Timeline, ReportsTheWalksStopAsTheInspectorDoes) {
  Bytes cutTrack = melody(vers('2'), track(hex("00 0F 30  00 0F 30")));
  cutTrack.pop_back();
  struct Case {
    const char *name;
    Bytes image;
    int stop;
    size_t notes;
  } cases[] = {
      {"i-melody track cut", cutTrack, MELODY_TRACK_CUT, 1},
      {"a track before the file chunk", track(hex("00 0F 30")) + melody({}, {}), MELODY_BODY_FIRST, 1},
      {"SMAF chunk cut",
       ascii("MMMD") + hex("00 00 00 40") + mobileTrack(2, hex("00 80 3C 10")) + ascii("MTR") + hex("02 00 00 00 09"),
       SMAF_CHUNK_CUT, 1},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    MelodyInfo info;
    inspectWithoutNotes(c.image.data(), c.image.size(), &info);
    EXPECT_EQ(timeline.stopped.stop, c.stop) << c.name;
    EXPECT_EQ(timeline.stopped.stop, info.stopped.stop) << c.name;
    EXPECT_EQ(timeline.stopped.at, info.stopped.at) << c.name;
    EXPECT_EQ(timeline.stopped.number, info.stopped.number) << c.name;
    EXPECT_EQ(timeline.notes.size(), c.notes) << c.name;
  }
}

// A phone reads only the chunks inside the file chunk: a score track before
// it gives no notes and no length, as the inspector lists no chunk there.
TEST(Timeline, ReadsOnlyTheChunksInsideTheFileChunk) {
  Bytes track = mobileTrack(2, mobileSequence());
  struct Case {
    const char *name;
    Bytes image;
    size_t notes;
    int64_t durationMs;
  } cases[] = {
      {"a score track before the file chunk", track + smaf(cnti(ascii("ST:A,"))), 0, 0},
      {"the same track inside it", smaf(cnti(ascii("ST:A,")) + track), 4, 2680},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    EXPECT_EQ(timeline.notes.size(), c.notes) << c.name;
    EXPECT_EQ(timeline.durationMs, c.durationMs) << c.name;
    MelodyInfo info;
    inspectImage(c.image.data(), c.image.size(), &info);
    EXPECT_EQ(info.notes[0], c.notes ? 1u : 0u) << c.name;
  }
}

// The notes' storage grows with the notes that arrive, not with what the
// input could hold: a compressed sequence of one note among thousands of
// no-ops, and an i-melody track of one note beside a long event.
TEST(Timeline, StorageFollowsTheNotesRead) {
  Bytes noOps = hex("00 80 3C 10");
  for (int k = 0; k < 10000; ++k) noOps = noOps + hex("00 FF 00");
  Bytes longEvent = hex("00 0F 30  00 FF F0 EA 60") + Bytes(60000, 0x11);
  struct Case {
    const char *name;
    Bytes image;
  } cases[] = {
      {"compressed", smaf(mobileTrack(1, huffmanCoded(noOps + hex("00 FF 2F 00"))))},
      {"i-melody", melody(vers('2'), track(longEvent))},
  };
  for (const Case &c : cases) {
    Timeline timeline;
    decodeTimeline(c.image.data(), c.image.size(), &timeline);
    EXPECT_EQ(timeline.notesStopped.stop, TIMELINE_DONE) << c.name;
    EXPECT_EQ(timeline.notes.size(), 1u) << c.name;
    EXPECT_LE(timeline.notes.capacity(), 16u) << c.name;
  }
}

// What the file says of each channel's sound: SMAF's rhythm kind in the
// status of tracks 5 to 7 (not in 0 to 4, nor in an audio track), programs
// and banks that the sequences set (the last wins; a Mobile bank is MSB x
// 128 + LSB), the i-melody's program, bank and drum channel events. Every
// other channel stays blank.
TEST(Timeline, VoicesAsTheFileSaysThem) {
  Bytes status5(16, 0x00), status7(32, 0x00), status6(16, 0x00);
  status5[2] = 0x23, status5[9] = 0x03, status5[4] = 0x01;  // channels 3 and 10 rhythm; 5 not
  status7[25] = 0x13;
  status6[0] = 0x02, status6[11] = 0xC3;
  Bytes handyPhone = hex("00 00 70 07  00 00 B1 81  00 00 70 08  00 00 31 02  00 00 32 01  00 FA 10  00 00 00");
  struct Case {
    const char *name;
    Bytes image;
    std::vector<std::string> voices;  // "channel rhythm program bank" of each channel not blank
  } cases[] = {
      {"SMAF track 5: kinds, Mobile programs and banks",
       smaf(scoreTrack(
           5, 2, 0x11, 0x01, status5,
           mtsq(hex("00 C3 15  00 C3 16  00 B3 00 01  00 B3 20 02  00 BA 20 05  00 B1 07 64  00 FF 2F 00")))),
       {"3 1 -1 -1", "4 0 22 130", "10 1 -1 -1", "11 0 -1 5"}},
      {"SMAF tracks 6 and 7, 32 channels",
       smaf(scoreTrack(6, 2, 0, 0, status6, {}) + scoreTrack(7, 3, 0, 0, status7, mtsq(hex("00 C0 2A  00 FF 2F 00")))),
       {"12 1 -1 -1", "17 0 42 -1", "26 1 -1 -1"}},
      {"SMAF HandyPhone track 2 and an audio track",
       smaf(scoreTrack(2, 0, 2, 3, hex("FF FF"), mtsq(handyPhone)) +
            audioTrack(0, 0, 2, 2, atsq(hex("00 00 70 09  00 00 00 00")))),
       {"5 0 -1 2", "6 0 8 -1", "7 0 -1 129"}},
      {"i-melody",
       melody(vers('2'), track(hex("00 FF E0 45  00 FF E1 C3  00 FF BA 49  00 FF BA 51  00 3F E0 07  00 0F 30")) +
                             track(hex("00 FF E0 02  00 FF BA 48"))),
       {"2 0 5 -1", "4 0 -1 3", "5 0 2 -1", "11 1 -1 -1"}},
  };
  for (const Case &c : cases) {
    Timeline timeline = decode(c.image);
    std::vector<std::string> voices;
    for (int k = 0; k < describedChannels; ++k) {
      const ChannelVoice &v = timeline.voices[k];
      if (v.rhythm || v.program != -1 || v.bank != -1)
        voices.push_back(std::to_string(k + 1) + " " + std::to_string(v.rhythm) + " " + std::to_string(v.program) +
                         " " + std::to_string(v.bank));
    }
    EXPECT_EQ(voices, c.voices) << c.name;
    EXPECT_EQ(timeline.notesStopped.stop, TIMELINE_DONE) << c.name;
  }
}

// --info counts what the timeline decodes: i-melody channels 1 to 16, every
// SMAF channel.
TEST(Timeline, InspectorCountsTheTimelinesNotes) {
  struct Case {
    const char *name;
    Bytes image;
    std::vector<std::pair<int, uint32_t>> counts;
  } cases[] = {
      {"fifth track left out", fourByteMelody(), {{1, 6}}},
      {"HandyPhone", smaf(handyPhoneTracks()), {{1, 1}, {2, 2}, {4, 1}, {7, 1}, {9, 1}, {16, 1}}},
      {"32 channels", smaf(wideTrack()), {{16, 1}, {17, 1}, {32, 1}}},
  };
  for (const Case &c : cases) {
    MelodyInfo info;
    inspectImage(c.image.data(), c.image.size(), &info);
    std::vector<uint32_t> expected(32, 0);
    for (const auto &count : c.counts) expected[size_t(count.first - 1)] = count.second;
    EXPECT_EQ(std::vector<uint32_t>(info.notes, info.notes + 32), expected) << c.name;
    EXPECT_EQ(info.durationMs, decode(c.image).durationMs) << c.name;
  }
  Bytes stopped = melody(vers('2'), track(hex("00 0F 30  00 FF C3 00")));
  MelodyInfo info;
  inspectImage(stopped.data(), stopped.size(), &info);
  EXPECT_EQ(info.stopped.stop, MELODY_DONE) << "the converter's walk reads it whole";
  EXPECT_EQ(info.notesStopped.stop, TIMELINE_TEMPO_ZERO);
  inspectWithoutNotes(stopped.data(), stopped.size(), &info);
  EXPECT_EQ(info.notes[0], 0u);
  EXPECT_EQ(info.notesStopped.stop, TIMELINE_DONE);
}
