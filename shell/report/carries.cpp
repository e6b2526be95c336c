#include "shell/report/carries.h"

#include "engine/convert.h"
#include "engine/inspect.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"

namespace {

// The converted image, read once for all that the line says.
void inspectConverted(const uint8_t *image, uint32_t length, MelodyInfo *info) {
  inspectWithoutNotes(image, length, info);
}

bool hasChunk(const MelodyInfo &info, uint32_t id) {
  for (uint32_t chunk : info.chunkIds)
    if (chunk == id) return true;
  return false;
}

const uint32_t contentsInfoId = 0x434E5449;  // "CNTI"

// Why an i-melody carries less than was asked: links go into its first
// track, in the form its version has (version 2 one channel each, version 3
// both masks, other versions none).
const Message *melodyReason(const MelodyInfo &info) {
  if (info.tracks == 0) return &msgHoldsNoTrack;
  if (info.linkVersion == 2) return &msgHoldsOneChannel;
  if (info.linkVersion != 3) return &msgHoldsNoLinks;
  return nullptr;
}

// Score tracks 6 and 7 keep the links they had unless all tracks are
// rewritten; that comes first, since the user can change it.
bool laterTracksLeft(const MelodyInfo &info, const CarriesRequest &request) {
  return info.laterTrackPlaces && !request.allTracks;
}

// The channels whose vibration the converted file's tracks could take.
uint32_t vibrationPlaces(const MelodyInfo &info, const CarriesRequest &request) {
  return info.vibPlaces | (request.allTracks ? info.laterTrackPlaces : 0);
}

// Why a SMAF file carries other vibration than was asked: only its score
// tracks hold vibration, each for the channels it plays.
const Message *smafVibrationReason(const MelodyInfo &info, const CarriesRequest &request) {
  if (laterTracksLeft(info, request)) return &msgHoldsLaterTracksLeft;
  return vibrationPlaces(info, request) ? &msgHoldsVibrationOnly : &msgHoldsNoVibrationTrack;
}

// Why other LED: score tracks 5 to 7 hold every channel, the contents-info
// chunk the lowest one alone.
const Message *smafLedReason(const MelodyInfo &info, const CarriesRequest &request) {
  if (laterTracksLeft(info, request)) return &msgHoldsLaterTracksLeft;
  if (info.ledPlaces || (request.allTracks && info.laterTrackPlaces)) return nullptr;
  return hasChunk(info, contentsInfoId) ? &msgHoldsOneLed : &msgHoldsNoLedPlace;
}

std::string channels(uint32_t mask, Language language) {
  return mask ? channelListText(mask) : inLanguage(msgCarriesNone, language);
}

// The channels carried, and in parentheses why not all that was asked.
std::string part(uint32_t carried, uint32_t asked, const Message *reason, const MelodyInfo &info,
                 const CarriesRequest &request, Language language) {
  std::string text = channels(carried, language);
  if (carried == asked || !reason) return text;
  std::string why = fillToken(inLanguage(*reason, language), "version", std::to_string(info.linkVersion));
  why = fillToken(why, "channels", channels(vibrationPlaces(info, request), language));
  why = fillToken(why, "choice", request.allTracksChoice ? request.allTracksChoice : "");
  return text + " (" + why + ")";
}

}  // namespace

std::string carriesLine(const char *name, const uint8_t *image, uint32_t length, const CarriesRequest &request,
                        Language language) {
  MelodyInfo info;
  inspectConverted(image, length, &info);
  bool smaf = info.formatKind == FORMAT_SMAF;
  uint32_t led = ledChannelsCarried(info);
  const Message *vibReason = smaf ? smafVibrationReason(info, request) : melodyReason(info);
  const Message *ledReason = smaf ? smafLedReason(info, request) : melodyReason(info);
  // The name goes in last: the blanks are looked for in what it fills only.
  std::string line = fillToken(inLanguage(msgCarries, language), "vibration",
                               part(info.vibLinks, request.vibMask, vibReason, info, request, language));
  line = fillToken(line, "led", part(led, request.ledMask, ledReason, info, request, language));
  return fillToken(line, "name", name);
}

CarriedLinks carriedLinks(const uint8_t *image, uint32_t length) {
  MelodyInfo info;
  inspectConverted(image, length, &info);
  return {info.vibLinks, ledChannelsCarried(info), info.laterTrackPlaces != 0};
}
