#include "shell/report/infojson.h"

#include <cstdio>

#include "engine/convert.h"
#include "engine/melodywalk.h"
#include "engine/smafwalk.h"
#include "engine/timeline.h"
#include "shell/report/textdecode.h"

namespace {

// The message for a stop of the walk (the one for "not a melody" when no
// format was found), or null when the walk read the image whole.
const Message *walkStopMessage(int formatKind, int stop) {
  if (formatKind == FORMAT_NONE) return &msgNotMelody;
  if (formatKind == FORMAT_IMELODY) {
    switch (stop) {
      case MELODY_FILE_CHUNK_CUT: return &msgFileChunkCut;
      case MELODY_HEADER_CUT: return &msgHeaderChunkCut;
      case MELODY_AUDIO_CUT: return &msgAudioChunkCut;
      case MELODY_TRACK_HEAD_CUT:
      case MELODY_TRACK_CUT: return &msgTrackCut;
      case MELODY_NO_FILE_CHUNK: return &msgNoFileChunk;
      case MELODY_BODY_FIRST: return &msgBodyFirst;
      case MELODY_EVENT_PAST_TRACK: return &msgEventPastTrack;
    }
    return nullptr;
  }
  switch (stop) {
    case SMAF_FILE_CHUNK_CUT: return &msgFileChunkCut;
    case SMAF_CHUNK_CUT: return &msgChunkCut;
    case SMAF_CONTENTS_SHORT: return &msgContentsShort;
    case SMAF_SCORE_TRACK_SHORT: return &msgScoreTrackShort;
    case SMAF_NO_FILE_CHUNK: return &msgNoFileChunk;
  }
  return nullptr;
}

// The message for a stop inside a track, or null.
const Message *notesStopMessage(int stop) {
  switch (stop) {
    case TIMELINE_TEMPO_ZERO: return &msgTempoZero;
    case TIMELINE_TOO_MANY_TRACKS: return &msgTooManyTracks;
    case TIMELINE_TRACK_HEADER_SHORT: return &msgTrackHeaderShort;
    case TIMELINE_UNKNOWN_FORMAT: return &msgUnknownFormat;
    case TIMELINE_UNKNOWN_TIME_BASE: return &msgUnknownTimeBase;
    case TIMELINE_PART_CUT: return &msgPartCut;
    case TIMELINE_SEQUENCE_CUT: return &msgSequenceCut;
    case TIMELINE_ENDLESS_NUMBER: return &msgEndlessNumber;
    case TIMELINE_UNKNOWN_EVENT: return &msgUnknownEvent;
    case TIMELINE_HUFFMAN_CUT: return &msgCompressedCut;
    case TIMELINE_HUFFMAN_TREE: return &msgCompressedTree;
    case TIMELINE_HUFFMAN_CLAIM: return &msgCompressedClaim;
  }
  return nullptr;
}

std::string fill(const std::string &text, const char *name, unsigned long long value) {
  return fillToken(text, name, std::to_string(value));
}

}  // namespace

