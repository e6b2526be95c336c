#include "shell/report/infojson.h"

#include "engine/format.h"
#include "shell/report/phrases.h"
#include "shell/report/suggestwords.h"
#include "shell/report/textdecode.h"

namespace {

std::string field(const char *name, const std::string &value) { return std::string(",\"") + name + "\":" + value; }

std::string number(uint64_t value) { return std::to_string(value); }

std::string head(const char *path, const char *format, const std::string &length, const std::string &error) {
  return "{\"path\":" + quotedPath(path) + field("format", format) + field("length", length) + field("error", error);
}

// The piece's length in milliseconds, the notes of each channel that has
// any and, where given, its role (in English, as all JSON keys and values).
std::string noteFields(const MelodyInfo &info, const ChannelRoles *roles) {
  std::string notes = "{", named = "{";
  for (int k = 0; k < 32; ++k)
    if (info.notes[k]) notes += (notes.size() > 1 ? ",\"" : "\"") + number(k + 1) + "\":" + number(info.notes[k]);
  for (int k = 0; roles && k < describedChannels; ++k)
    if (hasNotes(*roles, k + 1))
      named += (named.size() > 1 ? ",\"" : "\"") + number(k + 1) +
               "\":" + quoted(roleName(roles->figures[k].role, LANGUAGE_ENGLISH));
  return field("durationMs", std::to_string(info.durationMs)) + field("notes", notes + "}") +
         (roles ? field("roles", named + "}") : "");
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

std::string melodyFields(const MelodyInfo &info, const std::string &title, const ChannelRoles *roles) {
  return field("version", number(info.version)) + field("noteLength", number(info.noteLength)) +
         field("tracks", number(info.tracks)) + field("title", title) + field("audioChunks", number(info.audioChunks)) +
         field("links",
               "{\"vibration\":" + channelArray(info.vibLinks) + ",\"led\":" + channelArray(info.ledLinks) + "}") +
         noteFields(info, roles) + recordedSoundField(info);
}

std::string smafFields(const MelodyInfo &info, const std::string &title, const ChannelRoles *roles) {
  static const char *const crcNames[] = {"\"missing\"", "\"ok\"", "\"bad\""};
  std::string chunks = "[";
  for (uint32_t id : info.chunkIds) chunks += (chunks.size() > 1 ? "," : "") + quoted(chunkIdText(id));
  // A file without chunks has no score track type.
  std::string type = info.chunkIds.empty() ? "" : field("scoreTrackType", number(info.scoreTrackType));
  return type + field("chunks", chunks + "]") + field("title", title) + field("crc", crcNames[info.crc]) +
         field("trailingBytes", number(info.trailingBytes)) +
         field("links", "{\"vibration\":" + channelArray(info.vibLinks) + ",\"led\":" + channelArray(info.ledLinks) +
                            ",\"ledTag\":" + (info.ledTag ? number(info.ledTag) : "null") + "}") +
         noteFields(info, roles) + recordedSoundField(info);
}

}  // namespace

std::string infoJson(const char *path, const MelodyInfo &info, const uint8_t *bytes, const ChannelRoles *roles) {
  std::string sentence = stopSentence(info, LANGUAGE_ENGLISH), title;
  std::string error = sentence.empty() ? "null" : quoted(sentence);
  std::string titleJson = titleText(info, bytes, &title) ? quoted(title) : "null";
  if (info.formatKind == FORMAT_IMELODY)
    return head(path, "\"i-melody\"", number(info.length), error) + melodyFields(info, titleJson, roles) + "}";
  if (info.formatKind == FORMAT_SMAF)
    return head(path, "\"SMAF\"", number(info.length), error) + smafFields(info, titleJson, roles) + "}";
  return head(path, "null", number(info.length), error) + "}";
}

std::string melodyInfoJson(const char *path, const uint8_t *bytes, uint32_t length) {
  MelodyInfo info;
  inspectImage(bytes, length, &info);
  return infoJson(path, info, bytes);
}

std::string unreadableInfoJson(const char *path, const char *reason) {
  return head(path, "null", "null",
              quoted(decodeText(reinterpret_cast<const uint8_t *>(reason), std::char_traits<char>::length(reason),
                                TEXT_UTF8))) +
         "}";
}
