#include "shell/report/suggestwords.h"

#include <algorithm>
#include <cmath>

#include "shell/report/phrases.h"
#include "shell/report/textdecode.h"

namespace {

std::string fillChannel(const Message &message, int channel, Language language) {
  return fillToken(inLanguage(message, language), "channel", std::to_string(channel));
}

// A part by its role, or by its channel where the role names no single part
// or two parts share it.
std::string partText(int channel, ChannelRole role, bool byChannel, Language language) {
  if (!byChannel && role == ROLE_MELODY) return inLanguage(msgPartMelody, language);
  if (!byChannel && role == ROLE_BASS) return inLanguage(msgPartBass, language);
  if (!byChannel && role == ROLE_DRUMS) return inLanguage(msgPartDrums, language);
  return fillChannel(msgPartOther, channel, language);
}

std::string partsText(uint16_t channels, const ChannelRoles &roles, Language language) {
  int first = 0, second = 0;
  for (int k = 16; k >= 1; --k)
    if ((channels >> (k - 1)) & 1) second = first, first = k;
  ChannelRole firstRole = roles.figures[first - 1].role;
  if (!second) return partText(first, firstRole, false, language);
  ChannelRole secondRole = roles.figures[second - 1].role;
  bool alike = firstRole == secondRole;
  std::string text = fillToken(inLanguage(msgPartPair, language), "first", partText(first, firstRole, alike, language));
  return fillToken(text, "second", partText(second, secondRole, alike, language));
}

// The channels of a mask that never play, in one sentence: `one` names a
// single channel, `many` a list.
std::string silentText(uint32_t channels, const Message &one, const Message &many, Language language) {
  if (channels & (channels - 1)) return fillToken(inLanguage(many, language), "channels", channelListText(channels));
  int channel = 1;
  while (!((channels >> (channel - 1)) & 1)) ++channel;
  return fillChannel(one, channel, language);
}

const Message &roomMessage(RoomLimit limit) {
  switch (limit) {
    case ROOM_NO_TRACK: return msgHoldsNoTrack;
    case ROOM_NO_LINKS: return msgHoldsNoLinks;
    case ROOM_NO_VIBRATION_TRACK: return msgHoldsNoVibrationTrack;
    case ROOM_NO_LED_PLACE: return msgHoldsNoLedPlace;
    case ROOM_LATER_TRACKS_ONLY: return msgWhyLaterTracksOnly;
    default: return msgWhyUnreadable;
  }
}

const Message &choiceMessage(ChoiceReason reason, bool vibration, RoomLimit limit) {
  switch (reason) {
    case CHOICE_NO_ROOM: return roomMessage(limit);
    case CHOICE_NO_NOTES: return msgWhyNoNotes;
    case CHOICE_NOTHING_FITS: return vibration ? msgWhyVibrationUnfit : msgWhyLedUnfit;
    case CHOICE_NOT_CARRIED: return msgWhyNotCarried;
    case CHOICE_IN_BANDS: return msgWhyInBands;
    case CHOICE_BASS_FALLBACK:
    case CHOICE_DRUMS_FALLBACK: return msgWhyFallback;
    case CHOICE_CLOSEST: return msgWhyClosest;
    case CHOICE_MELODY: return msgWhyMelody;
    case CHOICE_SLOWER_MELODY: return msgWhySlowerMelody;
    case CHOICE_TOP_LINE: return msgWhyTopLine;
    case CHOICE_BASS_LINE: return msgWhyBassLine;
  }
  return msgWhyNoNotes;
}

}  // namespace

const Message &roleMessage(ChannelRole role) {
  switch (role) {
    case ROLE_MELODY: return msgRoleMelody;
    case ROLE_BASS: return msgRoleBass;
    case ROLE_DRUMS: return msgRoleDrums;
    case ROLE_CHORDS: return msgRoleChords;
    case ROLE_OTHER: break;
  }
  return msgRoleOther;
}

size_t roleColumns(Language language) {
  size_t widest = 0;
  for (ChannelRole role : {ROLE_MELODY, ROLE_BASS, ROLE_DRUMS, ROLE_CHORDS, ROLE_OTHER})
    widest = std::max(widest, terminalColumns(roleName(role, language)));
  return widest;
}

