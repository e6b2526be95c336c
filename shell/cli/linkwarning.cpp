#include "shell/cli/linkwarning.h"

#include <cstdio>

#include "engine/convert.h"
#include "engine/inspect.h"
#include "resources/clitexts.h"
#include "shell/report/infotext.h"
#include "shell/messages.h"

namespace {

std::string channels(uint32_t mask) { return mask ? channelListText(mask) : say(msgLinksNone); }

// Why an i-melody carries less than was asked: links go into its first
// track, in the form its version has (version 2 one channel each, version 3
// both masks, other versions none).
const Message &melodyReason(const MelodyInfo &info) {
  if (info.tracks == 0) return msgNoTrackForLinks;
  if (info.linkVersion == 2) return msgVersion2OneEach;
  if (info.linkVersion != 3) return msgVersionTakesNoLinks;
  return msgNowCarries;
}

std::string line(const Message &reason, const char *name, const MelodyInfo &info, uint32_t vib, uint32_t led) {
  char text[1024];
  std::string vibText = channels(vib), ledText = channels(led);
  if (&reason == &msgVersionTakesNoLinks)
    std::snprintf(text, sizeof text, say(reason), name, int(info.linkVersion), vibText.c_str(), ledText.c_str());
  else
    std::snprintf(text, sizeof text, say(reason), name, vibText.c_str(), ledText.c_str());
  return text;
}

}  // namespace

std::string linkWarning(const char *name, const uint8_t *image, uint32_t length, uint16_t vibMask,
                        uint16_t ledMask) {
  MelodyInfo info;
  inspectImage(image, length, &info);
  uint32_t vib = info.vibLinks, led = info.ledLinks;
  // A SMAF file's LED tag names one channel, beside the LED bits of track 5.
  if (info.formatKind == FORMAT_SMAF && info.ledTag >= 1 && info.ledTag <= 16)
    led |= uint32_t(1) << (info.ledTag - 1);
  if (vib == vibMask && led == ledMask) return "";
  const Message &reason = info.formatKind == FORMAT_SMAF ? msgSmafHolds : melodyReason(info);
  return line(reason, name, info, vib, led);
}
