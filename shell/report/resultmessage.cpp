#include "shell/report/resultmessage.h"

#include "engine/format.h"

const Message *resultText(int formatKind, int formatVersion, uint8_t ledChannel) {
  if (formatKind == FORMAT_IMELODY) {
    if (formatVersion == 2) return ledChannel ? &msgResultImelodyV2Led : &msgResultImelodyV2;
    if (formatVersion == 3) return &msgResultImelodyV3;
  } else if (formatKind == FORMAT_SMAF) {
    if (formatVersion == 2) return &msgResultSmaf16;
    if (formatVersion == 3) return &msgResultSmaf40;
  }
  return nullptr;
}
