#include "shell/report/carries.h"

#include "engine/format.h"
#include "shell/report/suggestwords.h"

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
  const SuggestedDevices &suggested;
};

std::string why(const Message &reason, const Telling &t) {
  std::string text = fillToken(inLanguage(reason, t.language), "version", std::to_string(t.result.formatVersion));
  text = fillToken(text, "channels", channels(vibrationPlaces(t.result.carried, t.request), t.language));
  return fillToken(text, "choice", t.allTracksChoice ? t.allTracksChoice : "");
}

// What follows a device's channels in parentheses: what the suggested
// channels play, and why the file carries other channels than were asked.
struct Note {
  std::string suggested, reason;
};

Note noteFor(bool vibration, uint32_t carried, uint32_t asked, const Message *reason, const Telling &t) {
  Note note;
  const FileSuggestion *file = t.suggested.file;
  if (file && (vibration ? t.suggested.vibration : t.suggested.led)) {
    // Where nothing was suggested, the suggestion's reason says why.
    if (!asked) return {"", reasonText(file->suggestion, file->roles, vibration, t.language, t.allTracksChoice)};
    std::string roles = rolesText(uint16_t(asked), file->roles, t.language);
    note.suggested = fillToken(inLanguage(msgCarriesSuggested, t.language), "roles", roles);
  }
  if (carried != asked && reason) note.reason = why(*reason, t);
  return note;
}

// The channels carried, and in parentheses what the note says, its reason
// only where it is the device's own.
std::string part(uint32_t carried, const Note &note, bool ownReason, Language language) {
  std::string inside = note.suggested, reason = ownReason ? note.reason : "";
  if (!reason.empty()) inside += (inside.empty() ? "" : sentenceJoiner(language)) + reason;
  std::string text = channels(carried, language);
  return inside.empty() ? text : text + " (" + inside + ")";
}

}  // namespace

std::string carriesLine(const char *name, const ConversionResult &result, const ConversionRequest &request,
                        const char *allTracksChoice, Language language, const SuggestedDevices &suggested) {
  const CarriedLinks &carried = result.carried;
  bool smaf = result.formatKind == FORMAT_SMAF;
  Telling t = {result, request, allTracksChoice, language, suggested};
  Note vib = noteFor(true, carried.vibration, request.vibMask,
                     smaf ? smafVibrationReason(carried, request) : melodyReason(result), t);
  Note led =
      noteFor(false, carried.led, request.ledMask, smaf ? smafLedReason(carried, request) : melodyReason(result), t);
  // A reason that holds for both is said once, after both. The name goes in
  // last: the blanks are looked for in what it fills only.
  bool shared = !vib.reason.empty() && vib.reason == led.reason;
  std::string line = inLanguage(shared ? msgCarriesBoth : msgCarries, language);
  line = fillToken(line, "vibration", part(carried.vibration, vib, !shared, language));
  line = fillToken(line, "led", part(carried.led, led, !shared, language));
  if (shared) line = fillToken(line, "reason", vib.reason);
  if (carried.recordedSound) line += inLanguage(msgCarriesNotesOnly, language);
  return fillToken(line, "name", name);
}
