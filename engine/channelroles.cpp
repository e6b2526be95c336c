#include "engine/channelroles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "engine/format.h"

namespace {

// --- Thresholds, each measured on the generated melodies of the tests ---

// A vibrator does not stop and spin up again within 60 ms, and a break that
// short is not felt: notes closer than that make one pulse.
const double joinGapMs = 60;
// An eccentric-mass motor needs 50 to 100 ms to spin up: a note or a pulse
// shorter than 80 ms is hardly felt.
const double shortMs = 80;
// Notes that begin within 25 ms of each other are heard as one attack (a
// chord, a roll): they count as one onset.
const double onsetWindowMs = 25;
// A channel whose notes begin one and a half together on average plays
// chords; a melody with a few double stops stays near 1.1. Counted by the
// notes that begin together, not by those that sound at once: ring melodies
// often hold each note of a line on past the next (the examples' tunes
// sound four notes at once so).
const double chordNotesPerOnset = 1.5;
// Notes held a second or longer on average: a pad or a drone. Following it,
// the vibrator would run for more than the longest comfortable pulse.
const double heldMs = 1000;
// Onsets closer than 180 ms on average (over five and a half a second)
// come faster than touch follows rhythm or a blinking light looks in time:
// a fast run or an arpeggio (sixteenths from 83 beats a minute on). A tune,
// even with eighths at a fast tempo, keeps its onsets further apart on
// average (the generated tunes 410 ms and more, their lines at twice the
// pace 205 ms and more, the arpeggios 150 ms and less). Fewer than eight
// onsets are too few to call a run.
const double fastSpacingMs = 180;
const uint32_t fastLeastOnsets = 8;
// Drums, where the file does not mark them: repeated short notes on few
// keys. A phone's drum part strikes a handful of sounds (kick, snare, hats,
// toms), each many times, in ticks mostly under 80 ms; a bass line on as
// few keys plays longer notes.
const int drumMostKeys = 8;
const uint32_t drumLeastNotes = 8;
const uint32_t drumRepeats = 4;
const double drumShortShare = 0.5;
// A bass line lies more than a major sixth below the highest pitched part:
// further than a harmony a sixth below a tune (the generated bass lines lie
// 11.7 semitones and more below).
const double bassBelow = 10;
// Lines within a fourth of the highest line could each be the melody (a
// lead doubled in thirds or sixths below it).
const double melodyWithin = 5;
// A part that plays now and then above the tune (a bell, a fill) is not
// the tune: the melody is drawn from the lines with at least a quarter as
// many onsets as the busiest line besides the bass (the generated tunes
// have half those of a faster line beside them or more; the sparse parts of
// the benchmark's ring melody a fifth or less).
const double melodyPresence = 0.25;

// --- Each channel's notes in time order ---

// Before the first note: a start no note precedes, a stretch that ends
// long before any.
const double farBefore = -1e18;

// What a channel's notes give, in any order and in time order. Each channel
// is read on its own, so that this record stays in registers.
struct ChannelScan {
  uint32_t notes, shortNotes;
  uint64_t keySum;
  double durationSum;
  // In time order: the last start; the onsets and when the next may begin;
  // the pulse still open, how many are written before it (the first a
  // stand-in), and the silences inside pulses, which the pulses span but
  // no note sounds in.
  double lastStart;
  bool unordered;
  uint32_t onsets;
  double nextOnsetMs;
  double pulseFrom, pulseTo;
  size_t written;
  double silentMs;
};

inline void countNote(ChannelScan &s, uint8_t keys[128], int key, double durationMs) {
  s.shortNotes += durationMs < shortMs;
  s.keySum += unsigned(key);
  s.durationSum += durationMs;
  keys[key & 127] = 1;
}

// A note that starts no earlier than the channel's notes before it; `out`
// has room for a pulse for each note and the stand-in. Pulses are written
// field by field: a copy of the pulse whole would be read back from memory
// just written, which stalls. The choices are plain selections, which the
// compiler may make branches: music repeats its rhythms, which the
// processor's prediction follows (written without any branch, the reading
// was measured twice as slow, each onset's choice waiting on the last).
inline void followNote(ChannelScan &s, Pulse *out, double from, double to) {
  s.unordered |= from < s.lastStart;
  s.lastStart = from;
  bool onset = from >= s.nextOnsetMs;
  s.onsets += onset;
  s.nextOnsetMs = onset ? from + onsetWindowMs : s.nextOnsetMs;
  double gap = from - s.pulseTo;
  bool apart = gap >= joinGapMs;
  s.silentMs += !apart && gap > 0 ? gap : 0;
  out[s.written].fromMs = s.pulseFrom;
  out[s.written].toMs = s.pulseTo;
  s.written += apart;
  s.pulseFrom = apart ? from : s.pulseFrom;
  s.pulseTo = std::max(s.pulseTo, to);
}

ChannelScan startScan(size_t count) {
  ChannelScan s = {};
  s.notes = uint32_t(count);
  s.lastStart = s.nextOnsetMs = s.pulseFrom = s.pulseTo = farBefore;
  return s;
}

// Notes of a channel, in the order given; its pulses go to `out` (room for
// the notes and two more), the first a stand-in, and each key played is
// marked in `keys`. The scan is read into a copy of its own, which the
// writes to `out` cannot touch, so that it stays in registers.
void scanNotes(ChannelScan &scan, uint8_t keys[128], const TimedNote *notes, size_t count, Pulse *out) {
  ChannelScan s = scan;
  for (size_t i = 0; i < count; ++i) {
    double from = notes[i].startMs, durationMs = double(notes[i].durationMs);
    countNote(s, keys, notes[i].key, durationMs);
    followNote(s, out, from, from + durationMs);
  }
  scan = s;
}

// Closes the open pulse.
void finishScan(ChannelScan &s, Pulse *out) { out[s.written++] = {s.pulseFrom, s.pulseTo}; }

// The notes are gathered in four lanes, each a quarter of them read in
// turn, so that a run of notes on one channel does not wait on one place
// in memory after another.
const size_t lanes = 4;

// Each lane's notes, a note at a time from each lane in turn: `visit(lane,
// note)`.
template <class Visit>
void inLanes(const Timeline &timeline, Visit visit) {
  const TimedNote *notes = timeline.notes.data();
  size_t total = timeline.notes.size(), quarter = (total + lanes - 1) / lanes;
  for (size_t i = 0; i < quarter; ++i)
    for (size_t lane = 0; lane < lanes; ++lane)
      if (lane * quarter + i < total) visit(lane, notes[lane * quarter + i]);
}

// Gathers the notes of each counted channel, in the order read, into the
// record's room: channel k's `count[k]` of them from `first[k]`. Index 0
// of a lane's tallies stands for the channels not counted.
void gatherNotes(const Timeline &timeline, unsigned counted, ChannelRoleRoom &room, size_t first[], size_t count[]) {
  auto slot = [counted](const TimedNote &note) { return note.channel <= counted ? note.channel : 0u; };
  uint32_t tallies[lanes][describedChannels + 1] = {};
  inLanes(timeline, [&](size_t lane, const TimedNote &note) { ++tallies[lane][slot(note)]; });
  size_t next[lanes][describedChannels + 1] = {}, at = 0;
  for (unsigned k = 0; k < counted; ++k) {
    first[k] = at;
    for (size_t lane = 0; lane < lanes; ++lane) next[lane][k + 1] = at, at += tallies[lane][k + 1];
    count[k] = at - first[k];
  }
  if (room.notes.size() < at) room.notes.resize(at);
  TimedNote *gathered = room.notes.data();
  inLanes(timeline, [&](size_t lane, const TimedNote &note) {
    unsigned k = slot(note);
    if (!k) return;  // the notes of one track come together: a branch foreseen
    size_t to = next[lane][k]++;
    gathered[to] = note;
  });
}

// One channel's notes; its pulses go to `out`.
ChannelScan scanChannel(const TimedNote *notes, size_t count, uint8_t keys[128], Pulse *out) {
  ChannelScan s = startScan(count);
  scanNotes(s, keys, notes, count, out);
  finishScan(s, out);
  return s;
}

// A channel whose notes come in more than one run (SMAF score tracks 0 and
// 1 both play channels 1 to 4): its notes sorted by start, and read again.
ChannelScan scanSorted(TimedNote *notes, size_t count, uint8_t keys[128], Pulse *out) {
  std::sort(notes, notes + count, [](const TimedNote &a, const TimedNote &b) {
    if (a.startMs != b.startMs) return a.startMs < b.startMs;
    return a.durationMs != b.durationMs ? a.durationMs < b.durationMs : a.key < b.key;
  });
  return scanChannel(notes, count, keys, out);
}

// --- Figures ---

// The lowest and highest key played, and how many keys: the marks read
// eight at a time, each byte 0 or 1.
void keyFigures(const uint8_t keys[128], ChannelFigures &f) {
  f.lowKey = 127, f.highKey = 0, f.distinctKeys = 0;
  for (int word = 0; word < 16; ++word) {
    uint64_t marks;
    std::memcpy(&marks, keys + 8 * word, 8);
    if (!marks) continue;
    for (int byte = 0; byte < 8; ++byte) {
      if (!((marks >> (8 * byte)) & 1)) continue;
      int key = 8 * word + byte;
      f.lowKey = std::min(f.lowKey, key);
      f.highKey = key;
      ++f.distinctKeys;
    }
  }
}

VibrationPattern patternFrom(uint32_t count, uint32_t shortCount, double totalMs, double longestMs, double pieceMs) {
  VibrationPattern pattern = {};
  if (!count) return pattern;
  pattern.pulses = count;
  pattern.duty = pieceMs > 0 ? totalMs / pieceMs : 0;
  pattern.pulsesPerSecond = pieceMs > 0 ? count * 1000.0 / pieceMs : 0;
  pattern.longestMs = longestMs;
  pattern.shortShare = double(shortCount) / count;
  return pattern;
}

// A channel's pattern alone: its pulses as they are, and the time they run.
// Two pulses at a time, each tallied apart, so that each tally waits on the
// one before it half as often.
VibrationPattern ownPattern(const std::vector<Pulse> &pulses, double pieceMs, double *runMs) {
  uint32_t shortA = 0, shortB = 0;
  double totalA = 0, totalB = 0, longestA = 0, longestB = 0;
  size_t count = pulses.size(), i = 0;
  for (; i + 1 < count; i += 2) {
    double a = pulses[i].toMs - pulses[i].fromMs, b = pulses[i + 1].toMs - pulses[i + 1].fromMs;
    shortA += a < shortMs, shortB += b < shortMs;
    totalA += a, totalB += b;
    longestA = std::max(longestA, a), longestB = std::max(longestB, b);
  }
  if (i < count) {
    double a = pulses[i].toMs - pulses[i].fromMs;
    shortA += a < shortMs, totalA += a, longestA = std::max(longestA, a);
  }
  *runMs = totalA + totalB;
  return patternFrom(uint32_t(count), shortA + shortB, *runMs, std::max(longestA, longestB), pieceMs);
}

ChannelFigures figuresOf(const ChannelScan &s, const uint8_t keys[128], const std::vector<Pulse> &pulses,
                         const VibrationPattern &own, double runMs, double pieceMs) {
  ChannelFigures f = {};
  f.notes = s.notes;
  keyFigures(keys, f);
  f.meanKey = double(s.keySum) / s.notes;
  // A note sounds wherever a pulse runs but in the silences inside pulses.
  double soundMs = std::max(0.0, runMs - s.silentMs);
  f.duty = pieceMs > 0 ? soundMs / pieceMs : 0;
  f.onsetsPerSecond = pieceMs > 0 ? s.onsets * 1000.0 / pieceMs : 0;
  f.longestMs = own.longestMs;
  f.shortShare = double(s.shortNotes) / s.notes;
  f.polyphony = soundMs > 0 ? s.durationSum / soundMs : 1;
  // The first onset is the first note's start, where the first pulse begins.
  double lastOnset = s.nextOnsetMs - onsetWindowMs;
  double spacingMs = s.onsets > 1 ? (lastOnset - pulses.front().fromMs) / (s.onsets - 1) : HUGE_VAL;
  f.held = s.durationSum / s.notes >= heldMs;
  f.chordal = s.notes >= chordNotesPerOnset * s.onsets;
  f.fast = s.onsets >= fastLeastOnsets && spacingMs < fastSpacingMs;
  // Repeated short notes on few keys.
  bool drums = s.notes >= drumLeastNotes && f.distinctKeys <= drumMostKeys &&
               s.notes >= drumRepeats * uint32_t(f.distinctKeys) && f.shortShare > drumShortShare;
  f.role = drums ? ROLE_DRUMS : ROLE_OTHER;
  return f;
}

// --- Roles ---

bool isLine(const ChannelFigures &f) { return f.role != ROLE_DRUMS && f.role != ROLE_CHORDS && !f.fast; }

// The file's own drum mark decides where the file gives one: a file that
// marks its drum channels says that the others are none.
void markDrums(const Timeline &timeline, ChannelRoles &roles, int counted) {
  bool marked = false;
  for (int k = 0; k < counted; ++k) marked = marked || timeline.voices[k].rhythm;
  for (int k = 0; k < counted; ++k) {
    ChannelFigures &f = roles.figures[k];
    if (marked) f.role = timeline.voices[k].rhythm ? ROLE_DRUMS : ROLE_OTHER;
    if (f.role != ROLE_DRUMS && f.chordal) f.role = ROLE_CHORDS;
  }
}

bool hasNotesAt(const ChannelRoles &roles, int k) { return (roles.withNotes >> k) & 1; }

// The bass is the lowest line, far enough below the highest pitched part.
void nameBass(ChannelRoles &roles) {
  double highest = -HUGE_VAL, lowestLine = HUGE_VAL;
  for (int k = 0; k < describedChannels; ++k) {
    const ChannelFigures &f = roles.figures[k];
    if (!hasNotesAt(roles, k) || f.role == ROLE_DRUMS) continue;
    highest = std::max(highest, f.meanKey);
    if (isLine(f)) lowestLine = std::min(lowestLine, f.meanKey);
  }
  for (int k = 0; k < describedChannels; ++k) {
    ChannelFigures &f = roles.figures[k];
    if (hasNotesAt(roles, k) && isLine(f) && f.meanKey == lowestLine && highest - lowestLine >= bassBelow)
      f.role = ROLE_BASS;
  }
}

// A line that could be the melody: not the bass, and playing often enough.
bool melodyLike(const ChannelRoles &roles, int k, double busiest) {
  const ChannelFigures &f = roles.figures[k];
  return hasNotesAt(roles, k) && isLine(f) && f.role != ROLE_BASS && f.onsetsPerSecond >= melodyPresence * busiest;
}

// The melody: every line that could be it within a fourth of the highest.
void nameMelody(ChannelRoles &roles) {
  double busiest = 0, topLine = -HUGE_VAL;
  for (int k = 0; k < describedChannels; ++k)
    if (melodyLike(roles, k, 0)) busiest = std::max(busiest, roles.figures[k].onsetsPerSecond);
  for (int k = 0; k < describedChannels; ++k)
    if (melodyLike(roles, k, busiest)) topLine = std::max(topLine, roles.figures[k].meanKey);
  for (int k = 0; k < describedChannels; ++k)
    if (melodyLike(roles, k, busiest) && roles.figures[k].meanKey >= topLine - melodyWithin)
      roles.figures[k].role = ROLE_MELODY;
}

// --- Patterns ---

// Pulses taken in order of their start and joined across gaps under 60 ms;
// as in followNote, the joining is written as selections.
struct PulseTally {
  Pulse open;
  uint32_t count, shortCount;
  double totalMs, longestMs;
};

inline void feedPulse(PulseTally &t, const Pulse &next) {
  bool apart = next.fromMs - t.open.toMs >= joinGapMs;
  double ms = t.open.toMs - t.open.fromMs;
  t.count += apart;
  t.shortCount += apart && ms < shortMs;
  t.totalMs += apart ? ms : 0;
  t.longestMs = apart ? std::max(t.longestMs, ms) : t.longestMs;
  t.open.fromMs = apart ? next.fromMs : t.open.fromMs;
  t.open.toMs = std::max(t.open.toMs, next.toMs);
}

// The first pulse fed closes the stand-in, which counts for nothing.
PulseTally startTally() { return {{farBefore, farBefore}, 0, 0, 0, 0}; }

VibrationPattern finishTally(PulseTally t, double pieceMs) {
  if (t.open.fromMs == farBefore) return {};
  feedPulse(t, {HUGE_VAL, HUGE_VAL});
  return patternFrom(t.count - 1, t.shortCount - 1, t.totalMs, t.longestMs, pieceMs);
}

// Two channels' pulses, merged by their start.
void feedTwo(PulseTally &t, const std::vector<Pulse> &a, const std::vector<Pulse> &b) {
  const Pulse *i = a.data(), *iEnd = i + a.size(), *j = b.data(), *jEnd = j + b.size();
  while (i < iEnd && j < jEnd) {
    bool fromA = i->fromMs <= j->fromMs;
    feedPulse(t, fromA ? *i : *j);
    i += fromA;
    j += !fromA;
  }
  for (; i < iEnd; ++i) feedPulse(t, *i);
  for (; j < jEnd; ++j) feedPulse(t, *j);
}

// Any number of channels: their pulses gathered and sorted.
void feedMany(PulseTally &t, const ChannelRoles &roles, uint32_t channels) {
  std::vector<Pulse> all;
  for (int k = 0; k < describedChannels; ++k)
    if ((channels >> k) & 1) all.insert(all.end(), roles.pulses[k].begin(), roles.pulses[k].end());
  std::sort(all.begin(), all.end(), [](const Pulse &a, const Pulse &b) {
    return a.fromMs < b.fromMs || (a.fromMs == b.fromMs && a.toMs < b.toMs);
  });
  for (const Pulse &pulse : all) feedPulse(t, pulse);
}

int lowestIndex(uint32_t mask) {
  int k = 0;
  while (!((mask >> k) & 1)) ++k;
  return k;
}

}  // namespace

