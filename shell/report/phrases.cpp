#include "shell/report/phrases.h"

#include <cstdio>

#include "engine/format.h"
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
      case MELODY_SECOND_FILE_CHUNK: return &msgSecondFileChunk;
    }
    return nullptr;
  }
  switch (stop) {
    case SMAF_FILE_CHUNK_CUT: return &msgFileChunkCut;
    case SMAF_CHUNK_CUT: return &msgChunkCut;
    case SMAF_CONTENTS_SHORT: return &msgContentsShort;
    case SMAF_SCORE_TRACK_SHORT: return &msgScoreTrackShort;
    case SMAF_NO_FILE_CHUNK: return &msgNoFileChunk;
    case SMAF_SECOND_FILE_CHUNK: return &msgSecondFileChunk;
    case SMAF_FILE_CHUNK_SHORT: return &msgFileChunkShort;
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

// A SMAF track's name goes in first: it holds the number.
std::string placeSentence(const Message &message, const StopPlace &place, Language language) {
  const Message &track = place.stop & timelineInAudioTrack ? msgAudioTrackName : msgScoreTrackName;
  std::string text = fillToken(inLanguage(message, language), "track", inLanguage(track, language));
  text = fillToken(text, "offset", std::to_string(place.at));
  return fillToken(text, "number", std::to_string(place.number));
}

std::string utf8Path(const char *path) {
  return decodeText(reinterpret_cast<const uint8_t *>(path), std::char_traits<char>::length(path), TEXT_UTF8);
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

std::string durationText(int64_t floorMs) {
  uint64_t tenths = (uint64_t(floorMs) + 50) / 100;
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02u.%u", (unsigned long long)(tenths / 600), unsigned(tenths % 600 / 10),
                unsigned(tenths % 10));
  return text;
}

// Score track 0 is for phones that play 4 notes at once, tracks 1 to 4 for
// 16 and track 5 for 40: the score track type 1, 2 or 3, which the walk
// takes from the last of them. Without one it stays 1 and says nothing.
std::string phonesMadeFor(const MelodyInfo &info, Language language) {
  static const int notesAtOnce[] = {0, 4, 16, 40};
  bool decided = false;
  for (uint32_t id : info.chunkIds)
    decided = decided || (chunkIdText(id).compare(0, 3, "MTR") == 0 && (id & 0xFF) <= 5);
  if (info.formatKind != FORMAT_SMAF || !decided || info.scoreTrackType < 1 || info.scoreTrackType > 3) return "";
  return fillToken(inLanguage(msgPhonesPlaying, language), "count", std::to_string(notesAtOnce[info.scoreTrackType]));
}

std::string channelListText(uint32_t mask) {
  std::string out;
  for (int k = 0; k < 32; ++k) {
    if (!((mask >> k) & 1)) continue;
    int last = k;
    while (last < 31 && ((mask >> (last + 1)) & 1)) ++last;
    out += (out.empty() ? "" : ",") + std::to_string(k + 1);
    if (last > k) out += "-" + std::to_string(last + 1);
    k = last;
  }
  return out.empty() ? "none" : out;
}

std::string channelArray(uint32_t mask) {
  std::string out = "[";
  for (int k = 0; k < 32; ++k)
    if ((mask >> k) & 1) out += (out.size() > 1 ? "," : "") + std::to_string(k + 1);
  return out + "]";
}

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

std::string quotedPath(const char *path) { return quoted(utf8Path(path)); }

std::string printablePath(const char *path) { return printableText(utf8Path(path)); }

std::string chunkIdText(uint32_t id) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    unsigned char c = uint8_t(id >> (24 - 8 * i));
    if (i == 3 && (text == "MTR" || text == "ATR"))
      text += std::to_string(c);
    else
      text += c >= 0x20 && c < 0x7F ? char(c) : '?';
  }
  return text;
}
