#include "shell/web/exports.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/convert.h"
#include "shell/report/carries.h"
#include "shell/report/infojson.h"
#include "shell/report/timelinejson.h"
#include "shell/messages.h"

struct WebConversion {
  ConvertOutcome outcome;
  MemBlock output;
  const Message *message;
  uint16_t vibMask, ledMask;  // what was asked
  bool allTracks;
};

// A copy of the text in storage from malloc, or null.
static char *mallocCopy(const std::string &text) {
  char *copy = static_cast<char *>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The page's bytes in a block of the engine's own, or false when there is no
// room for them.
static bool copyInput(const uint8_t *bytes, uint32_t length, MemBlock *input) {
  if (!memBlockCreate(input, length)) return false;
  if (length) std::memcpy(input->data, bytes, length);
  input->length = length;
  return true;
}

WebConversion *sorbelin_convert(const uint8_t *bytes, uint32_t length, uint32_t vibMask,
                                uint32_t ledMask, uint32_t flags) {
  WebConversion *result = static_cast<WebConversion *>(std::calloc(1, sizeof(WebConversion)));
  if (!result) return nullptr;
  result->outcome = CONVERT_NO_MEMORY;
  result->vibMask = uint16_t(vibMask);
  result->ledMask = uint16_t(ledMask);
  result->allTracks = (flags & SORBELIN_ALL_TRACKS) != 0;
  conversionSettings.vibMask = uint16_t(vibMask);
  conversionSettings.ledMask = uint16_t(ledMask);
  conversionSettings.allTracks = (flags & SORBELIN_ALL_TRACKS) != 0;
  MemBlock input = {};
  if (copyInput(bytes, length, &input) && memBlockCreate(&result->output, 1024)) {
    result->outcome = convertBufferOutcome(&input, &result->output);
    if (result->outcome == CONVERT_DONE)
      result->message = resultText(conversionSettings.report, conversionSettings.ledChannel);
  }
  memBlockFree(&input);
  if (result->outcome != CONVERT_DONE) memBlockFree(&result->output);
  return result;
}

int sorbelin_outcome(const WebConversion *result) { return result->outcome; }

const uint8_t *sorbelin_output(const WebConversion *result) {
  return result->outcome == CONVERT_DONE ? result->output.data : nullptr;
}

uint32_t sorbelin_output_length(const WebConversion *result) {
  return result->outcome == CONVERT_DONE ? result->output.length : 0;
}

const char *sorbelin_message(const WebConversion *result, int japanese) {
  if (!result->message) return nullptr;
  return japanese ? result->message->japanese : result->message->english;
}

uint32_t sorbelin_carried(const WebConversion *result, int led) {
  if (result->outcome != CONVERT_DONE) return 0;
  CarriedLinks carried = carriedLinks(result->output.data, result->output.length);
  return led ? carried.ledMask : carried.vibMask;
}

int sorbelin_later_tracks(const WebConversion *result) {
  return result->outcome == CONVERT_DONE && carriedLinks(result->output.data, result->output.length).laterTracks;
}

char *sorbelin_carries(const WebConversion *result, const char *name, int japanese, const char *allTracksChoice) {
  if (result->outcome != CONVERT_DONE) return nullptr;
  CarriesRequest request = {result->vibMask, result->ledMask, result->allTracks, allTracksChoice};
  return mallocCopy(carriesLine(name, result->output.data, result->output.length, request,
                                japanese ? LANGUAGE_JAPANESE : LANGUAGE_ENGLISH));
}

void sorbelin_release(WebConversion *result) {
  if (!result) return;
  memBlockFree(&result->output);
  std::free(result);
}

char *sorbelin_inspect(const char *name, const uint8_t *bytes, uint32_t length) {
  return mallocCopy(melodyInfoJson(name, bytes, length));
}

char *sorbelin_timeline(const char *name, const uint8_t *bytes, uint32_t length) {
  return mallocCopy(melodyTimelineJson(name, bytes, length));
}
