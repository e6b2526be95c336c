#include "shell/messages.h"

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

const Message *resultText(const ConversionReport &report, uint8_t ledChannel) {
  if (report.formatKind == FORMAT_IMELODY) {
    if (report.formatVersion == 2) return ledChannel ? &msgResultImelodyV2Led : &msgResultImelodyV2;
    if (report.formatVersion == 3) return &msgResultImelodyV3;
  } else if (report.formatKind == FORMAT_SMAF) {
    if (report.formatVersion == 2) return &msgResultSmaf16;
    if (report.formatVersion == 3) return &msgResultSmaf40;
  }
  return nullptr;
}

const char *resultMessage(const ConversionReport &report, uint8_t ledChannel) {
  const Message *text = resultText(report, ledChannel);
  return text ? text->japanese : nullptr;
}
