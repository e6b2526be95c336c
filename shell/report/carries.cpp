#include "shell/report/carries.h"

#include "engine/format.h"

namespace {

// Why an i-melody carries less than was asked: links go into its first
// track, in the form its version has (version 2 one channel each, version 3
// both masks, other versions none).
const Message *melodyReason(const ConversionResult &result) {
  if (result.carried.tracks == 0) return &msgHoldsNoTrack;
  if (result.formatVersion == 2) return &msgHoldsOneChannel;
  if (result.formatVersion != 3) return &msgHoldsNoLinks;
  return nullptr;
}

// Score tracks 6 and 7 keep the links they had unless all tracks are
// rewritten; that comes first, since the user can change it.
bool laterTracksLeft(const CarriedLinks &carried, const ConversionRequest &request) {
  return carried.laterPlaces && !request.allTracks;
}

// The channels whose vibration the converted file's tracks could take.
uint32_t vibrationPlaces(const CarriedLinks &carried, const ConversionRequest &request) {
  return carried.vibPlaces | (request.allTracks ? carried.laterPlaces : 0);
}

// Why a SMAF file carries other vibration than was asked: only its score
// tracks hold vibration, each for the channels it plays.
const Message *smafVibrationReason(const CarriedLinks &carried, const ConversionRequest &request) {
  if (laterTracksLeft(carried, request)) return &msgHoldsLaterTracksLeft;
  return vibrationPlaces(carried, request) ? &msgHoldsVibrationOnly : &msgHoldsNoVibrationTrack;
}

// Why other LED: score tracks 5 to 7 hold every channel, the contents-info
// chunk the lowest one alone.
const Message *smafLedReason(const CarriedLinks &carried, const ConversionRequest &request) {
  if (laterTracksLeft(carried, request)) return &msgHoldsLaterTracksLeft;
  if (carried.ledPlaces || (request.allTracks && carried.laterPlaces)) return nullptr;
  return carried.contentsInfo ? &msgHoldsOneLed : &msgHoldsNoLedPlace;
}

std::string channels(uint32_t mask, Language language) {
  return mask ? channelListText(mask) : inLanguage(msgCarriesNone, language);
}

struct Telling {
  const ConversionResult &result;
  const ConversionRequest &request;
  const char *allTracksChoice;
  Language language;
};

// Why the file carries other channels than were asked, or null when it
// carries them all.
const Message *shownReason(uint32_t carried, uint32_t asked, const Message *reason) {
  return carried == asked ? nullptr : reason;
}

std::string why(const Message &reason, const Telling &t) {
  std::string text = fillToken(inLanguage(reason, t.language), "version", std::to_string(t.result.formatVersion));
  text = fillToken(text, "channels", channels(vibrationPlaces(t.result.carried, t.request), t.language));
  return fillToken(text, "choice", t.allTracksChoice ? t.allTracksChoice : "");
}

// The channels carried, and in parentheses the reason, if any.
std::string part(uint32_t carried, const Message *reason, const Telling &t) {
  std::string text = channels(carried, t.language);
  return reason ? text + " (" + why(*reason, t) + ")" : text;
}

}  // namespace

std::string carriesLine(const char *name, const ConversionResult &result, const ConversionRequest &request,
                        const char *allTracksChoice, Language language) {
  const CarriedLinks &carried = result.carried;
  bool smaf = result.formatKind == FORMAT_SMAF;
  const Message *vibReason =
      shownReason(carried.vibration, request.vibMask, smaf ? smafVibrationReason(carried, request) : melodyReason(result));
  const Message *ledReason =
      shownReason(carried.led, request.ledMask, smaf ? smafLedReason(carried, request) : melodyReason(result));
  Telling t = {result, request, allTracksChoice, language};
  // A reason that holds for both is said once, after both. The name goes in
  // last: the blanks are looked for in what it fills only.
  std::string line;
  if (vibReason && vibReason == ledReason) {
    line = fillToken(inLanguage(msgCarriesBoth, language), "vibration", channels(carried.vibration, language));
    line = fillToken(line, "led", channels(carried.led, language));
    line = fillToken(line, "reason", why(*vibReason, t));
  } else {
    line = fillToken(inLanguage(msgCarries, language), "vibration", part(carried.vibration, vibReason, t));
    line = fillToken(line, "led", part(carried.led, ledReason, t));
  }
  if (carried.recordedSound) line += inLanguage(msgCarriesNotesOnly, language);
  return fillToken(line, "name", name);
}
