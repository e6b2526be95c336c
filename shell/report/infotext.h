// What the inspector found in a file, as a few aligned lines for a person.
#pragma once

#include <cstdint>
#include <string>

#include "engine/channelroles.h"
#include "engine/inspect.h"
#include "shell/report/phrases.h"

// The report on a file that inspectImage read into `info` from `bytes`:
// the path, then one line per fact; notes per channel as bars, so that the
// busiest channels stand out, each channel's role beside its number where
// `roles` (readChannelRoles on the same file's timeline) is given.
std::string infoText(const char *path, const MelodyInfo &info, const uint8_t *bytes, const ChannelRoles *roles,
                     Language language);

// The report on a file that could not be read.
std::string unreadableInfoText(const char *path, const char *reason);
