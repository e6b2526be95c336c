// The inspector on any bytes: its reports are well formed, it reads whole
// every file that the converter rewrites, and on a converted image it names
// exactly the links that were asked for, as far as the format holds them,
// and that the conversion's result tells.
#include <cstring>
#include <string>

#include "engine/bytes.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "fuzz/checks.h"
#include "fuzz/jsonsyntax.h"
#include "fuzz/shapes.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"

namespace {

// --- links as far as the format holds them ---

uint16_t lowestOnly(uint16_t mask) { return uint16_t(mask & -mask); }

// i-melody: the first track holds links by the version read before it:
// version 2 the lowest channel of each mask, version 3 both masks.
bool melodyLinksAsAsked(const MelodyInfo &info, uint16_t vib, uint16_t led) {
  uint16_t wantVib = 0, wantLed = 0;
  if (info.tracks > 0 && info.linkVersion == 2) wantVib = lowestOnly(vib), wantLed = lowestOnly(led);
  if (info.tracks > 0 && info.linkVersion == 3 && (vib || led)) wantVib = vib, wantLed = led;
  return info.vibLinks == wantVib && info.ledLinks == wantLed;
}

// SMAF: vibration on the channels that the score tracks 0 to 5 present
// cover, the LED in track 5 and, as the lowest channel, in the LED tag of a
// contents-info chunk. Tracks 6 and 7 of format types 1 to 3 (as the
// input's shape finds them) cover every channel with all tracks rewritten;
// otherwise they link what they did in the input.
bool smafLinksAsAsked(const MelodyInfo &info, const SmafShape &input, uint16_t vib, uint16_t led, bool allTracks) {
  uint32_t covered = 0, ledCovered = 0;
  bool contentsInfo = false;
  for (uint32_t id : info.chunkIds) {
    contentsInfo = contentsInfo || id == 0x434E5449;  // "CNTI"
    if ((id >> 8) != 0x4D5452) continue;              // "MTR" and a track number
    uint32_t track = id & 0xFF;
    if (track == 5) covered = ledCovered = 0xFFFF;
    if (track <= 4) covered = uint16_t(covered | (0xF << (track == 0 ? 0 : 4 * (track - 1))));
  }
  if (allTracks && input.laterTracks) covered = ledCovered = 0xFFFF;
  uint32_t wantVib = vib & covered, wantLed = led & ledCovered;
  if (!allTracks) wantVib |= input.laterVib, wantLed |= input.laterLed;
  int wantTag = contentsInfo && led ? lowestChannel(led) : 0;
  return info.vibLinks == wantVib && info.ledLinks == wantLed && info.ledTag == wantTag;
}

const char *checkReports(const uint8_t *image, uint32_t count, const MelodyInfo &info) {
  if (info.formatKind != FORMAT_NONE && info.formatKind != findFormat(image, count))
    return "the inspector names another format than the first magic";
  if (!isJsonObjectLine(infoJson("in\xff.mld", info, image))) return "the JSON report is not one well-formed object";
  std::string text = infoText("in.mld", info, image, nullptr, LANGUAGE_ENGLISH);
  for (unsigned char c : text)
    if (c < 0x20 && c != '\n') return "the text report holds a control character";
  return nullptr;
}

// A converted image carries what the result says it carries.
bool carriesAsTold(const MelodyInfo &after, const ConversionResult &result) {
  return after.vibLinks == result.carried.vibration && ledChannelsCarried(after) == result.carried.led;
}

const char *checkAgainstConversion(const uint8_t *image, uint32_t count, const MelodyInfo &info,
                                   const ConversionRequest &request) {
  MemBlock output = {};
  ConversionResult result = convertCopy(image, count, request, &output);
  const char *problem = nullptr;
  bool readWhole = info.formatKind != FORMAT_NONE && info.stopped.stop == 0;
  bool converted = result.outcome == CONVERT_DONE;
  if (converted && !readWhole) problem = "the converter rewrote an image that the inspector could not read whole";
  if ((info.formatKind == FORMAT_NONE) != (result.outcome == CONVERT_NOT_MELODY))
    problem = "the inspector and the converter disagree whether the file is a melody";
  if (converted && readWhole && sameWalkAgain(image, count, output.data, output.length, result.formatKind)) {
    MelodyInfo after;
    inspectImage(output.data, output.length, &after);
    bool asked = result.formatKind == FORMAT_IMELODY ? melodyLinksAsAsked(after, request.vibMask, request.ledMask)
                                                     : smafLinksAsAsked(after, smafShape(image, count), request.vibMask,
                                                                        request.ledMask, request.allTracks);
    if (!asked)
      problem = "the converted image does not carry the links that were asked for";
    else if (!carriesAsTold(after, result))
      problem = "the result tells other links than the converted image carries";
  }
  memBlockFree(&output);
  return problem;
}

}  // namespace

const char *checkInspection(const uint8_t *data, size_t size) {
  ConversionRequest request;
  const uint8_t *image;
  uint32_t count;
  if (!takeRequestAndImage(data, size, &request, &image, &count)) return nullptr;
  MelodyInfo info;
  inspectImage(image, count, &info);
  if (const char *problem = checkReports(image, count, info)) return problem;
  return checkAgainstConversion(image, count, info, request);
}
