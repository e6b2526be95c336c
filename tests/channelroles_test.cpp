// What each channel plays, on pieces whose parts the tests wrote: the roles
// in both formats and whatever the channels, the key and the tempo; the
// figures and the vibration pattern of hand-made notes; the file's own
// drum mark.
#include <gtest/gtest.h>

#include "engine/channelroles.h"
#include "engine/inspect.h"
#include "tests/partimages.h"
#include "tests/timelineimages.h"

namespace {

Timeline decode(const Bytes &image) {
  Timeline timeline;
  decodeTimeline(image.data(), image.size(), &timeline);
  return timeline;
}

ChannelRoles rolesOf(const Timeline &timeline) {
  ChannelRoles roles;
  readChannelRoles(timeline, &roles);
  return roles;
}

const char *const roleNames[] = {"melody", "bass", "drums", "chords", "other"};

// "5 melody, 6 bass" for the channels that have notes.
std::string rolesText(const ChannelRoles &roles) {
  std::string text;
  for (int k = 0; k < describedChannels; ++k)
    if (hasNotes(roles, k + 1))
      text += (text.empty() ? "" : ", ") + std::to_string(k + 1) + " " + roleNames[roles.figures[k].role];
  return text;
}

std::string writtenText(std::vector<PartPlace> places) {
  std::sort(places.begin(), places.end(), [](const PartPlace &a, const PartPlace &b) { return a.channel < b.channel; });
  std::string text;
  for (const PartPlace &p : places)
    text += (text.empty() ? "" : ", ") + std::to_string(p.channel) + " " + roleNames[writtenRole(p.part)];
  return text;
}

// The arrangements of the tests: parts on channels chosen to cover the
// four i-melody tracks and every role's neighbours.
const std::vector<std::vector<PartPlace>> arrangements = {
    {{PART_LEAD, 1}, {PART_BASS, 2}, {PART_DRUMS, 10}, {PART_PAD, 3}, {PART_ARPEGGIO, 4}},
    {{PART_LEAD, 5}, {PART_BASS, 6}, {PART_DRUMS, 10}},
    {{PART_BASS, 1}, {PART_LEAD, 16}},
    {{PART_LEAD, 3}, {PART_DRUMS, 9}, {PART_PAD, 12}},
    {{PART_ARPEGGIO, 2}, {PART_LEAD, 7}, {PART_BASS, 13}},
    {{PART_LEAD, 8}, {PART_HARMONY, 4}, {PART_BASS, 15}, {PART_DRUMS, 11}},
    {{PART_PAD, 1}, {PART_DRUMS, 2}, {PART_LEAD, 14}},
};

}  // namespace

// An octave up or down changes no role.
TEST(ChannelRoles, WrittenPartsInBothFormatsAndOctaves) {
  const PartStyle styles[] = {{4, 480, 72, 1}, {6, 400, 67, 7}, {3, 600, 76, 42}};
  for (const auto &places : arrangements)
    for (const PartStyle &style : styles)
      for (int octave : {-12, 0, 12}) {
        Piece piece = transposed(pieceOf(places, style), octave);
        std::string written = writtenText(places);
        EXPECT_EQ(rolesText(rolesOf(decode(melodyOf(piece)))), written)
            << "i-melody, beat " << style.beatMs << ", " << octave;
        EXPECT_EQ(rolesText(rolesOf(decode(smaf(mobileScoreTrack(piece))))), written)
            << "SMAF, beat " << style.beatMs << ", " << octave;
      }
}

// A file that marks drum channels decides which are drums; one that marks
// none leaves it to the notes.
TEST(ChannelRoles, TheFilesDrumMarkDecides) {
  Timeline timeline = decode(melodyOf(pieceOf(arrangements[1], {4, 480, 72, 1})));
  struct Case {
    int marked;  // 0 for none
    const char *roles;
  } cases[] = {
      {0, "5 melody, 6 bass, 10 drums"},
      {10, "5 melody, 6 bass, 10 drums"},
      // Kick and hat together, unmarked: more than one note at once.
      {6, "5 melody, 6 drums, 10 chords"},
      {5, "5 drums, 6 melody, 10 chords"},
  };
  for (const Case &c : cases) {
    Timeline marked = timeline;
    if (c.marked) marked.voices[c.marked - 1].rhythm = true;
    EXPECT_EQ(rolesText(rolesOf(marked)), c.roles) << "marked " << c.marked;
  }
}

