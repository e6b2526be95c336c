// The suggestion on pieces whose parts the tests wrote: the vibrator on the
// bass or the drums and the LED on the tune, within the bands, the same in
// both formats, under renumbered channels and an octave up or down; only
// what the file can carry, and converting with it links exactly that.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/inspect.h"
#include "engine/suggest.h"
#include "tests/partimages.h"

namespace {

FileSuggestion suggestionOf(const Bytes &image, bool allTracks = false) {
  FileSuggestion file;
  suggestForImage(image.data(), image.size(), allTracks, &file);
  return file;
}

struct Links {
  uint32_t vibration, led;
  bool operator==(const Links &o) const { return vibration == o.vibration && led == o.led; }
};

std::ostream &operator<<(std::ostream &out, const Links &links) {
  return out << "vibration " << std::hex << links.vibration << ", LED " << links.led << std::dec;
}

Links linksOf(const Suggestion &s) { return {s.vibration, s.led}; }

// What the file links once converted with the suggestion, read back by the
// inspector.
Links carried(const Bytes &image, const Suggestion &s, bool allTracks = false) {
  ConvertedByRequest converted = convertWithRequest(image, {s.vibration, s.led, allTracks});
  MelodyInfo info;
  inspectImage(converted.bytes.data(), converted.bytes.size(), &info);
  return {info.vibLinks, ledChannelsCarried(info)};
}

bool withinBands(const VibrationPattern &p) {
  return p.duty >= 0.15 && p.duty <= 0.5 && p.pulsesPerSecond >= 0.5 && p.pulsesPerSecond <= 4 && p.longestMs <= 1000 &&
         p.shortShare <= 0.2;
}

int channelOf(const std::vector<PartPlace> &places, Part part) {
  for (const PartPlace &p : places)
    if (p.part == part) return p.channel;
  return 0;
}

uint32_t bit(int channel) { return channel ? uint32_t(1) << (channel - 1) : 0; }

// A piece of a lead and, by chance, a bass, drums, a pad, an arpeggio and a
// faster line a third below the lead, on channels drawn at random, at a
// tempo, key and bass articulation drawn too.
std::vector<PartPlace> drawnArrangement(PartRandom &random) {
  std::vector<int> channels;
  for (int c = 1; c <= 16; ++c) channels.insert(channels.begin() + random.below(c), c);
  std::vector<PartPlace> places = {{PART_LEAD, channels[0]}};
  const Part optional[] = {PART_BASS, PART_DRUMS, PART_PAD, PART_ARPEGGIO, PART_HARMONY};
  const int percent[] = {80, 70, 50, 40, 30};
  for (int k = 0; k < 5; ++k)
    if (random.below(100) < percent[k]) places.push_back({optional[k], channels[size_t(k + 1)]});
  return places;
}

PartStyle drawnStyle(PartRandom &random, uint32_t seed) {
  static const int bassShares[] = {25, 40, 40, 55, 70, 90};
  return {4 + random.below(5), 400 + 40 * random.below(6), 62 + random.below(15), seed, bassShares[random.below(6)]};
}

}  // namespace

