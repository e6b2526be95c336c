#include "shell/report/suggestjson.h"

#include <cmath>

#include "engine/format.h"
#include "shell/report/suggestwords.h"
#include "shell/report/textdecode.h"

namespace {

// A figure with at most `places` decimals: "0.31", "2", never "2.000".
std::string number(double value, int places) {
  std::string text = decimalText(value, places);
  if (text.find('.') == std::string::npos) return text;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string field(const char *name, const std::string &value, bool first = false) {
  return std::string(first ? "\"" : ",\"") + name + "\":" + value;
}

std::string channelObject(int channel, const ChannelFigures &f) {
  return "{" + field("channel", std::to_string(channel), true) +
         field("role", quoted(roleName(f.role, LANGUAGE_ENGLISH))) + field("notes", std::to_string(f.notes)) +
         field("lowKey", std::to_string(f.lowKey)) + field("highKey", std::to_string(f.highKey)) +
         field("meanKey", number(f.meanKey, 1)) + field("duty", number(f.duty, 3)) +
         field("onsetsPerSecond", number(f.onsetsPerSecond, 2)) +
         field("longestMs", std::to_string(std::llround(f.longestMs))) + field("shortShare", number(f.shortShare, 3)) +
         field("polyphony", number(f.polyphony, 2)) + field("distinctKeys", std::to_string(f.distinctKeys)) + "}";
}

std::string channelList(const ChannelRoles &roles) {
  std::string out = "[";
  for (int k = 0; k < describedChannels; ++k)
    if ((roles.withNotes >> k) & 1) out += (out.size() > 1 ? "," : "") + channelObject(k + 1, roles.figures[k]);
  return out + "]";
}

std::string patternObject(const VibrationPattern &p) {
  return "{" + field("duty", number(p.duty, 3), true) + field("pulsesPerSecond", number(p.pulsesPerSecond, 2)) +
         field("longestMs", std::to_string(std::llround(p.longestMs))) + field("shortShare", number(p.shortShare, 3)) +
         "}";
}

std::string head(const char *path, const char *format, const std::string &error, bool allTracks) {
  return "{" + field("path", quotedPath(path), true) + field("format", format) + field("error", error) +
         field("allTracks", allTracks ? "true" : "false");
}

std::string tail(uint16_t vibration, uint16_t led, const std::string &vibrationReason, const std::string &ledReason,
                 const std::string &channels, const VibrationPattern &vibrationPattern,
                 const VibrationPattern &ledPattern) {
  return field("vibration", channelArray(vibration)) + field("led", channelArray(led)) +
         field("reasons",
               "{" + field("vibration", quoted(vibrationReason), true) + field("led", quoted(ledReason)) + "}") +
         field("channels", channels) +
         field("pattern", "{" + field("vibration", patternObject(vibrationPattern), true) +
                              field("led", patternObject(ledPattern)) + "}") +
         "}";
}

}  // namespace

std::string suggestionJson(const char *path, const FileSuggestion &file, bool allTracks, Language language,
                           const char *allTracksChoice) {
  const Suggestion &s = file.suggestion;
  std::string sentence =
      readingStopSentence(file.info.formatKind, file.info.stopped, file.timeline.notesStopped, LANGUAGE_ENGLISH);
  const char *format = file.info.formatKind == FORMAT_IMELODY ? "\"i-melody\""
                       : file.info.formatKind == FORMAT_SMAF  ? "\"SMAF\""
                                                              : "null";
  return head(path, format, sentence.empty() ? "null" : quoted(sentence), allTracks) +
         tail(s.vibration, s.led, reasonText(s, file.roles, true, language, allTracksChoice),
              reasonText(s, file.roles, false, language, allTracksChoice), channelList(file.roles), s.vibrationPattern,
              s.ledPattern);
}

std::string melodySuggestionJson(const char *path, const uint8_t *bytes, uint32_t length, bool allTracks,
                                 Language language, const char *allTracksChoice) {
  FileSuggestion file;
  suggestForImage(bytes, length, allTracks, &file);
  return suggestionJson(path, file, allTracks, language, allTracksChoice);
}

std::string unreadableSuggestionJson(const char *path, const char *reason, bool allTracks, Language language) {
  std::string text =
      decodeText(reinterpret_cast<const uint8_t *>(reason), std::char_traits<char>::length(reason), TEXT_UTF8);
  std::string why = inLanguage(msgWhyUnreadable, language);
  return head(path, "null", quoted(text), allTracks) + tail(0, 0, why, why, "[]", {}, {});
}