namespace {

// Notes of 2 s of a piece: a run of touching notes, a chord of two short
// notes after a gap, a long note.
const std::vector<TimedNote> figureNotes = {{0, 100, 1, 60, 100},
                                            {100, 100, 1, 62, 100},
                                            {300, 50, 1, 64, 100},
                                            {300, 50, 1, 67, 100},
                                            {1000, 500, 1, 55, 100}};

Timeline handMade() {
  Timeline t = {};
  t.formatKind = FORMAT_SMAF;
  t.durationMs = 2000;
  t.channels = 16;
  t.notes = figureNotes;
  // Channel 2: the same notes in two runs, the later first, as two score
  // tracks give them.
  for (int k : {2, 3, 4, 0, 1})
    t.notes.push_back({figureNotes[k].startMs, figureNotes[k].durationMs, 2, figureNotes[k].key, 100});
  // Channel 3: two notes 40 ms apart, one pulse; then a short one.
  t.notes.insert(t.notes.end(), {{0, 30, 3, 40, 100}, {70, 30, 3, 40, 100}, {200, 30, 3, 40, 100}});
  for (ChannelVoice &voice : t.voices) voice = {false, -1, -1};
  return t;
}

}  // namespace

TEST(ChannelRoles, FiguresOfHandMadeNotes) {
  ChannelRoles roles = rolesOf(handMade());
  EXPECT_EQ(roles.withNotes, 0x7u);
  for (int channel : {1, 2}) {
    const ChannelFigures &f = roles.figures[channel - 1];
    EXPECT_EQ(f.notes, 5u);
    EXPECT_EQ(f.lowKey, 55);
    EXPECT_EQ(f.highKey, 67);
    EXPECT_DOUBLE_EQ(f.meanKey, 61.6);
    EXPECT_DOUBLE_EQ(f.duty, 0.375);         // 200 + 50 + 500 ms of 2 s
    EXPECT_DOUBLE_EQ(f.onsetsPerSecond, 2);  // the chord's notes one onset
    EXPECT_DOUBLE_EQ(f.longestMs, 500);
    EXPECT_DOUBLE_EQ(f.shortShare, 0.4);
    EXPECT_DOUBLE_EQ(f.polyphony, 800.0 / 750);
    EXPECT_EQ(f.distinctKeys, 5);
    EXPECT_FALSE(f.held || f.fast);
  }
}

// Pulses join across gaps under 60 ms, within a channel and between
// channels; one channel, two (merged) and three (sorted) alike.
TEST(ChannelRoles, PatternOfChannelSets) {
  ChannelRoles roles = rolesOf(handMade());
  struct Case {
    uint32_t channels;
    double duty, pulsesPerSecond, longestMs, shortShare;
    uint32_t pulses;
  } cases[] = {
      {0x4, 0.065, 1, 100, 0.5, 2},        // [0, 100] and [200, 230]
      {0x1, 0.375, 1.5, 500, 1.0 / 3, 3},  // [0, 200], [300, 350], [1000, 1500]
      {0x5, 0.39, 1.5, 500, 1.0 / 3, 3},   // [0, 230], [300, 350], [1000, 1500]
      {0x7, 0.39, 1.5, 500, 1.0 / 3, 3},
      {0x8, 0, 0, 0, 0, 0},  // no notes
      {0x0, 0, 0, 0, 0, 0},
  };
  for (const Case &c : cases) {
    VibrationPattern p = patternOf(roles, c.channels);
    EXPECT_DOUBLE_EQ(p.duty, c.duty) << c.channels;
    EXPECT_DOUBLE_EQ(p.pulsesPerSecond, c.pulsesPerSecond) << c.channels;
    EXPECT_DOUBLE_EQ(p.longestMs, c.longestMs) << c.channels;
    EXPECT_DOUBLE_EQ(p.shortShare, c.shortShare) << c.channels;
    EXPECT_EQ(p.pulses, c.pulses) << c.channels;
  }
}

// Every note that --info counts, and only those, is read: i-melody channels
// 1 to 16 (not the fifth track's 17), every SMAF channel, notes of a
// channel that two score tracks play in two runs.
TEST(ChannelRoles, ReadsTheNotesThatInfoCounts) {
  for (const Bytes &image : timelineMelodies()) {
    MelodyInfo info;
    inspectImage(image.data(), image.size(), &info);
    ChannelRoles roles = rolesOf(decode(image));
    for (int k = 0; k < describedChannels; ++k) {
      EXPECT_EQ(hasNotes(roles, k + 1) ? roles.figures[k].notes : 0u, info.notes[k]) << "channel " << k + 1;
      EXPECT_EQ(roles.pulses[k].empty(), info.notes[k] == 0) << "channel " << k + 1;
    }
  }
}

// A line whose notes ring on past the next (as ring melodies often hold
// them) sounds several notes at once, but it plays no chords.
TEST(ChannelRoles, LinesThatRingOnStayLines) {
  Piece piece = pieceOf(arrangements[1], {4, 480, 72, 1});
  for (PartNote &n : piece.notes)
    if (n.channel != 10) n.durationMs = std::min(2500, 4 * n.durationMs);
  for (const Bytes &image : {melodyOf(piece), smaf(mobileScoreTrack(piece))}) {
    ChannelRoles roles = rolesOf(decode(image));
    EXPECT_EQ(rolesText(roles), "5 melody, 6 bass, 10 drums");
    EXPECT_GT(roles.figures[4].polyphony, 2);
  }
}