// A JSON string: quotes, backslashes and control characters escaped; the
// text must be valid UTF-8.
std::string quoted(const std::string &utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\', out += char(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

// A path is bytes; any that are not UTF-8 are shown as U+FFFD.
std::string quotedPath(const char *path) {
  std::string text = path;
  return quoted(decodeText(reinterpret_cast<const uint8_t *>(text.data()), text.size(), TEXT_UTF8));
}

namespace {

std::string channelArray(uint32_t mask) {
  std::string out = "[";
  for (int k = 0; k < 32; ++k)
    if ((mask >> k) & 1) out += (out.size() > 1 ? "," : "") + std::to_string(k + 1);
  return out + "]";
}

std::string field(const char *name, const std::string &value) { return std::string(",\"") + name + "\":" + value; }

std::string number(uint64_t value) { return std::to_string(value); }

std::string head(const char *path, const char *format, const std::string &length, const std::string &error) {
  return "{\"path\":" + quotedPath(path) + field("format", format) + field("length", length) +
         field("error", error);
}

// The piece's length in milliseconds and the notes of each channel that
// has any.
std::string noteFields(const MelodyInfo &info) {
  std::string notes = "{";
  for (int k = 0; k < 32; ++k)
    if (info.notes[k]) notes += (notes.size() > 1 ? ",\"" : "\"") + number(k + 1) + "\":" + number(info.notes[k]);
  return field("durationMs", std::to_string(info.durationMs)) + field("notes", notes + "}");
}

// null without any: SMAF's audio tracks and how long they play, an
// i-melody's audio chunks, whose time is not read.
std::string recordedSoundField(const MelodyInfo &info) {
  std::string value = "null";
  if (info.formatKind == FORMAT_IMELODY && info.audioChunks)
    value = "{\"audioChunks\":" + number(info.audioChunks) + ",\"durationMs\":null}";
  if (info.formatKind == FORMAT_SMAF && info.audioTracks)
    value = "{\"tracks\":" + number(info.audioTracks) + ",\"durationMs\":" + std::to_string(info.recordedSoundMs) + "}";
  return field("recordedSound", value);
}

std::string melodyFields(const MelodyInfo &info, const std::string &title) {
  return field("version", number(info.version)) + field("noteLength", number(info.noteLength)) +
         field("tracks", number(info.tracks)) + field("title", title) +
         field("audioChunks", number(info.audioChunks)) +
         field("links", "{\"vibration\":" + channelArray(info.vibLinks) + ",\"led\":" + channelArray(info.ledLinks) + "}") +
         noteFields(info) + recordedSoundField(info);
}

std::string smafFields(const MelodyInfo &info, const std::string &title) {
  static const char *const crcNames[] = {"\"missing\"", "\"ok\"", "\"bad\""};
  std::string chunks = "[";
  for (uint32_t id : info.chunkIds) chunks += (chunks.size() > 1 ? "," : "") + quoted(chunkIdText(id));
  // A file without chunks has no score track type.
  std::string type = info.chunkIds.empty() ? "" : field("scoreTrackType", number(info.scoreTrackType));
  return type + field("chunks", chunks + "]") +
         field("title", title) + field("crc", crcNames[info.crc]) + field("trailingBytes", number(info.trailingBytes)) +
         field("links", "{\"vibration\":" + channelArray(info.vibLinks) + ",\"led\":" + channelArray(info.ledLinks) +
                            ",\"ledTag\":" + (info.ledTag ? number(info.ledTag) : "null") + "}") +
         noteFields(info) + recordedSoundField(info);
}

// A SMAF track's name goes in first: it holds the number.
std::string placeSentence(const Message &message, const StopPlace &place, Language language) {
  const Message &track = place.stop & timelineInAudioTrack ? msgAudioTrackName : msgScoreTrackName;
  std::string text = fillToken(inLanguage(message, language), "track", inLanguage(track, language));
  return fill(fill(text, "offset", place.at), "number", place.number);
}

}  // namespace

std::string fillToken(std::string text, const char *name, const std::string &value) {
  std::string token = std::string("{") + name + "}";
  for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
    text.replace(at, token.size(), value);
  return text;
}

std::string readingStopSentence(int formatKind, const StopPlace &walk, const StopPlace &notes, Language language) {
  if (const Message *message = walkStopMessage(formatKind, walk.stop)) return placeSentence(*message, walk, language);
  if (const Message *message = notesStopMessage(notes.stop & ~timelineInAudioTrack))
    return placeSentence(*message, notes, language);
  return "";
}

std::string stopSentence(const MelodyInfo &info, Language language) {
  return readingStopSentence(info.formatKind, info.stopped, info.notesStopped, language);
}

std::string chunkIdText(uint32_t id) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    unsigned char c = uint8_t(id >> (24 - 8 * i));
    if (i == 3 && (text == "MTR" || text == "ATR")) text += std::to_string(c);
    else text += c >= 0x20 && c < 0x7F ? char(c) : '?';
  }
  return text;
}

bool titleText(const MelodyInfo &info, const uint8_t *bytes, std::string *title) {
  if (!info.title.present || info.title.encoding == TEXT_UNKNOWN) return false;
  *title = decodeText(bytes + info.title.at, size_t(info.title.length), info.title.encoding);
  return true;
}

std::string infoJson(const char *path, const MelodyInfo &info, const uint8_t *bytes) {
  std::string sentence = stopSentence(info, LANGUAGE_ENGLISH), title;
  std::string error = sentence.empty() ? "null" : quoted(sentence);
  std::string titleJson = titleText(info, bytes, &title) ? quoted(title) : "null";
  if (info.formatKind == FORMAT_IMELODY)
    return head(path, "\"i-melody\"", number(info.length), error) + melodyFields(info, titleJson) + "}";
  if (info.formatKind == FORMAT_SMAF)
    return head(path, "\"SMAF\"", number(info.length), error) + smafFields(info, titleJson) + "}";
  return head(path, "null", number(info.length), error) + "}";
}

std::string melodyInfoJson(const char *path, const uint8_t *bytes, uint32_t length) {
  MelodyInfo info;
  inspectImage(bytes, length, &info);
  return infoJson(path, info, bytes);
}

std::string unreadableInfoJson(const char *path, const char *reason) {
  return head(path, "null", "null", quoted(decodeText(reinterpret_cast<const uint8_t *>(reason),
                                                      std::char_traits<char>::length(reason), TEXT_UTF8))) + "}";
}
