// The i-melody timeline. The walk hands over each track's notes and extended
// events; the reading here counts ticks per track, keeps each note with its
// start tick and gate time, and gathers every track's tempo events. Once
// the walk is done, the tempo events make one tempo map for the file, and a
// second pass over each track's notes turns ticks into milliseconds.
#include <algorithm>

#include "engine/melodywalk.h"
#include "engine/timelineparts.h"

namespace {

// Ticks per quarter note by time-base code; 0 for the reserved codes, which
// keep the time base before them.
constexpr uint16_t ticksPerQuarter[16] = {6, 12, 24, 48, 96, 192, 384, 0, 15, 30, 60, 120, 240, 480, 960, 0};

// Before the first tempo event: time base 48, tempo 128.
const uint16_t firstTicksPerQuarter = 48;
const uint8_t firstTempo = 128;

// The octave shift of a 4-byte note's last two bits.
constexpr int octaveShift[4] = {0, 1, -2, -1};

// The channels of track index 16382 end at 65532: the last that a note's
// channel number holds.
const uint32_t mostTracks = 16383;

// A tempo event: from `tick` on, the time base of `code` and `tempo`
// quarter notes per minute.
struct TempoChange {
  uint64_t tick;
  uint8_t code;
  uint8_t tempo;
};

// A stretch of the tempo map: it begins at `tick`, `ms` after the start,
// and each of its ticks lasts msPerTick.
struct TempoSpan {
  uint64_t tick;
  double ms;
  double msPerTick;
};

// A track's notes in the timeline, and the tick at which it ended.
struct TrackNotes {
  size_t first;
  size_t end;
  uint64_t endTick;
};

struct MelodyTiming {
  Timeline *timeline;
  MelodyOrder order;
  uint64_t noteLimit;
  std::vector<TempoChange> tempos;
  std::vector<TrackNotes> tracks;
  bool decoding;    // false after a stop of the decoder's own
  bool inTrack;     // between a track's start and its end
  bool trackEnded;  // the track's end-of-track event was met: nothing after it counts
  uint64_t tick;
  uint64_t endTick;
  uint32_t firstChannel;
  size_t trackFirst;
};

// A 6-bit velocity in MIDI's range, rounded.
constexpr uint8_t midiVelocity(uint32_t v) { return uint8_t((v * 127 * 2 + 63) / 126); }

void closeTrack(MelodyTiming &m) {
  if (!m.inTrack) return;
  m.tracks.push_back({m.trackFirst, m.timeline->notes.size(), m.trackEnded ? m.endTick : m.tick});
  m.inTrack = false;
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

// Track k (from 0) holds channels 4k + 1 to 4k + 4. Its notes take at least
// a note's length each of the bytes that lie inside the input.
bool onTrackStart(MelodyTiming &m, MelodyWalkState &w, uint64_t declared) {
  markBody(m.order, w.io.inPos);
  if (!m.decoding) return true;
  if (w.tracks > mostTracks) {
    stopDecoding(m, TIMELINE_TOO_MANY_TRACKS, w.io.inPos, w.tracks);
    return true;
  }
  uint64_t begin = std::min(w.io.inPos + 8, w.io.inLength), end = std::min(begin + declared, w.io.inLength);
  makeNoteRoom(*m.timeline, (end - begin) / (3 + w.noteFlag) + 1, m.noteLimit);
  m.inTrack = true;
  m.trackEnded = false;
  m.tick = 0;
  m.firstChannel = 4 * (w.tracks - 1) + 1;
  m.trackFirst = m.timeline->notes.size();
  return true;
}

// Each note: delta time, status (voice and key), gate time, and in 4-byte
// notes velocity and octave shift. The note keeps its start tick and gate
// time until the tempo map turns them into milliseconds. Notes are made in
// a small batch of local storage and appended a batch at a time, so that
// the loop's state stays in registers.
template <uint64_t noteLength>
void addNotes(MelodyTiming &m, const uint8_t *in, uint64_t from, uint64_t to) {
  const int batchSize = 64;
  TimedNote batch[batchSize];
  std::vector<TimedNote> &notes = m.timeline->notes;
  uint64_t tick = m.tick;
  uint32_t firstChannel = m.firstChannel;
  for (uint64_t at = from; at < to;) {
    int count = 0;
    for (; count < batchSize && at < to; ++count, at += noteLength) {
      tick += in[at];
      uint8_t status = in[at + 1];
      int key = (status & 0x3F) + 45;
      uint8_t velocity = 127;
      if (noteLength == 4) {
        velocity = midiVelocity(in[at + 3] >> 2);
        key += 12 * octaveShift[in[at + 3] & 3];
      }
      batch[count] = {double(tick), float(in[at + 2]), uint16_t(firstChannel + (status >> 6)), midiValue(key), velocity};
    }
    notes.insert(notes.end(), batch, batch + count);
  }
  m.tick = tick;
}

bool onNotes(MelodyTiming &m, MelodyWalkState &w, uint64_t from, uint64_t to) {
  if (!m.inTrack || m.trackEnded) return true;
  if (w.noteFlag)
    addNotes<4>(m, w.io.in, from, to);
  else
    addNotes<3>(m, w.io.in, from, to);
  return true;
}

// Extended events of status 0xFF that bear on timing: tempo (0xC0 to
// 0xCF), long no-op (0xDC: delta + 256 x its data byte), loop point (0xDD)
// and jump (0xD1), end of track (0xDF). The class events count only their
// delta time.
bool onEvent(MelodyTiming &m, MelodyWalkState &w, uint64_t at, uint64_t, LinkKind) {
  if (!m.inTrack || m.trackEnded) return true;
  const uint8_t *event = w.io.in + at;
  m.tick += event[0];
  if (event[1] != 0xFF) return true;
  uint8_t id = event[2];
  if (id >= 0xC0 && id <= 0xCF) {
    if (event[3] == 0) stopDecoding(m, TIMELINE_TEMPO_ZERO, at, w.tracks);
    else m.tempos.push_back({m.tick, uint8_t(id & 0x0F), event[3]});
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

// The tempo map: the tempo events of every track in tick order (at the same
// tick, later tracks' events after earlier ones').
std::vector<TempoSpan> tempoMap(std::vector<TempoChange> &changes) {
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TempoChange &a, const TempoChange &b) { return a.tick < b.tick; });
  std::vector<TempoSpan> spans;
  spans.reserve(changes.size() + 1);
  uint32_t base = firstTicksPerQuarter;
  spans.push_back({0, 0.0, 60000.0 / (base * firstTempo)});
  for (const TempoChange &change : changes) {
    const TempoSpan &last = spans.back();
    double ms = last.ms + double(change.tick - last.tick) * last.msPerTick;
    if (ticksPerQuarter[change.code]) base = ticksPerQuarter[change.code];
    spans.push_back({change.tick, ms, 60000.0 / (base * change.tempo)});
  }
  return spans;
}

// The last stretch up to `last` that begins at or before `tick`, from
// `span` on.
const TempoSpan *spanAt(const TempoSpan *span, const TempoSpan *last, uint64_t tick) {
  while (span < last && span[1].tick <= tick) ++span;
  return span;
}

// Ticks stay below 2^53, which a double holds exactly.
double msAt(const TempoSpan *span, uint64_t tick) { return span->ms + double(int64_t(tick - span->tick)) * span->msPerTick; }

// A track's notes lie in time order, so one position in the tempo map moves
// forward through them; a note's end may lie some stretches further on.
void toMilliseconds(Timeline &timeline, const std::vector<TempoSpan> &spans, const TrackNotes &track) {
  const TempoSpan *span = spans.data(), *last = span + spans.size() - 1;
  TimedNote *note = timeline.notes.data() + track.first, *end = timeline.notes.data() + track.end;
  double latest = 0;
  for (; note < end; ++note) {
    uint64_t startTick = uint64_t(int64_t(note->startMs)), endTick = startTick + uint64_t(int64_t(note->durationMs));
    span = spanAt(span, last, startTick);
    double startMs = msAt(span, startTick), endMs = msAt(spanAt(span, last, endTick), endTick);
    note->startMs = startMs;
    note->durationMs = float(endMs - startMs);
    latest = std::max(latest, startMs + double(note->durationMs));
  }
  span = spanAt(span, last, track.endTick);
  extendDuration(timeline, std::max(latest, msAt(span, track.endTick)));
}

}  // namespace

void decodeMelodyTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline) {
  MelodyWalkState w = startMelodyWalk(bytes, length, nullptr, 0);
  MelodyTiming m = {};
  m.timeline = timeline;
  m.noteLimit = length / 3 + 1;
  m.decoding = true;
  if (walkMelody(w, m)) checkMelodyOrder(m.order, w);
  closeTrack(m);
  timeline->stopped = melodyStopPlace(w);
  std::vector<TempoSpan> spans = tempoMap(m.tempos);
  for (const TrackNotes &track : m.tracks) toMilliseconds(*timeline, spans, track);
}