// Drawn pieces in both formats: the roles as written, the vibrator on the
// bass or the drums wherever one of them is there, the LED on the lead.
TEST(Suggestion, FollowsTheBassAndTheTuneOfDrawnPieces) {
  PartRandom random = {2024};
  int pieces = 0, ledOnLead = 0, withBassOrDrums = 0, vibrationOnBassOrDrums = 0, inBands = 0;
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    std::vector<PartPlace> places = drawnArrangement(random);
    Piece piece = pieceOf(places, drawnStyle(random, seed));
    FileSuggestion melody = suggestionOf(melodyOf(piece)), mobile = suggestionOf(smaf(mobileScoreTrack(piece)));
    for (const PartPlace &p : places) {
      ChannelRole role = melody.roles.figures[p.channel - 1].role;
      EXPECT_EQ(role, writtenRole(p.part)) << "seed " << seed << ", channel " << p.channel;
      EXPECT_EQ(role, mobile.roles.figures[p.channel - 1].role) << "seed " << seed << ", channel " << p.channel;
    }
    const Suggestion &s = melody.suggestion;
    ASSERT_EQ(linksOf(s), linksOf(mobile.suggestion)) << "seed " << seed;
    EXPECT_EQ(s.vibrationReason, mobile.suggestion.vibrationReason) << "seed " << seed;
    EXPECT_EQ(s.ledReason, mobile.suggestion.ledReason) << "seed " << seed;
    EXPECT_TRUE(s.vibrationReason != CHOICE_IN_BANDS || withinBands(s.vibrationPattern)) << "seed " << seed;
    EXPECT_EQ(carried(melodyOf(piece), s), linksOf(s)) << "seed " << seed;
    EXPECT_EQ(carried(smaf(mobileScoreTrack(piece)), s), linksOf(s)) << "seed " << seed;
    uint32_t bassOrDrums = bit(channelOf(places, PART_BASS)) | bit(channelOf(places, PART_DRUMS));
    ++pieces;
    ledOnLead += s.led == bit(channelOf(places, PART_LEAD));
    inBands += s.vibrationReason == CHOICE_IN_BANDS;
    if (bassOrDrums) {
      ++withBassOrDrums;
      vibrationOnBassOrDrums += (s.vibration & bassOrDrums) != 0;
    }
  }
  std::printf(
      "drawn pieces: %d; LED on the lead in %d; vibrator on the bass or the drums in %d of the %d with either; "
      "within every band in %d\n",
      pieces, ledOnLead, vibrationOnBassOrDrums, withBassOrDrums, inBands);
  EXPECT_EQ(ledOnLead, pieces);
  EXPECT_EQ(vibrationOnBassOrDrums, withBassOrDrums);
}

namespace {

// A bass on the first beat of each bar and another part on the third, 200 ms
// each: neither alone runs for 15 % of the time, together they do; a tune
// above them.
Piece twoSparseParts() {
  Piece piece = pieceOf({{PART_LEAD, 1}}, {4, 500, 72, 3});
  for (int bar = 0; bar < 4; ++bar) {
    piece.notes.push_back({9, bar * 2000, 200, 40 + bar % 2 * 5});
    piece.notes.push_back({4, bar * 2000 + 1000, 200, 50 + bar % 2 * 2});
  }
  return piece;
}

struct Expected {
  uint16_t vibration;
  ChoiceReason vibrationReason;
  uint16_t led;
  ChoiceReason ledReason;
};

void expectSuggestion(const FileSuggestion &file, const Expected &e, const std::string &name) {
  const Suggestion &s = file.suggestion;
  EXPECT_EQ(s.vibration, e.vibration) << name;
  EXPECT_EQ(s.vibrationReason, e.vibrationReason) << name;
  EXPECT_EQ(s.led, e.led) << name;
  EXPECT_EQ(s.ledReason, e.ledReason) << name;
}

}  // namespace

// Each rule of the choice on a piece made for it.
TEST(Suggestion, RulesOfTheChoice) {
  const PartStyle style = {4, 480, 72, 1}, legato = {4, 480, 72, 1, 95};
  struct Case {
    const char *name;
    Piece piece;
    Expected expected;
  } cases[] = {
      {"a short bass within the bands",
       pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}}, style),
       {0x0020, CHOICE_IN_BANDS, 0x0010, CHOICE_MELODY}},
      {"a legato bass, one long pulse: the bass all the same",
       pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}}, legato),
       {0x0020, CHOICE_BASS_FALLBACK, 0x0010, CHOICE_MELODY}},
      {"no bass: the drums",
       pieceOf({{PART_LEAD, 5}, {PART_DRUMS, 10}}, style),
       {0x0200, CHOICE_DRUMS_FALLBACK, 0x0010, CHOICE_MELODY}},
      {"never the pad or the arpeggio",
       pieceOf({{PART_LEAD, 3}, {PART_PAD, 1}, {PART_ARPEGGIO, 2}}, style),
       {0x0004, CHOICE_CLOSEST, 0x0004, CHOICE_MELODY}},
      {"nothing to follow",
       pieceOf({{PART_PAD, 1}, {PART_ARPEGGIO, 2}}, style),
       {0, CHOICE_NOTHING_FITS, 0, CHOICE_NOTHING_FITS}},
      {"of two tunes the one the eye can follow",
       pieceOf({{PART_LEAD, 8}, {PART_HARMONY, 4}, {PART_BASS, 15}, {PART_DRUMS, 11}}, {4, 400, 72, 1}),
       {0x4000, CHOICE_IN_BANDS, 0x0080, CHOICE_SLOWER_MELODY}},
      {"no tune: the light on the bass",
       pieceOf({{PART_BASS, 6}, {PART_ARPEGGIO, 2}}, style),
       {0x0020, CHOICE_IN_BANDS, 0x0020, CHOICE_BASS_LINE}},
      {"two sparse parts together", twoSparseParts(), {0x0108, CHOICE_IN_BANDS, 0x0001, CHOICE_MELODY}},
      {"no notes", {{}, 1000}, {0, CHOICE_NO_NOTES, 0, CHOICE_NO_NOTES}},
  };
  for (const Case &c : cases) {
    expectSuggestion(suggestionOf(melodyOf(c.piece)), c.expected, std::string("i-melody: ") + c.name);
    expectSuggestion(suggestionOf(smaf(mobileScoreTrack(c.piece))), c.expected, std::string("SMAF: ") + c.name);
  }
}

