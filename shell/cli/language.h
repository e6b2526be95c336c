// The language the native program speaks to its user.
#pragma once

#include "shell/report/phrases.h"

// English until chooseLanguage sets it.
extern Language userLanguage;

inline const char *say(const Message &message) { return inLanguage(message, userLanguage); }

// The language that a locale's environment selects: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty decides, Japanese when it
// names a Japanese locale ("ja", "ja_JP.UTF-8", ...), English otherwise.
Language languageOf(const char *lcAll, const char *lcMessages, const char *lang);
