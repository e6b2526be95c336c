#include "shell/messages.h"

#include "resources/texts.h"

const char *resultMessage(const ConversionReport &report, uint8_t ledChannel) {
  if (report.formatKind == FORMAT_IMELODY) {
    if (report.formatVersion == 2) return ledChannel ? textResultImelodyV2Led : textResultImelodyV2;
    if (report.formatVersion == 3) return textResultImelodyV3;
  } else if (report.formatKind == FORMAT_SMAF) {
    if (report.formatVersion == 2) return textResultSmaf16;
    if (report.formatVersion == 3) return textResultSmaf40;
  }
  return nullptr;
}