// Renumbered channels move the suggestion with them; an octave up or down
// leaves it as it was.
TEST(Suggestion, MovesWithTheChannelsAndIgnoresOctaves) {
  std::vector<int> reversed, rotated;
  for (int c = 1; c <= 16; ++c) reversed.push_back(17 - c), rotated.push_back(c % 16 + 1);
  auto moved = [](uint16_t mask, const std::vector<int> &map) {
    uint16_t out = 0;
    for (int c = 1; c <= 16; ++c)
      if ((mask >> (c - 1)) & 1) out = uint16_t(out | 1u << (map[size_t(c - 1)] - 1));
    return out;
  };
  PartRandom random = {77};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Piece piece = pieceOf(drawnArrangement(random), drawnStyle(random, seed));
    Suggestion s = suggestionOf(melodyOf(piece)).suggestion;
    for (const std::vector<int> &map : {reversed, rotated}) {
      Suggestion r = suggestionOf(melodyOf(renumbered(piece, map))).suggestion;
      EXPECT_EQ(r.vibration, moved(s.vibration, map)) << "seed " << seed;
      EXPECT_EQ(r.led, moved(s.led, map)) << "seed " << seed;
      EXPECT_EQ(r.vibrationReason, s.vibrationReason) << "seed " << seed;
    }
    for (int octave : {-12, 12}) {
      Suggestion t = suggestionOf(smaf(mobileScoreTrack(transposed(piece, octave)))).suggestion;
      EXPECT_EQ(linksOf(t), linksOf(s)) << "seed " << seed << ", " << octave;
      EXPECT_EQ(t.ledReason, s.ledReason) << "seed " << seed << ", " << octave;
    }
  }
}

namespace {

// Score track 6 in the Mobile format holding every note, its status as the
// bytes give it.
Bytes laterScoreTrack(const Piece &piece, const Bytes &status) {
  Bytes track = mobileScoreTrack(piece);
  track[3] = 0x06;
  std::copy(status.begin(), status.end(), track.begin() + 12);
  return track;
}

}  // namespace

