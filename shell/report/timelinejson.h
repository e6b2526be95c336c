// The note timeline as one line of JSON per file, for scripts and the web
// page: the format, where reading stopped, the piece's length, whether it
// loops, the channels of its format, every note as [channel, startMs,
// durationMs, key] in time order, and recorded sound as [startMs,
// durationMs] in time order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/timeline.h"

// Decodes the bytes and describes them: `sorbelin --timeline --json`
// prints this line for a file, without its line end.
std::string melodyTimelineJson(const char *path, const uint8_t *bytes, uint32_t length);

// The same for a timeline that decodeTimeline filled.
std::string timelineJson(const char *path, const Timeline &timeline);

// A file that could not be read, for the reason given.
std::string unreadableTimelineJson(const char *path, const char *reason);

// A note as reported.
struct ReportedNote {
  int64_t startMs;
  int64_t durationMs;
  uint16_t channel;
  uint8_t key;
};

// The notes in report order: by start, then channel, then key (then
// duration, so that the order is the same however the notes were read).
std::vector<ReportedNote> reportedNotes(const Timeline &timeline);
