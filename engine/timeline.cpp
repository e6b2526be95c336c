#include "engine/timeline.h"

#include <algorithm>

#include "engine/format.h"
#include "engine/timelineparts.h"

void makeNoteRoom(Timeline &timeline, uint64_t more, uint64_t limit) {
  std::vector<TimedNote> &notes = timeline.notes;
  uint64_t need = std::min<uint64_t>(notes.size() + more, limit);
  if (need <= notes.capacity()) return;
  notes.reserve(size_t(std::min<uint64_t>(std::max<uint64_t>(need, 2 * uint64_t(notes.capacity())), limit)));
}

void decodeTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline) {
  timeline->notes.clear();
  timeline->recordedSound.clear();
  timeline->formatKind = length > UINT32_MAX ? FORMAT_NONE : findFormat(bytes, uint32_t(length));
  timeline->durationMs = 0;
  timeline->durationFloorMs = 0;
  timeline->loops = false;
  timeline->channels = 16;
  timeline->stopped = {};
  timeline->notesStopped = {};
  for (ChannelVoice &voice : timeline->voices) voice = {false, -1, -1};
  if (timeline->formatKind == FORMAT_IMELODY) decodeMelodyTimeline(bytes, length, timeline);
  if (timeline->formatKind == FORMAT_SMAF) decodeSmafTimeline(bytes, length, timeline);
  if (readsAsNoMelody(timeline->formatKind, bytes, length, timeline->stopped)) {
    timeline->formatKind = FORMAT_NONE;
    timeline->notes.clear();
    timeline->durationMs = 0;
    timeline->stopped = {};
    timeline->notesStopped = {};
  }
}

int64_t recordedSoundMs(const Timeline &timeline) {
  std::vector<SoundSpan> spans = timeline.recordedSound;
  std::sort(spans.begin(), spans.end(), [](const SoundSpan &a, const SoundSpan &b) { return a.startMs < b.startMs; });
  int64_t total = 0, reached = 0;
  for (const SoundSpan &span : spans) {
    int64_t from = std::max(span.startMs, reached), to = span.startMs + span.durationMs;
    if (to > from) total += to - from, reached = to;
  }
  return total;
}
