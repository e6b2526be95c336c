#include "shell/cli/channelchoice.h"

#include "engine/inspect.h"

namespace {

// Whether a device's choice depends on what the file holds.
bool readsTheFile(int source) { return source == CHANNELS_KEPT; }

// One device's channels: `listed` is the request's mask, `linked` the
// channels that the file links now for the device (channels 1 to 32).
uint16_t channelsFor(int source, uint16_t listed, uint32_t linked) {
  switch (source) {
    case CHANNELS_KEPT: return uint16_t(linked & 0xFFFF);
    default: return listed;
  }
}

}  // namespace

ChannelMasks channelsForFile(const CliRequest &request, const uint8_t *bytes, uint32_t length) {
  if (!readsTheFile(request.vibSource) && !readsTheFile(request.ledSource))
    return {request.vibMask, request.ledMask};
  MelodyInfo info;
  inspectWithoutNotes(bytes, length, &info);
  return {channelsFor(request.vibSource, request.vibMask, info.vibLinks),
          channelsFor(request.ledSource, request.ledMask, ledChannelsCarried(info))};
}
