// The suggestion as one line of JSON per file, for scripts and the web
// page: the channels for the vibrator and the LED with their reasons, each
// channel's role and figures, and the pattern each device would follow.
// Keys and roles are English; the reasons are in the language given.
#pragma once

#include <cstdint>
#include <string>

#include "engine/suggest.h"
#include "shell/report/phrases.h"

// Reads the bytes and suggests: `sorbelin --suggest --json` prints this line
// for a file, without its line end. `allTracks` lets the suggestion link SMAF
// score tracks 6 and 7, which `allTracksChoice` names ("--all-tracks").
std::string melodySuggestionJson(const char *path, const uint8_t *bytes, uint32_t length, bool allTracks,
                                 Language language, const char *allTracksChoice);

// The same for a file that suggestForImage read.
std::string suggestionJson(const char *path, const FileSuggestion &file, bool allTracks, Language language,
                           const char *allTracksChoice);

// A file that could not be read, for the reason given.
std::string unreadableSuggestionJson(const char *path, const char *reason, bool allTracks, Language language);