std::string rolesText(uint16_t channels, const ChannelRoles &roles, Language language) {
  std::string text;
  for (int k = 0; k < 16; ++k)
    if ((channels >> k) & 1)
      text += (text.empty()                    ? ""
               : language == LANGUAGE_JAPANESE ? "、"
                                               : ", ") +
              std::string(roleName(roles.figures[k].role, language));
  return text;
}

// Sentences run on after "; " in English, after "。" in Japanese.
const char *sentenceJoiner(Language language) { return language == LANGUAGE_JAPANESE ? "。" : "; "; }

std::string decimalText(double value, int places) {
  long long scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  double scaled = std::isfinite(value) && value > 0 ? std::min(value * double(scale), 9e15) : 0;
  long long units = std::llround(scaled);
  std::string text = std::to_string(units / scale);
  if (places == 0) return text;
  std::string fraction = std::to_string(units % scale);
  return text + "." + std::string(size_t(places) - fraction.size(), '0') + fraction;
}

std::string rateText(double perSecond, Language language) {
  if (perSecond > 0 && perSecond < 0.75) {
    long every = std::lround(1 / perSecond);
    return fillToken(inLanguage(msgRateEvery, language), "count", std::to_string(every));
  }
  long times = std::lround(perSecond);
  if (times <= 1) return inLanguage(msgRateOnce, language);
  if (times == 2) return inLanguage(msgRateTwice, language);
  return fillToken(inLanguage(msgRateTimes, language), "count", std::to_string(times));
}

std::string reasonText(const Suggestion &suggestion, const ChannelRoles &roles, bool vibration, Language language,
                       const char *allTracksChoice) {
  const LinkRoom &room = suggestion.room;
  uint16_t channels = vibration ? suggestion.vibration : suggestion.led;
  // The vibrator's pulses; the notes of the light's part, which the eye follows.
  double rate = vibration ? suggestion.vibrationPattern.pulsesPerSecond : 0;
  for (int k = 0; k < 16 && !vibration; ++k)
    if ((channels >> k) & 1) rate = roles.figures[k].onsetsPerSecond;
  RoomLimit limit = vibration ? room.vibrationLimit : room.ledLimit;
  const Message &message =
      choiceMessage(vibration ? suggestion.vibrationReason : suggestion.ledReason, vibration, limit);
  std::string text = inLanguage(message, language);
  // The blanks of the message are filled before the parts, whose words hold none.
  text = fillToken(text, "version", std::to_string(room.linkVersion));
  text = fillToken(text, "rate", rateText(rate, language));
  if (room.laterTracksKept && limit != ROOM_LATER_TRACKS_ONLY)
    text += sentenceJoiner(language) + std::string(inLanguage(msgWhyLaterTracksKept, language));
  text = fillToken(text, "choice", allTracksChoice ? allTracksChoice : "");
  return channels ? fillToken(text, "part", partsText(channels, roles, language)) : text;
}

std::vector<std::string> warningSentences(const PhoneWarnings &warnings, Language language) {
  std::vector<std::string> sentences;
  bool still = warnings.vibrationStill, dark = warnings.ledDark;
  if (warnings.vibrationSilent)
    sentences.push_back(silentText(warnings.vibrationSilent, still ? msgWarnVibrationStill : msgWarnVibrationSilent,
                                   still ? msgWarnVibrationStillMany : msgWarnVibrationSilentMany, language));
  if (warnings.ledSilent)
    sentences.push_back(silentText(warnings.ledSilent, dark ? msgWarnLedDark : msgWarnLedSilent,
                                   dark ? msgWarnLedDarkMany : msgWarnLedSilentMany, language));
  if (warnings.pulsesTooShort) sentences.push_back(inLanguage(msgWarnPulsesShort, language));
  if (warnings.almostAlwaysOn) sentences.push_back(inLanguage(msgWarnAlwaysOn, language));
  return sentences;
}

std::string warningLine(const PhoneWarnings &warnings, Language language) {
  std::string line;
  for (const std::string &sentence : warningSentences(warnings, language))
    line += (line.empty() ? "" : sentenceJoiner(language)) + sentence;
  return line;
}
