#include "shell/web/exports.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "engine/phonewarnings.h"
#include "engine/suggest.h"
#include "engine/timeline.h"
#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/phrases.h"
#include "shell/report/resultmessage.h"
#include "shell/report/suggestwords.h"
#include "shell/report/timelinejson.h"

struct WebConversion {
  MemBlock output;
  std::string json;
};

namespace {

#ifdef __EMSCRIPTEN__
// The module is built without exceptions, so an allocation that finds no
// memory ends it: operator new calls this handler, which marks the module
// for the page (engine.js) to tell "no memory" from other failures, and
// aborts.
EM_JS(void, markOutOfMemory, (), { Module['sorbelinOutOfMemory'] = true; });

void outOfMemory() {
  markOutOfMemory();
  std::abort();
}

[[maybe_unused]] const std::new_handler noHandlerBefore = std::set_new_handler(outOfMemory);
#endif

// A copy of the text in storage from malloc, or null.
char *mallocCopy(const std::string &text) {
  char *copy = static_cast<char *>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The page's bytes as a block for the engine; they are only read.
MemBlock blockOf(const uint8_t *bytes, uint32_t length) {
  static uint8_t none;
  return {nullptr, bytes ? const_cast<uint8_t *>(bytes) : &none, length};
}

const char *outcomeName(ConvertOutcome outcome) {
  switch (outcome) {
    case CONVERT_DONE: return "done";
    case CONVERT_NOT_MELODY: return "not-melody";
    case CONVERT_MALFORMED: return "malformed";
    default: return "no-memory";
  }
}

std::string bothLanguages(const std::string &japanese, const std::string &english) {
  return "{\"japanese\":" + quoted(japanese) + ",\"english\":" + quoted(english) + "}";
}

// Each channel with notes and its role, in English for the page's data and
// in both languages for its words.
std::string rolesJson(const ChannelRoles &roles) {
  std::string out = "[";
  for (int k = 0; k < describedChannels; ++k) {
    if (!((roles.withNotes >> k) & 1)) continue;
    ChannelRole role = roles.figures[k].role;
    out += (out.size() > 1 ? ",{\"channel\":" : "{\"channel\":") + std::to_string(k + 1) +
           ",\"role\":" + quoted(roleName(role, LANGUAGE_ENGLISH)) +
           ",\"japanese\":" + quoted(roleName(role, LANGUAGE_JAPANESE)) +
           ",\"english\":" + quoted(roleName(role, LANGUAGE_ENGLISH)) + "}";
  }
  return out + "]";
}

// A suggestion's channels and its reasons in both languages.
std::string suggestionJson(const Suggestion &suggestion, const ChannelRoles &roles, const char *allTracksJapanese,
                           const char *allTracksEnglish) {
  auto reason = [&](bool vibration) {
    return bothLanguages(reasonText(suggestion, roles, vibration, LANGUAGE_JAPANESE, allTracksJapanese),
                         reasonText(suggestion, roles, vibration, LANGUAGE_ENGLISH, allTracksEnglish));
  };
  return "{\"vibration\":" + channelArray(suggestion.vibration) + ",\"led\":" + channelArray(suggestion.led) +
         ",\"reasons\":{\"vibration\":" + reason(true) + ",\"led\":" + reason(false) + "}}";
}

std::string sentenceArray(const std::vector<std::string> &sentences) {
  std::string out = "[";
  for (const std::string &sentence : sentences) out += (out.size() > 1 ? "," : "") + quoted(sentence);
  return out + "]";
}

// Where the phone will disappoint with the links the output carries, from
// the input's channels (a conversion leaves the notes as they are).
std::string warningsJson(const uint8_t *bytes, uint32_t length, const ConversionResult &result, bool asked) {
  if (!asked || result.outcome != CONVERT_DONE) return "{\"japanese\":[],\"english\":[]}";
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  ChannelRoles roles;
  readChannelRoles(timeline, &roles);
  PhoneWarnings warnings = phoneWarnings(roles, result.carried.vibration, result.carried.led);
  return "{\"japanese\":" + sentenceArray(warningSentences(warnings, LANGUAGE_JAPANESE)) +
         ",\"english\":" + sentenceArray(warningSentences(warnings, LANGUAGE_ENGLISH)) + "}";
}

std::string conversionJson(const char *name, const ConversionResult &result, const ConversionRequest &request,
                           const char *allTracksJapanese, const char *allTracksEnglish, const std::string &warnings) {
  std::string json = std::string("{\"outcome\":\"") + outcomeName(result.outcome) + "\"";
  json += ",\"vibration\":" + channelArray(result.carried.vibration);
  json += ",\"led\":" + channelArray(result.carried.led);
  json += std::string(",\"laterTracks\":") + (result.carried.laterPlaces ? "true" : "false");
  bool done = result.outcome == CONVERT_DONE;
  const Message *message =
      done ? resultText(result.formatKind, result.formatVersion, lowestChannel(request.ledMask)) : nullptr;
  json += ",\"message\":" + (message ? bothLanguages(message->japanese, message->english) : "null");
  std::string carries = "null";
  if (done)
    carries = bothLanguages(carriesLine(name, result, request, allTracksJapanese, LANGUAGE_JAPANESE),
                            carriesLine(name, result, request, allTracksEnglish, LANGUAGE_ENGLISH));
  return json + ",\"carries\":" + carries + ",\"warnings\":" + warnings + "}";
}

}  // namespace

char *sorbelin_read(const char *name, const uint8_t *bytes, uint32_t length, const char *allTracksJapanese,
                    const char *allTracksEnglish) {
  // One decoding of the notes for the timeline, the roles and both
  // suggestions: the file's room is all that the box changes, and the
  // suggestion without it is suggestForImage's, as `--vib auto` makes it.
  FileSuggestion file;
  suggestForImage(bytes, length, false, &file);
  Suggestion withAllTracks;
  suggestLinks(file.roles, linkRoom(file.info, true), &withAllTracks);
  MelodyInfo info;
  inspectWithTimeline(bytes, length, file.timeline, &info);
  std::string lengthText = info.formatKind == FORMAT_NONE ? "null" : quoted(durationText(info.durationFloorMs));
  std::string phones = phonesMadeFor(info, LANGUAGE_ENGLISH);
  std::string madeFor = phones.empty() ? "null" : bothLanguages(phonesMadeFor(info, LANGUAGE_JAPANESE), phones);
  std::string suggested =
      "{\"plain\":" + suggestionJson(file.suggestion, file.roles, allTracksJapanese, allTracksEnglish) +
      ",\"allTracks\":" + suggestionJson(withAllTracks, file.roles, allTracksJapanese, allTracksEnglish) + "}";
  return mallocCopy("{\"info\":" + infoJson(name, info, bytes) + ",\"timeline\":" + timelineJson(name, file.timeline) +
                    ",\"length\":" + lengthText + ",\"madeFor\":" + madeFor + ",\"roles\":" + rolesJson(file.roles) +
                    ",\"suggested\":" + suggested + "}");
}

WebConversion *sorbelin_convert(const char *name, const uint8_t *bytes, uint32_t length, uint32_t vibMask,
                                uint32_t ledMask, uint32_t flags, const char *allTracksJapanese,
                                const char *allTracksEnglish) {
  WebConversion *result = new (std::nothrow) WebConversion();
  if (!result) return nullptr;
  ConversionRequest request = {uint16_t(vibMask), uint16_t(ledMask), (flags & SORBELIN_ALL_TRACKS) != 0};
  ConversionResult converted = convertBlock(blockOf(bytes, length), &result->output, request);
  if (converted.outcome != CONVERT_DONE) memBlockFree(&result->output);
  result->json = conversionJson(name, converted, request, allTracksJapanese, allTracksEnglish,
                                warningsJson(bytes, length, converted, (flags & SORBELIN_WARNINGS) != 0));
  return result;
}

const char *sorbelin_conversion(const WebConversion *result) { return result->json.c_str(); }

const uint8_t *sorbelin_output(const WebConversion *result) {
  return result->output.handle ? result->output.data : nullptr;
}

uint32_t sorbelin_output_length(const WebConversion *result) {
  return result->output.handle ? result->output.length : 0;
}

void sorbelin_release(WebConversion *result) {
  if (!result) return;
  memBlockFree(&result->output);
  delete result;
}
