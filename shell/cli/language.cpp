#include "shell/cli/language.h"

#include <cstring>
#include <initializer_list>

Language userLanguage = LANGUAGE_ENGLISH;

Language languageOf(const char *lcAll, const char *lcMessages, const char *lang) {
  for (const char *value : {lcAll, lcMessages, lang}) {
    if (!value || !*value) continue;
    bool japanese = std::strncmp(value, "ja", 2) == 0 && (value[2] == 0 || std::strchr("_.@", value[2]));
    return japanese ? LANGUAGE_JAPANESE : LANGUAGE_ENGLISH;
  }
  return LANGUAGE_ENGLISH;
}