void readChannelRoles(const Timeline &timeline, ChannelRoles *roles) {
  unsigned counted = timeline.formatKind == FORMAT_IMELODY ? 16 : describedChannels;
  ChannelRoleRoom &room = roles->room;
  size_t first[describedChannels] = {}, count[describedChannels] = {};
  gatherNotes(timeline, counted, room, first, count);
  if (room.pulses.size() < room.notes.size() + 2 * describedChannels)
    room.pulses.resize(room.notes.size() + 2 * describedChannels);
  roles->pieceMs = timeline.durationMs;
  roles->withNotes = 0;
  for (unsigned k = 0; k < unsigned(describedChannels); ++k) {
    roles->figures[k] = {};
    roles->own[k] = {};
    std::vector<Pulse> &pulses = roles->pulses[k];
    pulses.clear();
    if (k >= counted || !count[k]) continue;
    TimedNote *notes = room.notes.data() + first[k];
    Pulse *out = room.pulses.data() + first[k] + 2 * k;
    uint8_t keys[128] = {};
    ChannelScan s = scanChannel(notes, count[k], keys, out);
    if (s.unordered) s = scanSorted(notes, count[k], keys, out);
    pulses.assign(out + 1, out + s.written);
    roles->withNotes |= uint32_t(1) << k;
    double runMs;
    roles->own[k] = ownPattern(pulses, roles->pieceMs, &runMs);
    roles->figures[k] = figuresOf(s, keys, pulses, roles->own[k], runMs, roles->pieceMs);
  }
  markDrums(timeline, *roles, int(counted));
  nameBass(*roles);
  nameMelody(*roles);
}

VibrationPattern patternOf(const ChannelRoles &roles, uint32_t channels) {
  channels &= roles.withNotes;
  uint32_t rest = channels & (channels - 1);
  if (!channels) return {};
  if (!rest) return roles.own[lowestIndex(channels)];
  PulseTally t = startTally();
  if (rest & (rest - 1))
    feedMany(t, roles, channels);
  else
    feedTwo(t, roles.pulses[lowestIndex(channels)], roles.pulses[lowestIndex(rest)]);
  return finishTally(t, roles.pieceMs);
}
