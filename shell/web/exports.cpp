#include "shell/web/exports.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "engine/conversion.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "engine/timeline.h"
#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/phrases.h"
#include "shell/report/resultmessage.h"
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

std::string channelArray(uint32_t mask) {
  std::string out = "[";
  for (int k = 0; k < 32; ++k)
    if ((mask >> k) & 1) out += (out.size() > 1 ? "," : "") + std::to_string(k + 1);
  return out + "]";
}

std::string bothLanguages(const std::string &japanese, const std::string &english) {
  return "{\"japanese\":" + quoted(japanese) + ",\"english\":" + quoted(english) + "}";
}

std::string conversionJson(const char *name, const ConversionResult &result, const ConversionRequest &request,
                           const char *allTracksJapanese, const char *allTracksEnglish) {
  std::string json = std::string("{\"outcome\":\"") + outcomeName(result.outcome) + "\"";
  json += ",\"vibration\":" + channelArray(result.carried.vibration);
  json += ",\"led\":" + channelArray(result.carried.led);
  json += std::string(",\"laterTracks\":") + (result.carried.laterPlaces ? "true" : "false");
  bool done = result.outcome == CONVERT_DONE;
  const Message *message = done ? resultText(result.formatKind, result.formatVersion, lowestChannel(request.ledMask))
                                : nullptr;
  json += ",\"message\":" + (message ? bothLanguages(message->japanese, message->english) : "null");
  std::string carries = "null";
  if (done)
    carries = bothLanguages(carriesLine(name, result, request, allTracksJapanese, LANGUAGE_JAPANESE),
                            carriesLine(name, result, request, allTracksEnglish, LANGUAGE_ENGLISH));
  return json + ",\"carries\":" + carries + "}";
}

}  // namespace

char *sorbelin_read(const char *name, const uint8_t *bytes, uint32_t length) {
  Timeline timeline;
  decodeTimeline(bytes, length, &timeline);
  MelodyInfo info;
  inspectWithTimeline(bytes, length, timeline, &info);
  std::string lengthText = info.formatKind == FORMAT_NONE ? "null" : quoted(durationText(info.durationFloorMs));
  std::string phones = phonesMadeFor(info, LANGUAGE_ENGLISH);
  std::string madeFor = phones.empty() ? "null" : bothLanguages(phonesMadeFor(info, LANGUAGE_JAPANESE), phones);
  return mallocCopy("{\"info\":" + infoJson(name, info, bytes) + ",\"timeline\":" + timelineJson(name, timeline) +
                    ",\"length\":" + lengthText + ",\"madeFor\":" + madeFor + "}");
}

WebConversion *sorbelin_convert(const char *name, const uint8_t *bytes, uint32_t length, uint32_t vibMask,
                                uint32_t ledMask, uint32_t flags, const char *allTracksJapanese,
                                const char *allTracksEnglish) {
  WebConversion *result = new (std::nothrow) WebConversion();
  if (!result) return nullptr;
  ConversionRequest request = {uint16_t(vibMask), uint16_t(ledMask), (flags & SORBELIN_ALL_TRACKS) != 0};
  ConversionResult converted = convertBlock(blockOf(bytes, length), &result->output, request);
  if (converted.outcome != CONVERT_DONE) memBlockFree(&result->output);
  result->json = conversionJson(name, converted, request, allTracksJapanese, allTracksEnglish);
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
