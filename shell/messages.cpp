#include "shell/messages.h"

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
