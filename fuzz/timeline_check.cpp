// The note timeline on any bytes: notes and recorded sound within the
// piece, notes, programs and banks within MIDI's ranges, storage within what the input can hold,
// the walk's stop as the inspector reports it, well-formed reports, --info's
// counts equal to the timeline's, and a converted image's timeline equal to
// the input's.
#include <cstring>
#include <string>
#include <vector>

#include "engine/channelroles.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "engine/timeline.h"
#include "fuzz/checks.h"
#include "fuzz/jsonsyntax.h"
#include "fuzz/shapes.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"
#include "shell/report/timelinejson.h"
#include "shell/report/timelinetext.h"

namespace {

// A copy of the image in storage of exactly its size, so that the address
// sanitizer catches a read past its end.
void decodeCopy(const uint8_t *image, uint32_t count, Timeline *timeline) {
  std::vector<uint8_t> copy(image, image + count);
  decodeTimeline(copy.data(), copy.size(), timeline);
}

// A note takes three bytes of an i-melody, and in SMAF two bytes of a plain
// sequence or at least four bits of a compressed one.
uint64_t mostNotes(int format, uint32_t count) {
  return format == FORMAT_IMELODY ? count / 3 + 1 : 2 * uint64_t(count) + 1;
}

// Recorded sound: SMAF's only, each wave event taking three bytes at least,
// every span inside the piece, and playing no longer than the piece.
const char *checkRecordedSound(const Timeline &t, uint32_t count) {
  if (t.recordedSound.capacity() > 2 * (uint64_t(count) / 3 + 1))
    return "recorded sound's storage grew beyond the input";
  if (t.formatKind != FORMAT_SMAF && !t.recordedSound.empty()) return "recorded sound in a file without audio tracks";
  for (const SoundSpan &sound : t.recordedSound)
    if (sound.startMs < 0 || sound.durationMs < 0 || sound.durationMs > t.durationMs - sound.startMs)
      return "a span of recorded sound lies outside the piece";
  if (recordedSoundMs(t) > t.durationMs) return "recorded sound plays longer than the piece";
  return nullptr;
}

// Programs within MIDI's, banks within MSB x 128 + LSB; a SMAF file says
// nothing of channels beyond its format's.
const char *checkVoices(const Timeline &t) {
  for (int k = 0; k < describedChannels; ++k) {
    const ChannelVoice &v = t.voices[k];
    if (v.program < -1 || v.program > 127 || v.bank < -1 || v.bank > 16383)
      return "a channel's program or bank lies outside MIDI's";
    bool blank = !v.rhythm && v.program == -1 && v.bank == -1;
    if (t.formatKind == FORMAT_SMAF && k >= t.channels && !blank)
      return "a SMAF file describes a channel beyond its format's";
  }
  return nullptr;
}

const char *checkNotes(const Timeline &t, uint32_t count) {
  if (t.notes.capacity() > mostNotes(t.formatKind, count))
    return "the notes' storage grew beyond what the input can hold";
  if (t.formatKind == FORMAT_NONE && !t.notes.empty()) return "notes in a file of no format";
  if (t.durationMs < 0 || t.durationFloorMs < t.durationMs - 1 || t.durationFloorMs > t.durationMs)
    return "the piece's length before rounding lies more than a millisecond below its rounded length";
  int widest = t.formatKind == FORMAT_SMAF ? t.channels : 65535;
  for (const TimedNote &note : t.notes) {
    if (note.channel < 1 || note.channel > widest) return "a note's channel lies outside its format's";
    if (note.key > 127 || note.velocity > 127) return "a note's key or velocity lies outside MIDI's range";
    if (note.startMs < 0 || note.durationMs < 0) return "a note's start or duration is negative";
    if (note.durationMs > t.durationMs - note.startMs) return "a note ends after the piece";
  }
  if (const char *problem = checkRecordedSound(t, count)) return problem;
  return checkVoices(t);
}

bool samePlace(const StopPlace &a, const StopPlace &b) {
  return a.stop == b.stop && a.at == b.at && a.number == b.number;
}

bool holdsControl(const std::string &text) {
  for (unsigned char c : text)
    if (c < 0x20 && c != '\n') return true;
  return false;
}

// The reports' lines and strips, and --info's counts: i-melody channels 1
// to 16, every SMAF channel, as the JSON's notes give them; --info's
// reports with the channels' roles.
const char *checkReports(const uint8_t *image, uint32_t count, const Timeline &t) {
  if (!isJsonObjectLine(timelineJson("in\xff.mld", t))) return "the timeline's JSON is not one well-formed object";
  ChannelRoles roles;
  readChannelRoles(t, &roles);
  if (holdsControl(timelineText("in.mld", t, roles, 0x0005, 0x8001, {20, false}, LANGUAGE_JAPANESE)))
    return "the timeline's text holds a control character";
  MelodyInfo info;
  inspectImage(image, count, &info);
  if (!isJsonObjectLine(infoJson("in.mld", info, image, &roles))) return "--info's JSON with roles is not one object";
  if (holdsControl(infoText("in.mld", info, image, &roles, LANGUAGE_ENGLISH)))
    return "--info's text with roles holds a control character";
  if (!samePlace(info.stopped, t.stopped)) return "the timeline's walk stops elsewhere than the inspector's";
  if (!samePlace(info.notesStopped, t.notesStopped)) return "--info says another stop of the notes than the timeline";
  uint32_t counted[32] = {};
  uint32_t channels = t.formatKind == FORMAT_IMELODY ? 16 : 32;
  for (const ReportedNote &note : reportedNotes(t))
    if (note.channel <= channels) ++counted[note.channel - 1];
  if (std::memcmp(counted, info.notes, sizeof counted) != 0)
    return "--info's notes per channel differ from the timeline's";
  if (!t.recordedSound.empty() && info.audioTracks == 0) return "recorded sound that --info finds no audio track for";
  return nullptr;
}

// A conversion replaces link information only, and a dropped link event
// leaves its delta time: the notes, the length and the stops stay, but for
// the offsets, which the rewrite moves.
bool sameTimeline(const Timeline &a, const Timeline &b) {
  if (a.notes.size() != b.notes.size() || a.durationMs != b.durationMs || a.durationFloorMs != b.durationFloorMs ||
      a.loops != b.loops || a.channels != b.channels || a.stopped.stop != b.stopped.stop ||
      a.notesStopped.stop != b.notesStopped.stop || a.notesStopped.number != b.notesStopped.number)
    return false;
  if (a.recordedSound.size() != b.recordedSound.size()) return false;
  for (int k = 0; k < describedChannels; ++k)
    if (a.voices[k].rhythm != b.voices[k].rhythm || a.voices[k].program != b.voices[k].program ||
        a.voices[k].bank != b.voices[k].bank)
      return false;
  for (size_t k = 0; k < a.recordedSound.size(); ++k)
    if (a.recordedSound[k].startMs != b.recordedSound[k].startMs ||
        a.recordedSound[k].durationMs != b.recordedSound[k].durationMs)
      return false;
  for (size_t k = 0; k < a.notes.size(); ++k) {
    const TimedNote &x = a.notes[k], &y = b.notes[k];
    if (x.startMs != y.startMs || x.durationMs != y.durationMs || x.channel != y.channel || x.key != y.key ||
        x.velocity != y.velocity)
      return false;
  }
  return true;
}

const char *checkAgainstConversion(const uint8_t *image, uint32_t count, const Timeline &before,
                                   const ConversionRequest &request) {
  MemBlock output = {};
  ConversionResult result = convertCopy(image, count, request, &output);
  const char *problem = nullptr;
  int format = convertedFormat(result);
  if (format != FORMAT_NONE && sameWalkAgain(image, count, output.data, output.length, format)) {
    Timeline after;
    decodeCopy(output.data, output.length, &after);
    if (!sameTimeline(before, after)) problem = "converting the image changed its timeline";
  }
  memBlockFree(&output);
  return problem;
}

}  // namespace

const char *checkTimeline(const uint8_t *data, size_t size) {
  ConversionRequest request;
  const uint8_t *image;
  uint32_t count;
  if (!takeRequestAndImage(data, size, &request, &image, &count)) return nullptr;
  Timeline timeline;
  decodeCopy(image, count, &timeline);
  MelodyInfo info;
  inspectWithoutNotes(image, count, &info);
  if (timeline.formatKind != info.formatKind) return "the timeline names another format than the inspector";
  if (const char *problem = checkNotes(timeline, count)) return problem;
  if (const char *problem = checkReports(image, count, timeline)) return problem;
  return checkAgainstConversion(image, count, timeline, request);
}
