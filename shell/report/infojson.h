// What the inspector found in a file, as one line of JSON per file, for
// scripts and the web page.
#pragma once

#include <cstdint>
#include <string>

#include "engine/channelroles.h"
#include "engine/inspect.h"

// Inspects the bytes and describes them: the line that `sorbelin --info
// --json` prints for a file, without its line end and the channels' roles.
std::string melodyInfoJson(const char *path, const uint8_t *bytes, uint32_t length);

// The same for a record that inspectImage filled from `bytes`; with
// `roles` (readChannelRoles on the same file's timeline), after the notes,
// the role of each channel that has notes: "roles":{"1":"bass",...}.
std::string infoJson(const char *path, const MelodyInfo &info, const uint8_t *bytes,
                     const ChannelRoles *roles = nullptr);

// A file that could not be read, for the reason given.
std::string unreadableInfoJson(const char *path, const char *reason);
