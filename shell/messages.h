// The message that tells the user, after a conversion, on which phones the
// link works.
#pragma once

#include <cstdint>

#include "engine/convert.h"
#include "resources/messages.h"

enum Language { LANGUAGE_ENGLISH, LANGUAGE_JAPANESE };

inline const char *inLanguage(const Message &message, Language language) {
  return language == LANGUAGE_JAPANESE ? message.japanese : message.english;
}

// The language the native program speaks to its user; English until set.
extern Language userLanguage;

inline const char *say(const Message &message) { return inLanguage(message, userLanguage); }

// The language that a locale's environment selects: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty decides, Japanese when it
// names a Japanese locale ("ja", "ja_JP.UTF-8", ...), English otherwise.
Language languageOf(const char *lcAll, const char *lcMessages, const char *lang);

// The message for the report and LED channel in both languages, or null
// when no message applies (nothing converted, i-melody version 1, SMAF type
// 1, ...).
const Message *resultText(const ConversionReport &report, uint8_t ledChannel);

// Its Japanese text, as the Windows program shows it, or null.
const char *resultMessage(const ConversionReport &report, uint8_t ledChannel);
