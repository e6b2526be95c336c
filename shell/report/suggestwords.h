// The words of a suggestion and of the warnings, shared by the text and JSON
// reports, the line after a conversion and the web page: role names, the
// reason for each device's channels, the warnings as sentences, in words a
// ringtone user knows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/phonewarnings.h"
#include "engine/suggest.h"
#include "shell/report/phrases.h"

const Message &roleMessage(ChannelRole role);

// The role in the language; JSON and the page's data take it in English.
inline const char *roleName(ChannelRole role, Language language) { return inLanguage(roleMessage(role), language); }

// The columns that the widest role name of the language takes in a
// terminal, so that what follows a role lines up.
size_t roleColumns(Language language);

// The roles of the channels of a mask (bit i for channel i + 1, up to 16)
// in channel order: "bass, drums".
std::string rolesText(uint16_t channels, const ChannelRoles &roles, Language language);

// What joins two sentences in one line: "; " in English, "。" in Japanese.
const char *sentenceJoiner(Language language);

// A figure with `places` decimals ("1.8"), whatever the locale; values
// below 0 or not finite are 0, those beyond any melody's held.
std::string decimalText(double value, int places);

// How often, in words: "about twice a second".
std::string rateText(double perSecond, Language language);

// Why the suggestion names the vibrator's (or the LED's) channels, or none.
// `allTracksChoice` names the choice that links SMAF score tracks 6 and 7
// ("--all-tracks").
std::string reasonText(const Suggestion &suggestion, const ChannelRoles &roles, bool vibration, Language language,
                       const char *allTracksChoice);

// Each warning that applies, as a sentence; none when all is well.
std::vector<std::string> warningSentences(const PhoneWarnings &warnings, Language language);

// The same in one line, or empty.
std::string warningLine(const PhoneWarnings &warnings, Language language);