// What the file can carry bounds the suggestion, and converting with it
// links exactly that; where the file carries nothing, the reason says why.
TEST(Suggestion, OnlyWhatTheFileCanCarry) {
  const Piece band = pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}}, {4, 480, 72, 1});
  const Piece lowBand = transposed(pieceOf({{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}}, {4, 480, 62, 1}), 2);
  Bytes linkedLater(16, 0x00);
  linkedLater[0] = 0x20, linkedLater[2] = 0x10;  // vibration on channel 1, LED on 3
  Bytes cut = melodyOf(band);
  cut.resize(cut.size() - 20);
  struct Case {
    const char *name;
    Bytes image;
    bool allTracks;
    RoomLimit vibrationLimit, ledLimit;
    Expected expected;
    Links extra;  // links that the conversion keeps beside the suggestion
  } cases[] = {
      {"i-melody version 1",
       melodyOf(band, '1'),
       false,
       ROOM_NO_LINKS,
       ROOM_NO_LINKS,
       {0, CHOICE_NO_ROOM, 0, CHOICE_NO_ROOM},
       {}},
      {"i-melody version 2: one channel",
       melodyOf(twoSparseParts(), '2'),
       false,
       ROOM_OPEN,
       ROOM_OPEN,
       {0x0100, CHOICE_BASS_FALLBACK, 0x0001, CHOICE_MELODY},
       {}},
      {"i-melody without a track",
       melody(note(1) + vers('3'), {}),
       false,
       ROOM_NO_TRACK,
       ROOM_NO_TRACK,
       {0, CHOICE_NO_ROOM, 0, CHOICE_NO_ROOM},
       {}},
      {"HandyPhone tracks: no place for the LED",
       smaf(handyPhoneScoreTracks(lowBand, 0xF)),
       false,
       ROOM_OPEN,
       ROOM_NO_LED_PLACE,
       {0x0020, CHOICE_IN_BANDS, 0, CHOICE_NO_ROOM},
       {}},
      {"HandyPhone tracks and an LED tag",
       smaf(cnti({}) + handyPhoneScoreTracks(lowBand, 0xF)),
       false,
       ROOM_OPEN,
       ROOM_OPEN,
       {0x0020, CHOICE_IN_BANDS, 0x0010, CHOICE_MELODY},
       {}},
      {"score track 6 alone",
       smaf(laterScoreTrack(band, Bytes(16, 0x00))),
       false,
       ROOM_LATER_TRACKS_ONLY,
       ROOM_LATER_TRACKS_ONLY,
       {0, CHOICE_NO_ROOM, 0, CHOICE_NO_ROOM},
       {}},
      {"score track 6 with all tracks",
       smaf(laterScoreTrack(band, Bytes(16, 0x00))),
       true,
       ROOM_OPEN,
       ROOM_OPEN,
       {0x0020, CHOICE_IN_BANDS, 0x0010, CHOICE_MELODY},
       {}},
      {"score track 6 keeps its links",
       smaf(mobileScoreTrack(band) + laterScoreTrack({{}, 0}, linkedLater)),
       false,
       ROOM_OPEN,
       ROOM_OPEN,
       {0x0020, CHOICE_IN_BANDS, 0x0010, CHOICE_MELODY},
       {0x0001, 0x0004}},
      {"a contents-info chunk alone",
       smaf(cnti({})),
       false,
       ROOM_NO_VIBRATION_TRACK,
       ROOM_OPEN,
       {0, CHOICE_NO_ROOM, 0, CHOICE_NO_NOTES},
       {}},
      {"notes on channels 17 and up only",
       smaf(scoreTrack(7, 3, 0x10, 0x10, Bytes(32, 0x00), mtsq(hex("00 90 3C 40 10  00 FF 2F 00")))),
       true,
       ROOM_OPEN,
       ROOM_OPEN,
       {0, CHOICE_NOT_CARRIED, 0, CHOICE_NOT_CARRIED},
       {}},
      {"cut short", cut, false, ROOM_UNREADABLE, ROOM_UNREADABLE, {0, CHOICE_NO_ROOM, 0, CHOICE_NO_ROOM}, {}},
      {"no melody",
       ascii("not a tune"),
       false,
       ROOM_UNREADABLE,
       ROOM_UNREADABLE,
       {0, CHOICE_NO_ROOM, 0, CHOICE_NO_ROOM},
       {}},
  };
  for (const Case &c : cases) {
    FileSuggestion file = suggestionOf(c.image, c.allTracks);
    const Suggestion &s = file.suggestion;
    EXPECT_EQ(s.room.vibrationLimit, c.vibrationLimit) << c.name;
    EXPECT_EQ(s.room.ledLimit, c.ledLimit) << c.name;
    expectSuggestion(file, c.expected, c.name);
    EXPECT_EQ(s.vibration & ~s.room.vibration, 0) << c.name;
    EXPECT_EQ(s.led & ~s.room.led, 0) << c.name;
    if (c.vibrationLimit == ROOM_UNREADABLE) continue;
    Links links = carried(c.image, s, c.allTracks);
    EXPECT_EQ(links, (Links{s.vibration | c.extra.vibration, s.led | c.extra.led})) << c.name;
  }
}
