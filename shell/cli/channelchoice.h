// The channels that a conversion links in one file: those listed on the
// command line; for a device whose choice is "keep", those that the file
// links now; for one whose choice is "auto", those suggested for the file.
// And what a run reads of a file's notes for it: the suggestion, the roles
// of its channels for the warnings.
#pragma once

#include <cstdint>

#include "engine/suggest.h"
#include "shell/cli/cliargs.h"
#include "shell/report/carries.h"

struct ChannelMasks {
  uint16_t vibMask;  // bit i for channel i + 1
  uint16_t ledMask;
};

// What a run read of one file's notes: each at most once per file. A run
// keeps one for all its files, so that their storage serves each in turn.
struct FileReading {
  FileSuggestion file;
  bool suggested = false;  // `file` holds the file's suggestion (and so its timeline and roles)
  bool rolesRead = false;  // `file.timeline` and `file.roles` hold the file's notes and roles
};

// Forgets what was read of the file before, keeping the storage.
inline void startFile(FileReading *reading) { reading->suggested = reading->rolesRead = false; }

// Whether the request suggests the channels of either device.
bool suggestsChannels(const CliRequest &request);

// Both masks for the file whose bytes are given, as the request chooses
// them. A kept device takes what the inspector reads as linked now (for the
// LED, a SMAF file's LED tag too), channels 1 to 16; a suggested one what
// suggestForImage chooses within what the file can carry (SMAF score
// tracks 6 and 7 too with the request's allTracks), read into `reading`; a
// file that cannot be read links none.
ChannelMasks channelsForFile(const CliRequest &request, const uint8_t *bytes, uint32_t length, FileReading *reading);

// The roles of the file's channels, read from its bytes unless `reading`
// holds them already.
const ChannelRoles &rolesOf(const uint8_t *bytes, uint32_t length, FileReading *reading);

// The devices whose channels were suggested for the file, for the line that
// says what it carries.
SuggestedDevices suggestedDevices(const CliRequest &request, const FileReading &reading);
