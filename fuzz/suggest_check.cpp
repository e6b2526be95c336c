// The suggestion on any bytes: a suggestion or a stop, never a crash; only
// channels the file can carry, that have notes and that a request can name;
// the same on a second reading; well-formed reports; and converting with it
// links exactly what it names (beside the links that SMAF score tracks 6
// and 7 keep when all tracks are not asked for).
#include <cmath>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "engine/phonewarnings.h"
#include "engine/suggest.h"
#include "fuzz/checks.h"
#include "fuzz/jsonsyntax.h"
#include "fuzz/shapes.h"
#include "shell/report/suggestjson.h"
#include "shell/report/suggesttext.h"

namespace {

int bits(uint32_t mask) { return __builtin_popcount(mask); }

bool reasonChooses(ChoiceReason reason) { return reason >= CHOICE_IN_BANDS; }

bool sensible(const VibrationPattern &p) {
  return std::isfinite(p.duty) && p.duty >= 0 && p.duty <= 1 + 1e-9 && std::isfinite(p.pulsesPerSecond) &&
         p.pulsesPerSecond >= 0 && p.shortShare >= 0 && p.shortShare <= 1 && std::isfinite(p.longestMs) &&
         p.longestMs >= 0;
}

const char *checkChoice(const FileSuggestion &file) {
  const Suggestion &s = file.suggestion;
  if ((s.vibration & ~s.room.vibration) || (s.led & ~s.room.led))
    return "the suggestion names a channel the file cannot link";
  if (bits(s.vibration) > s.room.vibrationMost || bits(s.vibration) > 2 || bits(s.led) > 1)
    return "the suggestion names more channels than the file or the choice takes";
  if (((s.vibration | s.led) & ~file.roles.withNotes) != 0) return "the suggestion names a channel without notes";
  if ((s.vibration != 0) != reasonChooses(s.vibrationReason) || (s.led != 0) != reasonChooses(s.ledReason))
    return "a reason does not match what was chosen";
  if (!sensible(s.vibrationPattern) || !sensible(s.ledPattern)) return "a pattern's figures are out of range";
  PhoneWarnings warnings = phoneWarnings(file.roles, s.vibration, s.led);
  if (warnings.vibrationSilent || warnings.ledSilent) return "the suggestion links a channel that never plays";
  return nullptr;
}

const char *checkReports(const FileSuggestion &file, bool allTracks) {
  if (!isJsonObjectLine(suggestionJson("in\xff.mld", file, allTracks, LANGUAGE_ENGLISH, "--all-tracks")))
    return "the suggestion's JSON is not one well-formed object";
  std::string text = suggestionText("in.mld", file, LANGUAGE_JAPANESE, "--all-tracks");
  for (unsigned char c : text)
    if (c < 0x20 && c != '\n') return "the suggestion's text holds a control character";
  return nullptr;
}

// The links of a converted image, and the SMAF links that score tracks 6
// and 7 kept from the input when all tracks were not rewritten.
const char *checkCarried(const uint8_t *image, uint32_t count, const Suggestion &s, bool allTracks) {
  if (s.room.vibrationLimit == ROOM_UNREADABLE) return nullptr;
  MemBlock output = {};
  ConversionResult result = convertCopy(image, count, {s.vibration, s.led, allTracks}, &output);
  int format = convertedFormat(result);
  const char *problem = nullptr;
  if (format != FORMAT_NONE && sameWalkAgain(image, count, output.data, output.length, format)) {
    MelodyInfo after;
    inspectWithoutNotes(output.data, output.length, &after);
    uint32_t keptVib = 0, keptLed = 0;
    if (format == FORMAT_SMAF && !allTracks) {
      SmafShape shape = smafShape(image, count);
      keptVib = shape.laterVib, keptLed = shape.laterLed;
    }
    if (after.vibLinks != (s.vibration | keptVib) || ledChannelsCarried(after) != (s.led | keptLed))
      problem = "converting with the suggestion links other channels than it names";
  }
  memBlockFree(&output);
  return problem;
}

}  // namespace

const char *checkSuggestion(const uint8_t *data, size_t size) {
  ConversionRequest request;
  const uint8_t *image;
  uint32_t count;
  if (!takeRequestAndImage(data, size, &request, &image, &count)) return nullptr;
  bool allTracks = request.allTracks;
  // A copy of exactly the image's size, so that the address sanitizer
  // catches a read past its end.
  std::vector<uint8_t> copy(image, image + count);
  FileSuggestion file, again;
  suggestForImage(copy.data(), copy.size(), allTracks, &file);
  suggestForImage(copy.data(), copy.size(), allTracks, &again);
  const Suggestion &s = file.suggestion, &t = again.suggestion;
  if (s.vibration != t.vibration || s.led != t.led || s.vibrationReason != t.vibrationReason ||
      s.ledReason != t.ledReason)
    return "the same image gives another suggestion";
  if (const char *problem = checkChoice(file)) return problem;
  if (const char *problem = checkReports(file, allTracks)) return problem;
  return checkCarried(image, count, s, allTracks);
}
