// The line after a conversion: what the converted file carries, and why it
// carries less than was asked where it could not hold it.
#include <gtest/gtest.h>

#include "engine/inspect.h"
#include "shell/report/carries.h"
#include "tests/images.h"

namespace {

const Bytes notes = hex("00 10 60  00 50 60");

// The status of a score track 6 that links vibration to channel 10 and the
// LED to channels 1 and 8.
Bytes laterStatus() {
  Bytes status(16, 0x01);
  status[9] |= 0x20, status[0] |= 0x10, status[7] |= 0x10;
  return status;
}

const Bytes later = laterStatus();

// A score track 6 too short for the status bytes its format type names.
const Bytes shortSix = chunk(ascii("MTR") + Bytes{6}, hex("02 00 02 02") + Bytes(6, 0));

}  // namespace

TEST(CarriesLine, SaysWhatTheFileHoldsAndWhy) {
  struct Case {
    const char *name;
    Bytes image;
    uint16_t vib, led;
    Language language;
    const char *line;
    bool allTracks = false;
  } cases[] = {
      {"a.mmf", smaf(cnti({})), 0x0002, 0x0014, LANGUAGE_ENGLISH,
       "a.mmf: vibration none (this file has no track that can hold vibration), LED 3 (this file holds one LED "
       "channel)"},
      {"b.mmf", smaf(mtr(1, hex("00 00"))), 0x0003, 0x0001, LANGUAGE_ENGLISH,
       "b.mmf: vibration 1-2, LED none (this file has no place for the LED)"},
      {"c.mmf", smaf(mtr(3, hex("00 00")) + mtr(5, Bytes(16, 0))), 0x0F0F, 0x0042, LANGUAGE_ENGLISH,
       "c.mmf: vibration 1-4,9-12, LED 2,7"},
      {"d.mmf", smaf(mtr(4, hex("00 00"))), 0x1001, 0x0000, LANGUAGE_ENGLISH,
       "d.mmf: vibration 13 (this file's tracks play channels 13-16 only), LED none"},
      {"e.mmf", smaf({}), 0, 0, LANGUAGE_ENGLISH, "e.mmf: vibration none, LED none"},
      {"f.mld", melody(vers('1'), track(notes)), 0x0001, 0x0000, LANGUAGE_ENGLISH,
       "f.mld: vibration none (i-melody version 1 holds no links), LED none"},
      {"{led}.mld", melody(vers('2'), track(notes)), 0x0006, 0x0001, LANGUAGE_ENGLISH,
       "{led}.mld: vibration 2 (i-melody version 2 holds one channel), LED 1"},
      {"g.mmf", smaf(cnti({}) + mtr(2, hex("00 00"))), 0x0011, 0x0006, LANGUAGE_JAPANESE,
       "g.mmf: バイブ 5 (このファイルのトラックが受け持つのはチャンネル 5-8 だけです)、"
       "LED 2 (LED は一チャンネルしか持てません)"},
      {"h.mld", melody(vers('3'), {}), 0x0001, 0x0000, LANGUAGE_JAPANESE,
       "h.mld: バイブ なし (連動を入れるトラックがありません)、LED なし"},
      // Score track 6 keeps its links (vibration 10, LED 1 and 8) unless all
      // tracks are rewritten.
      // A reason that holds for both is said once, after both.
      {"i.mmf", smaf(mtr(6, later, 2)), 0x0001, 0x0001, LANGUAGE_ENGLISH,
       "i.mmf: vibration 10, LED 1,8 (both: score tracks 6 and 7 were left as they were; --all-tracks links them)"},
      {"i.mmf", smaf(mtr(6, later, 2)), 0x0001, 0x0001, LANGUAGE_JAPANESE,
       "i.mmf: バイブ 10、LED 1,8 (どちらも: スコアトラック 6 と 7 は元のままです。--all-tracks で連動させられます)"},
      {"l.mld", melody(vers('1'), track(notes)), 0x0001, 0x0002, LANGUAGE_ENGLISH,
       "l.mld: vibration none, LED none (both: i-melody version 1 holds no links)"},
      {"m.mmf", smaf(mtr(6, later, 2)), 0x0200, 0x0001, LANGUAGE_ENGLISH,
       "m.mmf: vibration 10, LED 1,8 (score tracks 6 and 7 were left as they were; --all-tracks links them)"},
      {"i.mmf", smaf(mtr(6, later, 2)), 0x0001, 0x0001, LANGUAGE_ENGLISH, "i.mmf: vibration 1, LED 1", true},
      {"j.mmf", smaf(mtr(7, Bytes(32, 0), 3)), 0x8000, 0x0000, LANGUAGE_ENGLISH, "j.mmf: vibration 16, LED none", true},
      // Recorded sound plays on whatever the links say.
      {"l.mld", melody(vers('2') + ascii("adat") + be(2, 4) + hex("00 00"), track(notes)), 0x0001, 0x0001,
       LANGUAGE_ENGLISH,
       "l.mld: vibration 1, LED 1; the vibrator and the LED follow the notes, not the recorded sound"},
      {"m.mmf", smaf(mtr(5, Bytes(16, 0)) + chunk(ascii("ATR") + Bytes{0}, hex("00 00 00 00 00 00"))), 0x0001, 0x0001,
       LANGUAGE_JAPANESE, "m.mmf: バイブ 1、LED 1。バイブと LED は音符に連動し、録音された音には連動しません"},
      // A track 6 with no status to read hides nothing behind it.
      {"k.mmf", smaf(cnti({}) + shortSix + mtr(5, Bytes(16, 0))), 0x0002, 0x0004, LANGUAGE_ENGLISH,
       "k.mmf: vibration 2, LED 3"},
  };
  for (const Case &c : cases) {
    ConversionRequest request = {c.vib, c.led, c.allTracks};
    ConvertedByRequest converted = convertWithRequest(c.image, request);
    ASSERT_EQ(converted.result.outcome, CONVERT_DONE) << c.name;
    EXPECT_EQ(carriesLine(c.name, converted.result, request, "--all-tracks", c.language), c.line);
  }
}

