// The i-melody timeline, in two walks over the image. The tempo events of
// every track make one tempo map for the file, so the first walk only counts
// ticks (each run of notes by the sum of its delta times) and gathers the
// tempo events; the second makes every note with its start and end in
// milliseconds, each track moving one position forward through the map.
#include <algorithm>

#include "engine/melodywalk.h"
#include "engine/tempomap.h"
#include "engine/timelineparts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The octave shift of a 4-byte note's last two bits.
constexpr int octaveShift[4] = {0, 1, -2, -1};

// The channels of track index 16382 end at 65532: the last that a note's
// channel number holds.
const uint32_t mostTracks = 16383;

enum TimingPass { TEMPO_PASS, NOTE_PASS };

struct MelodyTiming {
  Timeline *timeline;
  TimingPass pass;
  MelodyOrder order;
  uint64_t noteLimit;
  std::vector<TempoChange> tempos;  // the tempo pass's
  std::vector<TempoSpan> spans;     // the tempo map, for the note pass
  const TempoSpan *span;            // the note pass's position in it, for the track being read
  bool decoding;                    // false after a stop of the decoder's own
  bool inTrack;                     // between a track's start and its end
  bool trackEnded;                  // the track's end-of-track event was met: nothing after it counts
  uint64_t tick;
  uint64_t endTick;
  uint32_t firstChannel;
};

// A 6-bit velocity in MIDI's range, rounded.
constexpr uint8_t midiVelocity(uint32_t v) { return uint8_t((v * 127 * 2 + 63) / 126); }

// The stretch of the tempo map that holds `tick`, from `span` on: the last
// that begins at or before it.
const TempoSpan *spanAt(const TempoSpan *span, const TempoSpan *last, uint64_t tick) {
  while (span < last && span[1].tick <= tick) ++span;
  return span;
}

const TempoSpan *lastSpan(const MelodyTiming &m) { return m.spans.data() + m.spans.size() - 1; }

// The piece lasts at least until the time of `tick`, which lies in `span`.
void extendTo(MelodyTiming &m, const TempoSpan &span, uint64_t tick) {
  SpanTime time = spanTime(span, tick);
  extendDuration(*m.timeline, time.ms, roundedUp(span, time));
}

// A track ends at its end-of-track event, or after its last event; the
// piece lasts at least as long.
void closeTrack(MelodyTiming &m) {
  if (!m.inTrack) return;
  m.inTrack = false;
  if (m.pass != NOTE_PASS) return;
  uint64_t endTick = m.trackEnded ? m.endTick : m.tick;
  extendTo(m, *spanAt(m.span, lastSpan(m), endTick), endTick);
}

void stopDecoding(MelodyTiming &m, TimelineStop stop, uint64_t at, uint32_t track) {
  closeTrack(m);
  stopNotes(*m.timeline, stop, at, track);
  m.decoding = false;
}

bool onFileChunk(MelodyTiming &m, MelodyWalkState &w) {
  m.order.fileChunkAt = w.io.inPos;
  return true;
}

bool onHeaderChunk(MelodyTiming &, MelodyWalkState &, uint64_t) { return true; }

bool onAudioChunk(MelodyTiming &m, MelodyWalkState &w, uint64_t) {
  markBody(m.order, w.io.inPos);
  return true;
}

// Track k (from 0) holds channels 4k + 1 to 4k + 4.
bool onTrackStart(MelodyTiming &m, MelodyWalkState &w, uint64_t) {
  markBody(m.order, w.io.inPos);
  if (!m.decoding) return true;
  if (w.tracks > mostTracks) {
    stopDecoding(m, TIMELINE_TOO_MANY_TRACKS, w.io.inPos, w.tracks);
    return true;
  }
  if (m.pass == NOTE_PASS) m.span = m.spans.data();
  m.inTrack = true;
  m.trackEnded = false;
  m.tick = 0;
  m.firstChannel = 4 * (w.tracks - 1) + 1;
  return true;
}

#if defined(__SSE2__)
// Masks that keep the first byte of every note in 16 notes' bytes: three
// vectors for 3-byte notes, four for 4-byte ones.
template <uint64_t noteLength>
struct DeltaMasks {
  alignas(16) uint8_t bytes[noteLength][16];
  constexpr DeltaMasks() : bytes() {
    for (uint64_t i = 0; i < 16 * noteLength; ++i) bytes[i / 16][i % 16] = i % noteLength == 0 ? 0xFF : 0;
  }
};
template <uint64_t noteLength>
constexpr DeltaMasks<noteLength> deltaMasks{};
#endif

