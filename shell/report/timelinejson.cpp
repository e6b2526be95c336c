#include "shell/report/timelinejson.h"

#include <algorithm>
#include <charconv>

#include "engine/convert.h"
#include "shell/report/infojson.h"
#include "shell/report/textdecode.h"

namespace {

void appendNumber(std::string &out, int64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string noteList(const Timeline &timeline) {
  std::vector<ReportedNote> notes = reportedNotes(timeline);
  std::string out = "[";
  out.reserve(notes.size() * 20 + 2);
  for (const ReportedNote &note : notes) {
    out += out.size() > 1 ? ",[" : "[";
    appendNumber(out, note.channel);
    out += ',';
    appendNumber(out, note.startMs);
    out += ',';
    appendNumber(out, note.durationMs);
    out += ',';
    appendNumber(out, note.key);
    out += ']';
  }
  return out + "]";
}

std::string fields(const char *path, const char *format, const std::string &error, const std::string &rest) {
  return "{\"path\":" + quotedPath(path) + ",\"format\":" + format + ",\"error\":" + error + rest + "}";
}

}  // namespace

std::vector<ReportedNote> reportedNotes(const Timeline &timeline) {
  std::vector<ReportedNote> notes;
  notes.reserve(timeline.notes.size());
  for (const TimedNote &note : timeline.notes) {
    int64_t start = roundedMs(note.startMs), end = roundedMs(note.startMs + double(note.durationMs));
    notes.push_back({start, end - start, note.channel, note.key});
  }
  std::sort(notes.begin(), notes.end(), [](const ReportedNote &a, const ReportedNote &b) {
    if (a.startMs != b.startMs) return a.startMs < b.startMs;
    if (a.channel != b.channel) return a.channel < b.channel;
    if (a.key != b.key) return a.key < b.key;
    return a.durationMs < b.durationMs;
  });
  return notes;
}

std::string timelineStopSentence(const Timeline &timeline, Language language) {
  return readingStopSentence(timeline.formatKind, timeline.stopped, timeline.notesStopped, language);
}

std::string timelineJson(const char *path, const Timeline &timeline) {
  std::string sentence = timelineStopSentence(timeline, LANGUAGE_ENGLISH);
  std::string error = sentence.empty() ? "null" : quoted(sentence);
  if (timeline.formatKind == FORMAT_NONE)
    return fields(path, "null", error, ",\"durationMs\":null,\"loops\":null,\"channels\":null,\"notes\":[]");
  std::string rest = ",\"durationMs\":" + std::to_string(roundedMs(timeline.durationMs)) +
                     ",\"loops\":" + (timeline.loops ? "true" : "false") +
                     ",\"channels\":" + std::to_string(timeline.channels) + ",\"notes\":" + noteList(timeline);
  return fields(path, timeline.formatKind == FORMAT_IMELODY ? "\"i-melody\"" : "\"SMAF\"", error, rest);
}

std::string melodyTimelineJson(const char *path, const uint8_t *bytes, uint32_t length) {
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  return timelineJson(path, timeline);
}

std::string unreadableTimelineJson(const char *path, const char *reason) {
  std::string text = decodeText(reinterpret_cast<const uint8_t *>(reason), std::char_traits<char>::length(reason), TEXT_UTF8);
  return fields(path, "null", quoted(text), ",\"durationMs\":null,\"loops\":null,\"channels\":null,\"notes\":[]");
}
