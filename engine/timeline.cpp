#include "engine/timeline.h"

#include <algorithm>

#include "engine/convert.h"
#include "engine/timelineparts.h"

void makeNoteRoom(Timeline &timeline, uint64_t more, uint64_t limit) {
  std::vector<TimedNote> &notes = timeline.notes;
  uint64_t need = std::min<uint64_t>(notes.size() + more, limit);
  if (need <= notes.capacity()) return;
  notes.reserve(size_t(std::min<uint64_t>(std::max<uint64_t>(need, 2 * uint64_t(notes.capacity())), limit)));
}

void decodeTimeline(const uint8_t *bytes, uint64_t length, Timeline *timeline) {
  timeline->notes.clear();
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
}
