#include "engine/suggest.h"

#include <cmath>

namespace {

// --- The vibrator's bands ---

// A pattern feels good when it pulses rather than drones: on for 15 to 50 %
// of the piece (phone makers' own ring pattern is about half on), 0.5 to 4
// pulses a second (touch follows rhythm up to a few a second), no pulse over
// a second (longer turns numbing), at most a fifth of the pulses under
// 80 ms (too short to spin the motor up).
const double dutyLeast = 0.15, dutyMost = 0.5;
const double rateLeast = 0.5, rateMost = 4;
const double longestMost = 1000;
const double shortMost = 0.2;

// Where no choice keeps every band, the one that misses the fewest: the
// longest pulse weighs most, then the duty, the short pulses, the rate.
enum Miss { MISS_RATE = 1, MISS_SHORT = 2, MISS_DUTY = 4, MISS_LONGEST = 8 };

int missesOf(const VibrationPattern &p) {
  return (p.longestMs > longestMost ? MISS_LONGEST : 0) + (p.duty < dutyLeast || p.duty > dutyMost ? MISS_DUTY : 0) +
         (p.shortShare > shortMost ? MISS_SHORT : 0) +
         (p.pulsesPerSecond < rateLeast || p.pulsesPerSecond > rateMost ? MISS_RATE : 0);
}

// Among choices alike, the one nearest the middle of the bands: two pulses
// a second, on for 30 % of the time, no short pulses. One unit each for a
// rate off by a factor of two, a duty off by 0.2, a fifth of the pulses short.
double discomfortOf(const VibrationPattern &p) {
  double rate = p.pulsesPerSecond > 0 ? std::fabs(std::log2(p.pulsesPerSecond / 2)) : 10;
  return rate + 5 * std::fabs(p.duty - 0.3) + 5 * p.shortShare;
}

// The light: where two lines could be the melody, one whose notes come at
// most three a second, since a light blinking faster no longer looks in
// time with the sound.
const double ledMostRate = 3;

// --- Ties: the figures, then the channel number ---

int order(double a, double b) { return a < b ? -1 : a > b ? 1 : 0; }

// Negative when `a` comes first: more notes, lower, more keys, sounding
// longer, faster, fewer at once, fewer short notes.
int compareFigures(const ChannelFigures &a, const ChannelFigures &b) {
  const double left[] = {
      -double(a.notes), a.meanKey,          double(a.lowKey), double(a.highKey), -double(a.distinctKeys),
      -a.duty,          -a.onsetsPerSecond, a.polyphony,      a.shortShare,      -a.longestMs};
  const double right[] = {
      -double(b.notes), b.meanKey,          double(b.lowKey), double(b.highKey), -double(b.distinctKeys),
      -b.duty,          -b.onsetsPerSecond, b.polyphony,      b.shortShare,      -b.longestMs};
  for (size_t i = 0; i < sizeof left / sizeof *left; ++i)
    if (int o = order(left[i], right[i])) return o;
  return 0;
}

// A choice of one or two channels (indices from 0; `second` is -1 for one),
// the first being the one whose figures come first.
struct Choice {
  int first, second;
  int kind;  // 0 with the bass, 1 with drums, 2 others
  VibrationPattern pattern;
  int misses;
  double discomfort;
};

int size(const Choice &c) { return c.second < 0 ? 1 : 2; }

int compareMembers(const ChannelRoles &roles, const Choice &a, const Choice &b) {
  if (int o = compareFigures(roles.figures[a.first], roles.figures[b.first])) return o;
  if (size(a) == 2 && size(b) == 2)
    if (int o = compareFigures(roles.figures[a.second], roles.figures[b.second])) return o;
  if (int o = order(a.first, b.first)) return o;
  return order(a.second, b.second);
}

// Within a rank already decided: the pattern nearest the middle, then its
// figures, then the channels'.
int compareAlike(const ChannelRoles &roles, const Choice &a, const Choice &b) {
  const double left[] = {a.discomfort, a.pattern.duty, a.pattern.pulsesPerSecond, a.pattern.longestMs,
                         a.pattern.shortShare};
  const double right[] = {b.discomfort, b.pattern.duty, b.pattern.pulsesPerSecond, b.pattern.longestMs,
                          b.pattern.shortShare};
  for (size_t i = 0; i < sizeof left / sizeof *left; ++i)
    if (int o = order(left[i], right[i])) return o;
  return compareMembers(roles, a, b);
}

int kindOf(ChannelRole role) { return role == ROLE_BASS ? 0 : role == ROLE_DRUMS ? 1 : 2; }

Choice makeChoice(const ChannelRoles &roles, int a, int b) {
  if (b >= 0 && compareFigures(roles.figures[b], roles.figures[a]) < 0) std::swap(a, b);
  if (b >= 0 && compareFigures(roles.figures[a], roles.figures[b]) == 0 && b < a) std::swap(a, b);
  Choice c = {a, b, kindOf(roles.figures[a].role), {}, 0, 0};
  if (b >= 0) c.kind = std::min(c.kind, kindOf(roles.figures[b].role));
  c.pattern = patternOf(roles, (uint32_t(1) << a) | (b >= 0 ? uint32_t(1) << b : 0));
  c.misses = missesOf(c.pattern);
  c.discomfort = discomfortOf(c.pattern);
  return c;
}

// --- The vibrator ---

// Never a held chord or pad, never a fast run (drums may be fast).
bool vibratorMayFollow(const ChannelFigures &f) {
  return f.role != ROLE_CHORDS && !f.held && (!f.fast || f.role == ROLE_DRUMS);
}

struct Candidates {
  int index[16];
  int count;
};

// The channels that a request can name and the device follow, in the room.
Candidates candidatesOf(const ChannelRoles &roles, uint16_t room, bool (*mayFollow)(const ChannelFigures &)) {
  Candidates c = {{}, 0};
  for (int k = 0; k < 16; ++k)
    if (((roles.withNotes & room) >> k) & 1 && mayFollow(roles.figures[k])) c.index[c.count++] = k;
  return c;
}

// The misses that a pair of channels that may pair cannot escape: together
// they pulse at most as often as both added.
int certainMisses(const Choice &a, const Choice &b) {
  return a.pattern.pulsesPerSecond + b.pattern.pulsesPerSecond < rateLeast ? MISS_RATE : 0;
}

// Two channels together only where neither alone pulses too often, runs
// too much or too long: joined to another part, such a part only gets
// busier. (This also keeps the pairs worth merging few.)
bool mayPair(const Choice &single) {
  const VibrationPattern &p = single.pattern;
  return p.pulsesPerSecond <= rateMost && p.duty <= dutyMost && p.longestMs <= longestMost;
}

struct Search {
  const ChannelRoles &roles;
  Choice singles[16];
  int count;
  bool pairs;  // the room takes two channels together
};

// The best choice within the bands of the given kind: singles before
// pairs. False when none keeps within them.
bool bestInBands(const Search &s, int kind, Choice *best) {
  bool found = false;
  for (int i = 0; i < s.count; ++i) {
    const Choice &c = s.singles[i];
    if (c.kind == kind && c.misses == 0 && (!found || compareAlike(s.roles, c, *best) < 0)) *best = c, found = true;
  }
  if (found || !s.pairs) return found;
  for (int i = 0; i < s.count; ++i)
    for (int j = i + 1; j < s.count; ++j) {
      const Choice &a = s.singles[i], &b = s.singles[j];
      if (std::min(a.kind, b.kind) != kind || !mayPair(a) || !mayPair(b) || certainMisses(a, b)) continue;
      Choice c = makeChoice(s.roles, a.first, b.first);
      if (c.misses == 0 && (!found || compareAlike(s.roles, c, *best) < 0)) *best = c, found = true;
    }
  return found;
}

int compareClosest(const ChannelRoles &roles, const Choice &a, const Choice &b) {
  if (int o = order(a.misses, b.misses)) return o;
  if (int o = order(size(a), size(b))) return o;
  return compareAlike(roles, a, b);
}

// The single of the given kind that misses the fewest bands, or of any kind
// (-1) with the pairs too.
bool closest(const Search &s, int kind, Choice *best) {
  bool found = false;
  for (int i = 0; i < s.count; ++i) {
    const Choice &c = s.singles[i];
    if ((kind < 0 || c.kind == kind) && (!found || compareClosest(s.roles, c, *best) < 0)) *best = c, found = true;
  }
  if (kind >= 0 || !s.pairs) return found;
  for (int i = 0; i < s.count; ++i)
    for (int j = i + 1; j < s.count; ++j) {
      // A pair comes after a single that misses as few.
      const Choice &a = s.singles[i], &b = s.singles[j];
      if (!mayPair(a) || !mayPair(b) || certainMisses(a, b) >= best->misses) continue;
      Choice c = makeChoice(s.roles, s.singles[i].first, s.singles[j].first);
      if (compareClosest(s.roles, c, *best) < 0) *best = c;
    }
  return found;
}

uint16_t maskOf(const Choice &c) { return uint16_t((1u << c.first) | (c.second >= 0 ? 1u << c.second : 0)); }

// Why nothing is chosen, where the room is open: no notes, or none on the
// channels a request can name (1 to 16), or nothing that the device may
// follow, or not where the file links.
ChoiceReason nothingChosen(const ChannelRoles &roles, bool (*mayFollow)(const ChannelFigures &)) {
  if (!roles.withNotes) return CHOICE_NO_NOTES;
  if (!(roles.withNotes & 0xFFFF)) return CHOICE_NOT_CARRIED;
  return candidatesOf(roles, 0xFFFF, mayFollow).count ? CHOICE_NOT_CARRIED : CHOICE_NOTHING_FITS;
}

void suggestVibration(const ChannelRoles &roles, const LinkRoom &room, Suggestion *suggestion) {
  if (!room.vibration) return void(suggestion->vibrationReason = CHOICE_NO_ROOM);
  Candidates candidates = candidatesOf(roles, room.vibration, vibratorMayFollow);
  if (!candidates.count) return void(suggestion->vibrationReason = nothingChosen(roles, vibratorMayFollow));
  Search s = {roles, {}, candidates.count, room.vibrationMost >= 2};
  for (int i = 0; i < s.count; ++i) s.singles[i] = makeChoice(roles, candidates.index[i], -1);
  Choice best = {};
  ChoiceReason reason = CHOICE_IN_BANDS;
  if (!bestInBands(s, 0, &best) && !bestInBands(s, 1, &best) && !bestInBands(s, 2, &best)) {
    reason = closest(s, 0, &best)   ? CHOICE_BASS_FALLBACK
             : closest(s, 1, &best) ? CHOICE_DRUMS_FALLBACK
                                    : CHOICE_CLOSEST;
    if (reason == CHOICE_CLOSEST) closest(s, -1, &best);
  }
  suggestion->vibration = maskOf(best);
  suggestion->vibrationReason = reason;
  suggestion->vibrationPattern = best.pattern;
}

// --- The LED ---

// A line the eye can follow: not chords, not a fast run; a pad or drone only
// where it is the melody itself.
bool ledMayFollow(const ChannelFigures &f) {
  return f.role == ROLE_MELODY || (f.role == ROLE_OTHER && !f.fast && !f.held) || (f.role == ROLE_BASS && !f.held);
}

// Negative when `a` leads: the melody, then another line, then the bass;
// among melodies those slow enough to follow; then the highest, which
// carries the tune; then the figures and the number.
int compareForLed(const ChannelRoles &roles, int a, int b) {
  const ChannelFigures &x = roles.figures[a], &y = roles.figures[b];
  auto rank = [](ChannelRole role) { return role == ROLE_MELODY ? 0 : role == ROLE_OTHER ? 1 : 2; };
  if (int o = order(rank(x.role), rank(y.role))) return o;
  if (int o = order(x.onsetsPerSecond > ledMostRate, y.onsetsPerSecond > ledMostRate)) return o;
  if (int o = order(-x.meanKey, -y.meanKey)) return o;
  if (int o = compareFigures(x, y)) return o;
  return order(a, b);
}

ChoiceReason ledReason(const ChannelRoles &roles, const Candidates &candidates, int chosen) {
  const ChannelFigures &f = roles.figures[chosen];
  if (f.role == ROLE_OTHER) return CHOICE_TOP_LINE;
  if (f.role == ROLE_BASS) return CHOICE_BASS_LINE;
  for (int i = 0; i < candidates.count; ++i) {
    const ChannelFigures &other = roles.figures[candidates.index[i]];
    if (other.role == ROLE_MELODY && other.onsetsPerSecond > ledMostRate && f.onsetsPerSecond <= ledMostRate)
      return CHOICE_SLOWER_MELODY;
  }
  return CHOICE_MELODY;
}

void suggestLed(const ChannelRoles &roles, const LinkRoom &room, Suggestion *suggestion) {
  if (!room.led) return void(suggestion->ledReason = CHOICE_NO_ROOM);
  Candidates candidates = candidatesOf(roles, room.led, ledMayFollow);
  if (!candidates.count) return void(suggestion->ledReason = nothingChosen(roles, ledMayFollow));
  int best = candidates.index[0];
  for (int i = 1; i < candidates.count; ++i)
    if (compareForLed(roles, candidates.index[i], best) < 0) best = candidates.index[i];
  suggestion->led = uint16_t(1u << best);
  suggestion->ledReason = ledReason(roles, candidates, best);
  suggestion->ledPattern = patternOf(roles, suggestion->led);
}

}  // namespace

void suggestLinks(const ChannelRoles &roles, const LinkRoom &room, Suggestion *suggestion) {
  *suggestion = {};
  suggestion->room = room;
  suggestVibration(roles, room, suggestion);
  suggestLed(roles, room, suggestion);
}

void suggestForImage(const uint8_t *bytes, uint64_t length, bool allTracks, FileSuggestion *file) {
  inspectWithoutNotes(bytes, length, &file->info);
  decodeTimeline(bytes, length, &file->timeline);
  readChannelRoles(file->timeline, &file->roles);
  suggestLinks(file->roles, linkRoom(file->info, allTracks), &file->suggestion);
}
