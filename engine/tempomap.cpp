#include "engine/tempomap.h"

#include <algorithm>
#include <numeric>

namespace {

// Ticks per quarter note by time-base code; 0 for the reserved codes, which
// keep the time base before them.
constexpr uint16_t ticksPerQuarter[16] = {6, 12, 24, 48, 96, 192, 384, 0, 15, 30, 60, 120, 240, 480, 960, 0};

// Before the first tempo event: time base 48, tempo 128.
const uint16_t firstTicksPerQuarter = 48;
const uint8_t firstTempo = 128;

// The largest denominator that a span's start keeps: its products with a
// tick's denominator (below 2^11) stay far inside 64 bits.
const uint64_t mostParts = uint64_t(1) << 32;

// A tick's length, 60000 / (time base x tempo) ms in lowest terms.
struct TickLength {
  uint32_t ms;
  uint32_t parts;
};

// An exact time: whole + num / den ms, with num < den.
struct ExactTime {
  int64_t whole;
  uint64_t num;
  uint64_t den;
};

TickLength tickLength(uint32_t ticksPerQuarter, uint8_t tempo) {
  uint32_t product = ticksPerQuarter * tempo, common = std::gcd(60000u, product);
  return {60000 / common, product / common};
}

// num / den to the nearest 1 / mostParts: a long division, one bit at a time.
void keepNearest(ExactTime &t) {
  uint64_t quotient = 0, rest = t.num;
  for (int bit = 0; bit < 32; ++bit) {
    rest <<= 1;
    quotient = quotient << 1 | (rest >= t.den);
    if (rest >= t.den) rest -= t.den;
  }
  quotient += 2 * rest >= t.den;
  t.num = quotient, t.den = mostParts;
  if (t.num == t.den) ++t.whole, t.num = 0;
}

// The time `ticks` ticks of `length` later: the fractions added over their
// common denominator, kept in lowest terms.
void addTicks(ExactTime &t, uint64_t ticks, TickLength length) {
  uint64_t ms = ticks * length.ms;
  t.whole += int64_t(ms / length.parts);
  uint64_t common = t.den / std::gcd(t.den, uint64_t(length.parts)) * length.parts;
  uint64_t num = t.num * (common / t.den) + ms % length.parts * (common / length.parts);
  if (num >= common) ++t.whole, num -= common;
  uint64_t divisor = num ? std::gcd(num, common) : common;
  t.num = num / divisor, t.den = common / divisor;
  if (t.den > mostParts) keepNearest(t);
}

// A tick after the span's start lies at start + x / parts ms, x = ticks x
// ms. Rounded: floor(start + 1/2 + x / parts), which is floor(start + 1/2)
// + floor((x + roundShift) / parts) with roundShift = floor(parts x the
// fraction of start + 1/2), since x is whole. The division's remainder
// tells whether the exact time's whole milliseconds are one fewer: below
// roundShift minus the same shift for the unrounded time (floor(parts x the
// fraction of start)), counted past a whole parts when the start itself
// rounds up.
TempoSpan spanFrom(uint64_t tick, const ExactTime &start, TickLength length) {
  bool startRoundsUp = 2 * start.num >= start.den;
  uint64_t half = startRoundsUp ? 2 * start.num - start.den : 2 * start.num + start.den;
  uint64_t shift = half * length.parts / (2 * start.den), unroundedShift = start.num * length.parts / start.den;
  uint64_t upBelow = (startRoundsUp ? length.parts : 0) + shift - unroundedShift;
  uint64_t inverse = length.parts == 1 ? uint64_t(1) << 40 : (uint64_t(1) << 40) / length.parts + 1;
  return {tick, start.whole + startRoundsUp, inverse, length.ms, length.parts, uint32_t(shift), uint32_t(upBelow)};
}

}  // namespace

std::vector<TempoSpan> tempoMap(std::vector<TempoChange> &changes) {
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TempoChange &a, const TempoChange &b) { return a.tick < b.tick; });
  std::vector<TempoSpan> spans;
  spans.reserve(changes.size() + 1);
  uint32_t base = firstTicksPerQuarter;
  TickLength length = tickLength(base, firstTempo);
  ExactTime start = {0, 0, 1};
  spans.push_back(spanFrom(0, start, length));
  for (const TempoChange &change : changes) {
    addTicks(start, change.tick - spans.back().tick, length);
    if (ticksPerQuarter[change.code]) base = ticksPerQuarter[change.code];
    length = tickLength(base, change.tempo);
    spans.push_back(spanFrom(change.tick, start, length));
  }
  return spans;
}

SpanTime spanTime(const TempoSpan &span, uint64_t tick) {
  uint64_t x = (tick - span.tick) * span.tickMs + span.roundShift;
  return {span.roundedStart + int64_t(x / span.tickParts), uint32_t(x % span.tickParts)};
}