// The sum of the delta times of the notes from `from` to `to`: their first
// bytes, every noteLength-th.
template <uint64_t noteLength>
uint64_t sumOfDeltas(const uint8_t *in, uint64_t from, uint64_t to) {
  uint64_t sum = 0, at = from;
#if defined(__SSE2__)
  // Sixteen notes at a time: the delta bytes kept by a mask, added up by
  // the sum of absolute differences from zero.
  const uint64_t block = 16 * noteLength;
  __m128i total = _mm_setzero_si128(), zero = _mm_setzero_si128();
  for (; at + block <= to; at += block) {
    for (uint64_t v = 0; v < noteLength; ++v) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + at + 16 * v));
      __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i *>(deltaMasks<noteLength>.bytes[v]));
      total = _mm_add_epi64(total, _mm_sad_epu8(_mm_and_si128(bytes, mask), zero));
    }
  }
  alignas(16) uint64_t halves[2];
  _mm_store_si128(reinterpret_cast<__m128i *>(halves), total);
  sum = halves[0] + halves[1];
#endif
  for (; at < to; at += noteLength) sum += in[at];
  return sum;
}

// A time as the piece's length needs it: rounded, and before rounding with
// its fraction of a millisecond dropped.
struct NoteEnd {
  int64_t ms;
  int64_t wholeMs;
};

NoteEnd noteEnd(const TempoSpan &span, SpanTime time) { return {time.ms, time.ms - roundedUp(span, time)}; }

// The end of a note that runs on into a later span of the map.
NoteEnd endInLaterSpan(const TempoSpan *span, const TempoSpan *last, uint64_t endTick) {
  span = spanAt(span, last, endTick);
  return noteEnd(*span, spanTime(*span, endTick));
}

// Each note: delta time, status (voice and key), gate time, and in 4-byte
// notes velocity and octave shift. It starts at the sum of its track's delta
// times and sounds for its gate time, both turned into milliseconds by the
// tempo map: inside a span by steps from the note before, without a
// division. Room is made for the run's notes first; they are made in a small
// batch of local storage and appended a batch at a time, so that the loop's
// state (the span's numbers too) stays in registers.
template <uint64_t noteLength>
void addNotes(MelodyTiming &m, const uint8_t *in, uint64_t from, uint64_t to) {
  const int batchSize = 64;
  TimedNote batch[batchSize];
  std::vector<TimedNote> &notes = m.timeline->notes;
  makeNoteRoom(*m.timeline, (to - from) / noteLength, m.noteLimit);
  const TempoSpan *last = lastSpan(m), *span = spanAt(m.span, last, m.tick);
  TempoSpan here = *span;
  uint64_t tick = m.tick, nextTick = span < last ? span[1].tick : UINT64_MAX;
  SpanTime start = spanTime(here, tick);
  uint32_t firstChannel = m.firstChannel;
  NoteEnd latest = {m.timeline->durationMs, m.timeline->durationFloorMs};
  for (uint64_t at = from; at < to;) {
    int count = 0;
    for (; count < batchSize && at < to; ++count, at += noteLength) {
      tick += in[at];
      if (tick < nextTick) {
        start = stepTime(here, start, in[at]);
      } else {
        span = spanAt(span, last, tick);
        here = *span;
        nextTick = span < last ? span[1].tick : UINT64_MAX;
        start = spanTime(here, tick);
      }
      uint64_t endTick = tick + in[at + 2];
      NoteEnd end =
          endTick < nextTick ? noteEnd(here, stepTime(here, start, in[at + 2])) : endInLaterSpan(span, last, endTick);
      uint8_t status = in[at + 1];
      int key = (status & 0x3F) + 45;
      uint8_t velocity = 127;
      if (noteLength == 4) {
        velocity = midiVelocity(in[at + 3] >> 2);
        key += 12 * octaveShift[in[at + 3] & 3];
      }
      latest.ms = std::max(latest.ms, end.ms);
      latest.wholeMs = std::max(latest.wholeMs, end.wholeMs);
      batch[count] = {start.ms, end.ms - start.ms, uint16_t(firstChannel + (status >> 6)), midiValue(key), velocity};
    }
    notes.insert(notes.end(), batch, batch + count);
  }
  m.timeline->durationMs = latest.ms;
  m.timeline->durationFloorMs = latest.wholeMs;
  m.tick = tick;
  m.span = span;
}

