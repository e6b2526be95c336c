#include "engine/channelroles.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/convert.h"

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
// A channel that sounds one and a half notes at once on average plays
// chords; a melody with a few double stops stays near 1.1.
const double chordPolyphony = 1.5;
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

// --- One pass over the notes ---

// What a channel's notes give, in any order and in time order.
struct ChannelScan {
  uint32_t notes, shortNotes;
  int lowKey, highKey;
  double keySum, durationSum;
  uint64_t keys[2];
  // In time order: the last start, a stretch of overlapping notes still
  // open and the total of those closed, and the onsets.
  double lastStart;
  bool unordered;
  double spanFrom, spanTo, soundMs;
  uint32_t onsets;
  double firstOnset, lastOnset;
};

void countNote(ChannelScan &s, int key, double durationMs) {
  ++s.notes;
  s.shortNotes += durationMs < shortMs;
  s.lowKey = std::min(s.lowKey, key);
  s.highKey = std::max(s.highKey, key);
  s.keySum += key;
  s.durationSum += durationMs;
  s.keys[key >> 6] |= uint64_t(1) << (key & 63);
}

void startInTimeOrder(ChannelScan &s, std::vector<Pulse> &pulses) {
  s.lastStart = 0;
  s.spanFrom = s.spanTo = -1;
  s.soundMs = 0;
  s.onsets = 0;
  s.firstOnset = s.lastOnset = 0;
  pulses.clear();
}

// A note that starts no earlier than the channel's notes before it.
void followNote(ChannelScan &s, std::vector<Pulse> &pulses, double from, double to) {
  s.lastStart = from;
  if (s.onsets == 0 || from >= s.lastOnset + onsetWindowMs) {
    if (s.onsets++ == 0) s.firstOnset = from;
    s.lastOnset = from;
  }
  if (from > s.spanTo) {
    s.soundMs += s.spanTo - s.spanFrom;
    s.spanFrom = from, s.spanTo = to;
  } else if (to > s.spanTo) {
    s.spanTo = to;
  }
  if (!pulses.empty() && from - pulses.back().toMs < joinGapMs)
    pulses.back().toMs = std::max(pulses.back().toMs, to);
  else
    pulses.push_back({from, to});
}

void finishInTimeOrder(ChannelScan &s) {
  s.soundMs += s.spanTo - s.spanFrom;
  s.spanFrom = s.spanTo;
}

// A channel whose notes come in more than one run (SMAF score tracks 0 and
// 1 both play channels 1 to 4) is followed again in time order.
void followSorted(const Timeline &timeline, int channel, ChannelScan &s, std::vector<Pulse> &pulses) {
  std::vector<std::pair<double, double>> spans;
  spans.reserve(s.notes);
  for (const TimedNote &note : timeline.notes)
    if (note.channel == channel) spans.push_back({note.startMs, note.startMs + double(note.durationMs)});
  std::sort(spans.begin(), spans.end());
  startInTimeOrder(s, pulses);
  for (const auto &span : spans) followNote(s, pulses, span.first, span.second);
}

// --- Figures ---

int keyCount(const uint64_t keys[2]) {
  int count = 0;
  for (int i = 0; i < 2; ++i)
    for (uint64_t bits = keys[i]; bits; bits &= bits - 1) ++count;
  return count;
}

double longestPulse(const std::vector<Pulse> &pulses) {
  double longest = 0;
  for (const Pulse &pulse : pulses) longest = std::max(longest, pulse.toMs - pulse.fromMs);
  return longest;
}

ChannelFigures figuresOf(const ChannelScan &s, const std::vector<Pulse> &pulses, double pieceMs) {
  ChannelFigures f = {};
  f.notes = s.notes;
  f.lowKey = s.lowKey, f.highKey = s.highKey;
  f.meanKey = s.keySum / s.notes;
  f.duty = pieceMs > 0 ? s.soundMs / pieceMs : 0;
  f.onsetsPerSecond = pieceMs > 0 ? s.onsets * 1000.0 / pieceMs : 0;
  f.longestMs = longestPulse(pulses);
  f.shortShare = double(s.shortNotes) / s.notes;
  f.polyphony = s.soundMs > 0 ? s.durationSum / s.soundMs : 1;
  f.distinctKeys = keyCount(s.keys);
  double spacingMs = s.onsets > 1 ? (s.lastOnset - s.firstOnset) / (s.onsets - 1) : HUGE_VAL;
  f.held = s.durationSum / s.notes >= heldMs;
  f.fast = s.onsets >= fastLeastOnsets && spacingMs < fastSpacingMs;
  bool drums = s.notes >= drumLeastNotes && f.distinctKeys <= drumMostKeys &&
               s.notes >= drumRepeats * uint32_t(f.distinctKeys) && f.shortShare > drumShortShare;
  f.role = drums ? ROLE_DRUMS : ROLE_OTHER;
  return f;
}

// --- Roles ---

bool isLine(const ChannelFigures &f) {
  return f.role != ROLE_DRUMS && f.role != ROLE_CHORDS && !f.fast;
}