TEST(CarriedLinks, AreTheChannelsThatTheLineNames) {
  struct Case {
    const char *name;
    Bytes image;
    uint16_t vib, led;
    bool allTracks;
    uint32_t vibCarried, ledCarried;
    bool laterTracks;
  } cases[] = {
      {"LED tag only", smaf(cnti({})), 0x0002, 0x0014, false, 0x0000, 0x0004, false},
      {"no LED place", smaf(mtr(1, hex("00 00"))), 0x0003, 0x0001, false, 0x0003, 0x0000, false},
      {"track 5 and a tag", smaf(cnti({}) + mtr(5, Bytes(16, 0))), 0x8001, 0x0042, false, 0x8001, 0x0042, false},
      {"tracks of four channels", smaf(mtr(4, hex("00 00"))), 0x1001, 0x0000, false, 0x1000, 0x0000, false},
      {"track 6 left", smaf(mtr(6, later, 2)), 0x0001, 0x0001, false, 0x0200, 0x0081, true},
      {"track 6 linked", smaf(mtr(6, later, 2)), 0x0001, 0x0001, true, 0x0001, 0x0001, true},
      {"track 7 linked", smaf(mtr(7, Bytes(32, 0), 3)), 0x8000, 0x0003, true, 0x8000, 0x0003, true},
      {"track 6 of type 0", smaf(mtr(6, later, 0)), 0x0001, 0x0001, true, 0x0000, 0x0000, false},
      {"track 6 too short", smaf(cnti({}) + shortSix + mtr(5, Bytes(16, 0))), 0x0002, 0x0004, false, 0x0002, 0x0004,
       false},
      {"version 2", melody(vers('2'), track(notes)), 0x0006, 0x0001, false, 0x0002, 0x0001, false},
      {"version 3", melody(vers('3'), track(notes)), 0xFFFF, 0x8000, false, 0xFFFF, 0x8000, false},
      {"not a melody", ascii("plain text"), 0x0001, 0x0001, false, 0x0000, 0x0000, false},
  };
  for (const Case &c : cases) {
    ConvertedByRequest converted = convertWithRequest(c.image, {c.vib, c.led, c.allTracks});
    const CarriedLinks &carried = converted.result.carried;
    EXPECT_EQ(carried.vibration, c.vibCarried) << c.name;
    EXPECT_EQ(carried.led, c.ledCarried) << c.name;
    EXPECT_EQ(carried.laterPlaces != 0, c.laterTracks) << c.name;
    // They are what the inspector reads from the converted file.
    MelodyInfo info;
    inspectWithoutNotes(converted.bytes.data(), converted.bytes.size(), &info);
    EXPECT_EQ(info.vibLinks, carried.vibration) << c.name;
    EXPECT_EQ(ledChannelsCarried(info), carried.led) << c.name;
  }
}
