#include "shell/cli/channelchoice.h"

#include "engine/inspect.h"

namespace {

// One device's channels: `listed` is the request's mask, `linked` the
// channels that the file links now for the device (channels 1 to 32),
// `suggested` those suggested for it.
uint16_t channelsFor(int source, uint16_t listed, uint32_t linked, uint16_t suggested) {
  switch (source) {
    case CHANNELS_KEPT: return uint16_t(linked & 0xFFFF);
    case CHANNELS_SUGGESTED: return suggested;
    default: return listed;
  }
}

}  // namespace

bool suggestsChannels(const CliRequest &request) {
  return request.vibSource == CHANNELS_SUGGESTED || request.ledSource == CHANNELS_SUGGESTED;
}

ChannelMasks channelsForFile(const CliRequest &request, const uint8_t *bytes, uint32_t length, FileReading *reading) {
  bool kept = request.vibSource == CHANNELS_KEPT || request.ledSource == CHANNELS_KEPT;
  if (!kept && !suggestsChannels(request)) return {request.vibMask, request.ledMask};
  FileSuggestion &file = reading->file;
  file.suggestion = {};
  if (suggestsChannels(request)) {
    suggestForImage(bytes, length, request.allTracks != 0, &file);
    reading->suggested = reading->rolesRead = true;
  } else {
    inspectWithoutNotes(bytes, length, &file.info);
  }
  return {channelsFor(request.vibSource, request.vibMask, file.info.vibLinks, file.suggestion.vibration),
          channelsFor(request.ledSource, request.ledMask, ledChannelsCarried(file.info), file.suggestion.led)};
}

const ChannelRoles &rolesOf(const uint8_t *bytes, uint32_t length, FileReading *reading) {
  if (!reading->rolesRead) {
    decodeTimeline(bytes, length, &reading->file.timeline);
    readChannelRoles(reading->file.timeline, &reading->file.roles);
    reading->rolesRead = true;
  }
  return reading->file.roles;
}

SuggestedDevices suggestedDevices(const CliRequest &request, const FileReading &reading) {
  if (!reading.suggested) return {nullptr, false, false};
  return {&reading.file, request.vibSource == CHANNELS_SUGGESTED, request.ledSource == CHANNELS_SUGGESTED};
}