bool onNotes(MelodyTiming &m, MelodyWalkState &w, uint64_t from, uint64_t to) {
  if (!m.inTrack || m.trackEnded) return true;
  bool four = w.noteFlag != 0;
  if (m.pass == TEMPO_PASS)
    m.tick += four ? sumOfDeltas<4>(w.io.in, from, to) : sumOfDeltas<3>(w.io.in, from, to);
  else if (four)
    addNotes<4>(m, w.io.in, from, to);
  else
    addNotes<3>(m, w.io.in, from, to);
  return true;
}

// Extended events (status 0xFF) that tell a channel's sound: program
// (0xE0) and bank (0xE1), the data byte holding the voice of the track in
// bits 7-6 and the value in bits 5-0; and the drum channel (0xBA), bits 6-3
// naming a channel of the 16 and bit 0 turning drums on or off, as a public
// MLD player reads it (no real file we have holds one).
void readVoiceEvent(MelodyTiming &m, uint8_t id, uint8_t data) {
  int channel = int(m.firstChannel) + (data >> 6);
  if (id == 0xE0) setProgram(*m.timeline, channel, data & 0x3F);
  if (id == 0xE1) setBank(*m.timeline, channel, data & 0x3F);
  if (id == 0xBA) setRhythm(*m.timeline, ((data >> 3) & 0x0F) + 1, data & 1);
}

// Extended events of status 0xFF that bear on timing: tempo (0xC0 to
// 0xCF), long no-op (0xDC: delta + 256 x its data byte), loop point (0xDD)
// and jump (0xD1), end of track (0xDF). The class events count only their
// delta time. The tempo pass gathers the tempo events; both passes count
// ticks and stop alike. The note pass reads what the events say of the
// channels' sound.
bool onEvent(MelodyTiming &m, MelodyWalkState &w, uint64_t at, uint64_t, LinkKind) {
  if (!m.inTrack || m.trackEnded) return true;
  const uint8_t *event = w.io.in + at;
  m.tick += event[0];
  if (event[1] != 0xFF) return true;
  uint8_t id = event[2];
  if (m.pass == NOTE_PASS && id < 0xF0) readVoiceEvent(m, id, event[3]);
  if (id >= 0xC0 && id <= 0xCF) {
    if (event[3] == 0)
      stopDecoding(m, TIMELINE_TEMPO_ZERO, at, w.tracks);
    else if (m.pass == TEMPO_PASS)
      m.tempos.push_back({m.tick, uint8_t(id & 0x0F), event[3]});
  } else if (id == 0xDC) {
    m.tick += 256 * uint64_t(event[3]);
  } else if (id == 0xDD || id == 0xD1) {
    m.timeline->loops = true;
  } else if (id == 0xDF) {
    m.trackEnded = true;
    m.endTick = m.tick;
  }
  return true;
}

bool onTrackEnd(MelodyTiming &m, MelodyWalkState &, uint64_t) {
  closeTrack(m);
  return true;
}

// One walk of the image in the given pass.
MelodyWalkState walkPass(MelodyTiming &m, TimingPass pass, const uint8_t *bytes, uint64_t length) {
  MelodyWalkState w = startMelodyWalk(bytes, length, nullptr, 0);
  m.pass = pass;
  m.order = {};
  m.decoding = true;
  m.inTrack = false;
  if (walkMelody(w, m)) checkMelodyOrder(m.order, w);
  closeTrack(m);
  return w;
}

}  // namespace

void decodeMelodyTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline) {
  MelodyTiming m = {};
  m.timeline = timeline;
  m.noteLimit = length / 3 + 1;
  walkPass(m, TEMPO_PASS, bytes, length);
  m.spans = tempoMap(m.tempos);
  timeline->notesStopped = {};
  MelodyWalkState w = walkPass(m, NOTE_PASS, bytes, length);
  timeline->stopped = melodyStopPlace(w);
}
