// The i-melody tempo map: the time base and tempo from each tempo event on,
// and the time of any tick in whole milliseconds.
//
// A tick lasts 60000 / (time base x tempo) ms, a fraction that seldom ends
// (tempo 121 at time base 48: 10.3305785... ms). A time is rounded to the
// nearest millisecond (a half up) once, from its exact value: each stretch
// of the map keeps its start exactly, as whole milliseconds and a fraction
// of two integers, so that no time drifts however many tempo events come
// before it, and a time that lies exactly on a half rounds up wherever it
// lies. The fraction's denominator is the common multiple of the tick
// lengths' denominators before it (each below 2^10): in lowest terms below
// 2^32 for every tempo map of a few tempos. Where it would pass 2^32 (five
// or more tempos whose denominators share no factor) the fraction is kept
// to the nearest 2^-32 ms, so that a time can then round the other way only
// when it lies within a few 2^-32 ms of a half.
#pragma once

#include <cstdint>
#include <vector>

// A tempo event: from `tick` on, the time base of `code` and `tempo`
// quarter notes per minute.
struct TempoChange {
  uint64_t tick;
  uint8_t code;
  uint8_t tempo;
};

// A stretch of the map, from `tick` on. A tick lasts tickMs / tickParts ms
// (the fraction in lowest terms; tickParts below 2^10). The tick k ticks
// after `tick` lies at roundedStart + (k x tickMs + roundShift) / tickParts
// ms, rounded, and the division's remainder below roundedUpBelow says that
// it was rounded up. partsInverse divides by tickParts: see stepTime.
struct TempoSpan {
  uint64_t tick;
  int64_t roundedStart;
  uint64_t partsInverse;
  uint32_t tickMs;
  uint32_t tickParts;
  uint32_t roundShift;
  uint32_t roundedUpBelow;
};

// The map of the tempo events of every track, in tick order (at the same
// tick, later tracks' events after earlier ones'); before the first, time
// base 48 and tempo 128. A tempo of 0 is the caller's to refuse.
std::vector<TempoSpan> tempoMap(std::vector<TempoChange> &changes);

// A time in whole milliseconds: `ms`, rounded, and its exact value's
// remainder in 1/tickParts ms of the span that it lies in.
struct SpanTime {
  int64_t ms;
  uint32_t part;
};

// The time of `tick`, which lies in `span` (at or after its start).
SpanTime spanTime(const TempoSpan &span, uint64_t tick);

// The rounded time lies above the exact one: the exact time's whole
// milliseconds are one fewer.
inline bool roundedUp(const TempoSpan &span, const SpanTime &time) { return time.part < span.roundedUpBelow; }

// The time `ticks` (0 to 255) after `time`, in the same span, without a
// division: ticks x tickMs lies below 2^24, and for such x, x / tickParts is
// (x x partsInverse) >> 40, partsInverse being 2^40 / tickParts rounded up
// (its error, below 2^24 / 2^40, never reaches the 1 / tickParts that would
// move the quotient).
// The carry into the milliseconds is added without a branch: it goes either
// way as often as not.
inline SpanTime stepTime(const TempoSpan &span, SpanTime time, uint32_t ticks) {
  uint64_t x = uint64_t(ticks) * span.tickMs, whole = x * span.partsInverse >> 40;
  uint32_t part = time.part + uint32_t(x - whole * span.tickParts), carry = part >= span.tickParts;
  return {time.ms + int64_t(whole + carry), part - carry * span.tickParts};
}
