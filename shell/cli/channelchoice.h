// The channels that a conversion links in one file: those listed on the
// command line, or, for a device whose choice is "keep", those that the
// file links now.
#pragma once

#include <cstdint>

#include "shell/cli/cliargs.h"

struct ChannelMasks {
  uint16_t vibMask;  // bit i for channel i + 1
  uint16_t ledMask;
};

// Both masks for the file whose bytes are given, as the request chooses
// them. A kept device takes what the inspector reads as linked now (for the
// LED, a SMAF file's LED tag too), channels 1 to 16; a file that cannot be
// read links none.
ChannelMasks channelsForFile(const CliRequest &request, const uint8_t *bytes, uint32_t length);
