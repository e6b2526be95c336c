#include "shell/report/timelinetext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "engine/format.h"
#include "shell/report/phrases.h"
#include "shell/report/suggestwords.h"
#include "shell/report/textdecode.h"

namespace {

using Span = std::pair<double, double>;  // from and to, in milliseconds

// The four steps of a column, from a short sound to one that fills it, and
// the mark of a column in which notes begin but sound for a quarter of its
// time or less: a part of many very short notes (drums) shows its beats
// instead of looking silent.
const char *const blockSteps[4] = {"\u2581", "\u2583", "\u2585", "\u2588"};
const char *const asciiSteps[4] = {".", ":", "+", "#"};
const char *const blockOnset = "\u258C", *const asciiOnset = "!";

// The columns of a row's label: two blanks, "ch  5 ", the widest role of the
// language, " V L", and a blank before the strip's border.
int labelWidth(Language language) { return int(2 + 6 + roleColumns(language) + 4 + 1); }

std::string label(const std::string &text, Language language) {
  return padToColumns("  " + text, size_t(labelWidth(language)), 1);
}

// A column of a strip: how much of its time the spans cover, 0 to 1
// (overlapping spans once), and whether one begins in it.
struct Column {
  double share;
  bool onset;
};

std::vector<Column> columnsOf(std::vector<Span> spans, double totalMs, int columns) {
  std::vector<Column> out(size_t(columns), Column{0.0, false});
  if (!(totalMs > 0)) return out;
  std::sort(spans.begin(), spans.end());
  double columnMs = totalMs / columns, reached = 0;
  for (const Span &span : spans) {
    if (span.first >= 0 && span.first <= totalMs)
      out[size_t(std::min(int(span.first / columnMs), columns - 1))].onset = true;
    double from = std::max(span.first, reached), to = std::min(span.second, totalMs);
    if (to <= from) continue;
    reached = to;
    int first = std::min(int(from / columnMs), columns - 1), last = std::min(int(to / columnMs), columns - 1);
    for (int c = first; c <= last; ++c)
      out[size_t(c)].share += std::min(to, (c + 1) * columnMs) - std::max(from, c * columnMs);
  }
  for (Column &column : out) column.share /= columnMs;
  return out;
}

// The strip between its borders, without a line end.
std::string strip(const std::vector<Span> &spans, double totalMs, int columns, bool blocks) {
  std::string out = "|";
  for (const Column &column : columnsOf(spans, totalMs, columns)) {
    int step = std::min(3, std::max(0, int(std::ceil(column.share * 4)) - 1));
    if (column.onset && step == 0)
      out += blocks ? blockOnset : asciiOnset;
    else if (column.share <= 1e-9)
      out += ' ';
    else
      out += (blocks ? blockSteps : asciiSteps)[step];
  }
  return out + "|";
}

// Recorded sound plays whatever the links: its row says that it is not
// linked. None without recorded sound.
std::string recordingRow(const Timeline &timeline, double pieceMs, int columns, bool blocks, Language language) {
  if (timeline.recordedSound.empty()) return "";
  std::vector<Span> spans;
  for (const SoundSpan &sound : timeline.recordedSound)
    spans.push_back({double(sound.startMs), double(sound.startMs + sound.durationMs)});
  return label(inLanguage(msgRecordingRow, language), language) + strip(spans, pieceMs, columns, blocks) + " " +
         inLanguage(msgNotLinked, language) + "\n";
}

bool inMask(uint32_t mask, int channel) { return channel >= 1 && channel <= 32 && ((mask >> (channel - 1)) & 1); }

// The sounding spans of every channel that has notes, by channel number.
std::vector<std::pair<int, std::vector<Span>>> channelSpans(const Timeline &timeline) {
  std::vector<std::pair<int, std::vector<Span>>> channels;
  std::vector<const TimedNote *> notes;
  for (const TimedNote &note : timeline.notes) notes.push_back(&note);
  std::stable_sort(notes.begin(), notes.end(),
                   [](const TimedNote *a, const TimedNote *b) { return a->channel < b->channel; });
  for (const TimedNote *note : notes) {
    if (channels.empty() || channels.back().first != note->channel) channels.push_back({note->channel, {}});
    channels.back().second.push_back({double(note->startMs), double(note->startMs + note->durationMs)});
  }
  return channels;
}

// The channels' spans where the mask links them.
std::vector<Span> linkedSpans(const std::vector<std::pair<int, std::vector<Span>>> &channels, uint32_t mask) {
  std::vector<Span> spans;
  for (const auto &channel : channels)
    if (inMask(mask, channel.first)) spans.insert(spans.end(), channel.second.begin(), channel.second.end());
  return spans;
}

// A mark: whole seconds, or tenths for steps below a second.
std::string markText(uint64_t mark, double step) {
  uint64_t tenths = uint64_t(std::llround(double(mark) * step * 10));
  std::string text = std::to_string(tenths / 10);
  return tenths % 10 ? text + "." + std::to_string(tenths % 10) : text;
}

// Whether marks `step` seconds apart leave room for their labels: six
// columns a mark, and two more than the longest label (the last), so that
// rounding the columns never lets two labels touch.
bool roomFor(double step, double totalMs, int columns) {
  double columnsPerStep = step * 1000 * columns / totalMs;
  if (columnsPerStep < 6) return false;
  return columnsPerStep >= double(markText(uint64_t(totalMs / (step * 1000)), step).size() + 2);
}

// Seconds between two marks of the axis: the first step of the table that
// leaves room, then 5, 10, 20, 50, ... thousand.
double axisStep(double totalMs, int columns) {
  static const double steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200, 1800, 3600};
  for (double step : steps)
    if (roomFor(step, totalMs, columns)) return step;
  double power = 1000;
  for (; power < 1e300; power *= 10)
    for (double factor : {5, 10, 20})
      if (roomFor(factor * power, totalMs, columns)) return factor * power;
  return power;
}

