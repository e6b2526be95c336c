#include "shell/report/carries.h"

#include "engine/convert.h"
#include "engine/inspect.h"
#include "engine/smafwalk.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"

namespace {

// The converted image, read once for all that the line says.
void inspectConverted(const uint8_t *image, uint32_t length, MelodyInfo *info) { inspectImage(image, length, info); }

bool hasChunk(const MelodyInfo &info, uint32_t id) {
  for (uint32_t chunk : info.chunkIds)
    if (chunk == id) return true;
  return false;
}

const uint32_t contentsInfoId = 0x434E5449;  // "CNTI"
const uint32_t scoreTrackId = 0x4D545200;    // "MTR" and the track's number

// The channels that a SMAF file's score tracks can give vibration.
uint16_t smafVibrationPlaces(const MelodyInfo &info) {
  uint16_t places = 0;
  for (uint32_t id : info.chunkIds) {
    ChannelBit where;
    for (int k = 0; (id & 0xFFFFFF00) == scoreTrackId && k < 16; ++k)
      if (vibrationBit(uint8_t(id), k, &where)) places = uint16_t(places | 1u << k);
  }
  return places;
}

// Why an i-melody carries less than was asked: links go into its first
// track, in the form its version has (version 2 one channel each, version 3
// both masks, other versions none).
const Message *melodyReason(const MelodyInfo &info) {
  if (info.tracks == 0) return &msgHoldsNoTrack;
  if (info.linkVersion == 2) return &msgHoldsOneChannel;
  if (info.linkVersion != 3) return &msgHoldsNoLinks;
  return nullptr;
}

// Why a SMAF file carries less vibration than was asked: only its score
// tracks hold vibration, each for the channels it plays.
const Message *smafVibrationReason(const MelodyInfo &info) {
  return smafVibrationPlaces(info) ? &msgHoldsVibrationOnly : &msgHoldsNoVibrationTrack;
}

// Why less LED: score track 5 holds every channel, the contents-info chunk
// the lowest one alone.
const Message *smafLedReason(const MelodyInfo &info) {
  if (hasChunk(info, scoreTrackId | 5)) return nullptr;
  return hasChunk(info, contentsInfoId) ? &msgHoldsOneLed : &msgHoldsNoLedPlace;
}

// The LED channels of a read image: a SMAF file's LED tag names one channel,
// beside the LED bits of track 5.
uint16_t ledChannels(const MelodyInfo &info) {
  uint16_t led = info.ledLinks;
  if (info.formatKind == FORMAT_SMAF && info.ledTag >= 1 && info.ledTag <= 16)
    led = uint16_t(led | 1u << (info.ledTag - 1));
  return led;
}

std::string channels(uint16_t mask, Language language) {
  return mask ? channelListText(mask) : inLanguage(msgCarriesNone, language);
}

// The channels carried, and in parentheses why not all that was asked.
std::string part(uint16_t carried, uint16_t asked, const Message *reason, const MelodyInfo &info, Language language) {
  std::string text = channels(carried, language);
  if (carried == asked || !reason) return text;
  std::string why = fillToken(inLanguage(*reason, language), "version", std::to_string(info.linkVersion));
  why = fillToken(why, "channels", channels(smafVibrationPlaces(info), language));
  return text + " (" + why + ")";
}

}  // namespace

std::string carriesLine(const char *name, const uint8_t *image, uint32_t length, uint16_t vibMask, uint16_t ledMask,
                        Language language) {
  MelodyInfo info;
  inspectConverted(image, length, &info);
  bool smaf = info.formatKind == FORMAT_SMAF;
  uint16_t led = ledChannels(info);
  const Message *vibReason = smaf ? smafVibrationReason(info) : melodyReason(info);
  const Message *ledReason = smaf ? smafLedReason(info) : melodyReason(info);
  // The name goes in last: the blanks are looked for in what it fills only.
  std::string line = fillToken(inLanguage(msgCarries, language), "vibration",
                               part(info.vibLinks, vibMask, vibReason, info, language));
  line = fillToken(line, "led", part(led, ledMask, ledReason, info, language));
  return fillToken(line, "name", name);
}

void carriedLinks(const uint8_t *image, uint32_t length, uint16_t *vibMask, uint16_t *ledMask) {
  MelodyInfo info;
  inspectConverted(image, length, &info);
  *vibMask = info.vibLinks;
  *ledMask = ledChannels(info);
}