// The file's own drum mark decides where the file gives one: a file that
// marks its drum channels says that the others are none.
void markDrums(const Timeline &timeline, ChannelRoles &roles, int counted) {
  bool marked = false;
  for (int k = 0; k < counted; ++k) marked = marked || timeline.voices[k].rhythm;
  for (int k = 0; k < counted; ++k) {
    ChannelFigures &f = roles.figures[k];
    if (marked) f.role = timeline.voices[k].rhythm ? ROLE_DRUMS : ROLE_OTHER;
    if (f.role != ROLE_DRUMS && f.polyphony >= chordPolyphony) f.role = ROLE_CHORDS;
  }
}

// The bass is the lowest line, far enough below the highest pitched part;
// the melody every other line within a fourth of the highest of them.
void nameLines(ChannelRoles &roles) {
  double highest = -HUGE_VAL, lowestLine = HUGE_VAL;
  for (int k = 0; k < describedChannels; ++k) {
    const ChannelFigures &f = roles.figures[k];
    if (!((roles.withNotes >> k) & 1) || f.role == ROLE_DRUMS) continue;
    highest = std::max(highest, f.meanKey);
    if (isLine(f)) lowestLine = std::min(lowestLine, f.meanKey);
  }
  bool bass = highest - lowestLine >= bassBelow;
  double topLine = -HUGE_VAL;
  for (int k = 0; k < describedChannels; ++k) {
    ChannelFigures &f = roles.figures[k];
    if (!((roles.withNotes >> k) & 1) || !isLine(f)) continue;
    if (bass && f.meanKey == lowestLine) f.role = ROLE_BASS;
    else topLine = std::max(topLine, f.meanKey);
  }
  for (int k = 0; k < describedChannels; ++k) {
    ChannelFigures &f = roles.figures[k];
    if (((roles.withNotes >> k) & 1) && isLine(f) && f.role != ROLE_BASS && f.meanKey >= topLine - melodyWithin)
      f.role = ROLE_MELODY;
  }
}

// --- Patterns ---

// Pulses fed in order of their start, joined across gaps under 60 ms.
struct PulseTally {
  bool open;
  double from, to;
  uint32_t count, shortCount;
  double totalMs, longestMs;
};

void closePulse(PulseTally &t) {
  if (!t.open) return;
  double ms = t.to - t.from;
  ++t.count;
  t.shortCount += ms < shortMs;
  t.totalMs += ms;
  t.longestMs = std::max(t.longestMs, ms);
  t.open = false;
}

void feedPulse(PulseTally &t, const Pulse &pulse) {
  if (t.open && pulse.fromMs - t.to < joinGapMs) {
    t.to = std::max(t.to, pulse.toMs);
    return;
  }
  closePulse(t);
  t = {true, pulse.fromMs, pulse.toMs, t.count, t.shortCount, t.totalMs, t.longestMs};
}

// Two channels' pulses, merged by their start.
void feedTwo(PulseTally &t, const std::vector<Pulse> &a, const std::vector<Pulse> &b) {
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    bool fromA = j == b.size() || (i < a.size() && a[i].fromMs <= b[j].fromMs);
    feedPulse(t, fromA ? a[i++] : b[j++]);
  }
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
  int counted = timeline.formatKind == FORMAT_IMELODY ? 16 : describedChannels;
  ChannelScan scans[describedChannels];
  for (int k = 0; k < describedChannels; ++k) {
    scans[k] = {};
    scans[k].lowKey = 127;
    startInTimeOrder(scans[k], roles->pulses[k]);
  }
  for (const TimedNote &note : timeline.notes) {
    unsigned k = note.channel - 1u;
    if (k >= unsigned(counted)) continue;
    ChannelScan &s = scans[k];
    double from = note.startMs;
    countNote(s, note.key, double(note.durationMs));
    s.unordered = s.unordered || from < s.lastStart;
    followNote(s, roles->pulses[k], from, from + double(note.durationMs));
  }
  roles->pieceMs = timeline.durationMs;
  roles->withNotes = 0;
  for (int k = 0; k < describedChannels; ++k) {
    roles->figures[k] = {};
    if (!scans[k].notes) continue;
    if (scans[k].unordered) followSorted(timeline, k + 1, scans[k], roles->pulses[k]);
    finishInTimeOrder(scans[k]);
    roles->withNotes |= uint32_t(1) << k;
    roles->figures[k] = figuresOf(scans[k], roles->pulses[k], roles->pieceMs);
  }
  markDrums(timeline, *roles, counted);
  nameLines(*roles);
}

VibrationPattern patternOf(const ChannelRoles &roles, uint32_t channels) {
  channels &= roles.withNotes;
  PulseTally t = {};
  static const std::vector<Pulse> none;
  uint32_t rest = channels & (channels - 1);
  if (rest & (rest - 1))
    feedMany(t, roles, channels);
  else if (channels)
    feedTwo(t, roles.pulses[lowestIndex(channels)], rest ? roles.pulses[lowestIndex(rest)] : none);
  closePulse(t);
  double seconds = roles.pieceMs / 1000;
  VibrationPattern pattern = {};
  if (!t.count) return pattern;
  pattern.pulses = t.count;
  pattern.duty = roles.pieceMs > 0 ? t.totalMs / roles.pieceMs : 0;
  pattern.pulsesPerSecond = seconds > 0 ? t.count / seconds : 0;
  pattern.longestMs = t.longestMs;
  pattern.shortShare = double(t.shortCount) / t.count;
  return pattern;
}