// Each mark stands at the column where its second begins. Lengths beyond
// any melody's are marked as 9e18 ms, as every report holds them.
std::string axis(double totalMs, int columns, Language language) {
  totalMs = std::min(totalMs, 9e18);
  std::string marks(size_t(columns) + 1, ' ');
  double step = totalMs > 0 ? axisStep(totalMs, columns) : 0;
  for (uint64_t mark = 0; double(mark) * step * 1000 <= totalMs; ++mark) {
    std::string text = markText(mark, step);
    size_t at = size_t(std::llround(double(mark) * step * 1000 / std::max(totalMs, 1.0) * columns));
    if (at + text.size() > marks.size()) break;
    marks.replace(at, text.size(), text);
    if (step == 0) break;
  }
  return label("seconds", language) + " " + marks.substr(0, marks.find_last_not_of(' ') + 1) + "\n";
}

// "ch  5 melody V L": the channel, its role where it has one, and whether
// it drives the vibrator and the LED.
std::string channelLabel(int channel, const ChannelRoles &roles, uint32_t vibChannels, uint32_t ledChannels,
                         Language language) {
  char number[16], marks[8];
  std::snprintf(number, sizeof number, "ch%3d ", channel);
  std::snprintf(marks, sizeof marks, " %c %c", inMask(vibChannels, channel) ? 'V' : ' ',
                inMask(ledChannels, channel) ? 'L' : ' ');
  std::string role = hasNotes(roles, channel) ? roleName(roles.figures[channel - 1].role, language) : "";
  return label(number + padToColumns(role, roleColumns(language), 0) + marks, language);
}

std::string headline(const Timeline &timeline) {
  std::string format = timeline.formatKind == FORMAT_IMELODY ? "i-melody"
                       : timeline.formatKind == FORMAT_SMAF  ? "SMAF"
                                                             : "none";
  if (timeline.formatKind == FORMAT_NONE) return "  " + format + "\n";
  return "  " + format + ", " + durationText(timeline.durationFloorMs) + (timeline.loops ? ", loops" : "") + "\n";
}

}  // namespace

std::string timelineText(const char *path, const Timeline &timeline, const ChannelRoles &roles, uint32_t vibChannels,
                         uint32_t ledChannels, const StripLayout &layout, Language language) {
  std::string out = printablePath(path) + "\n";
  out += headline(timeline);
  int columns = std::max(1, layout.width - labelWidth(language) - 2);
  if (timeline.formatKind != FORMAT_NONE) {
    double pieceMs = double(timeline.durationMs);
    auto channels = channelSpans(timeline);
    for (const auto &channel : channels)
      out += channelLabel(channel.first, roles, vibChannels, ledChannels, language) +
             strip(channel.second, pieceMs, columns, layout.blocks) + "\n";
    out += recordingRow(timeline, pieceMs, columns, layout.blocks, language);
    out += label("vibration", language) + strip(linkedSpans(channels, vibChannels), pieceMs, columns, layout.blocks) +
           "\n";
    out += label("LED", language) + strip(linkedSpans(channels, ledChannels), pieceMs, columns, layout.blocks) + "\n";
    out += axis(pieceMs, columns, language);
  }
  std::string sentence = readingStopSentence(timeline.formatKind, timeline.stopped, timeline.notesStopped, language);
  if (!sentence.empty()) out += label("error", language) + sentence + "\n";
  return out;
}
