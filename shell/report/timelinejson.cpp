#include "shell/report/timelinejson.h"

#include <algorithm>
#include <charconv>

#include "engine/format.h"
#include "shell/report/phrases.h"
#include "shell/report/textdecode.h"

namespace {

void appendNumber(std::string &out, int64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The notes as a JSON array, appended to `out` without a copy of it: a
// large melody's list runs to many megabytes.
void appendNoteList(std::string &out, const Timeline &timeline) {
  std::vector<ReportedNote> notes = reportedNotes(timeline);
  out.reserve(out.size() + notes.size() * 24 + 3);
  out += '[';
  for (size_t k = 0; k < notes.size(); ++k) {
    out += k ? ",[" : "[";
    appendNumber(out, notes[k].channel);
    out += ',';
    appendNumber(out, notes[k].startMs);
    out += ',';
    appendNumber(out, notes[k].durationMs);
    out += ',';
    appendNumber(out, notes[k].key);
    out += ']';
  }
  out += ']';
}

// Recorded sound as [startMs, durationMs] pairs, by start.
void appendRecordedSound(std::string &out, const Timeline &timeline) {
  std::vector<SoundSpan> spans = timeline.recordedSound;
  std::sort(spans.begin(), spans.end(), [](const SoundSpan &a, const SoundSpan &b) {
    return a.startMs != b.startMs ? a.startMs < b.startMs : a.durationMs < b.durationMs;
  });
  out += '[';
  for (size_t k = 0; k < spans.size(); ++k) {
    out += k ? ",[" : "[";
    appendNumber(out, spans[k].startMs);
    out += ',';
    appendNumber(out, spans[k].durationMs);
    out += ']';
  }
  out += ']';
}

const char *const noTimeline =
    ",\"durationMs\":null,\"loops\":null,\"channels\":null,\"notes\":[],\"recordedSound\":[]}";

std::string head(const char *path, const char *format, const std::string &error) {
  return "{\"path\":" + quotedPath(path) + ",\"format\":" + format + ",\"error\":" + error;
}

}  // namespace

std::vector<ReportedNote> reportedNotes(const Timeline &timeline) {
  std::vector<ReportedNote> notes;
  notes.reserve(timeline.notes.size());
  for (const TimedNote &note : timeline.notes) notes.push_back({note.startMs, note.durationMs, note.channel, note.key});
  std::sort(notes.begin(), notes.end(), [](const ReportedNote &a, const ReportedNote &b) {
    if (a.startMs != b.startMs) return a.startMs < b.startMs;
    if (a.channel != b.channel) return a.channel < b.channel;
    if (a.key != b.key) return a.key < b.key;
    return a.durationMs < b.durationMs;
  });
  return notes;
}

std::string timelineJson(const char *path, const Timeline &timeline) {
  std::string sentence =
      readingStopSentence(timeline.formatKind, timeline.stopped, timeline.notesStopped, LANGUAGE_ENGLISH);
  std::string error = sentence.empty() ? "null" : quoted(sentence);
  if (timeline.formatKind == FORMAT_NONE) return head(path, "null", error) + noTimeline;
  std::string out = head(path, timeline.formatKind == FORMAT_IMELODY ? "\"i-melody\"" : "\"SMAF\"", error);
  out += ",\"durationMs\":" + std::to_string(timeline.durationMs);
  out += ",\"loops\":";
  out += timeline.loops ? "true" : "false";
  out += ",\"channels\":" + std::to_string(timeline.channels) + ",\"notes\":";
  appendNoteList(out, timeline);
  out += ",\"recordedSound\":";
  appendRecordedSound(out, timeline);
  out += '}';
  return out;
}

std::string melodyTimelineJson(const char *path, const uint8_t *bytes, uint32_t length) {
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  return timelineJson(path, timeline);
}

std::string unreadableTimelineJson(const char *path, const char *reason) {
  std::string text =
      decodeText(reinterpret_cast<const uint8_t *>(reason), std::char_traits<char>::length(reason), TEXT_UTF8);
  return head(path, "null", quoted(text)) + noTimeline;
}
