#include "shell/cli/linkwarning.h"

#include <cstdio>

#include "engine/convert.h"
#include "engine/inspect.h"
#include "resources/clitexts.h"
#include "shell/report/infotext.h"
#include "shell/messages.h"

namespace {

std::string channels(uint16_t mask) { return mask ? channelListText(mask) : say(msgLinksNone); }

// Why an i-melody carries less than was asked: links go into its first
// track, in the form its version has (version 2 one channel each, version 3
// both masks, other versions none).
const Message &melodyReason(const MelodyInfo &info) {
  if (info.tracks == 0) return msgNoTrackForLinks;
  if (info.linkVersion == 2) return msgVersion2OneEach;
  if (info.linkVersion != 3) return msgVersionTakesNoLinks;
  return msgNowCarries;
}

std::string line(const Message &reason, const char *name, const MelodyInfo &info, uint16_t vib, uint16_t led) {
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
  inspectWithoutNotes(image, length, &info);
  uint16_t vib = info.vibLinks, led = uint16_t(ledChannelsCarried(info));
  if (vib == vibMask && led == ledMask) return "";
  const Message &reason = info.formatKind == FORMAT_SMAF ? msgSmafHolds : melodyReason(info);
  return line(reason, name, info, vib, led);
}
