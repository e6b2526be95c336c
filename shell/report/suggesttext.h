// The suggestion for a person, as `sorbelin --suggest` prints it: the
// channels for the vibrator and the LED with the reason for each, then one
// line per channel with its role and figures:
//
//   tune.mmf
//     vibration 6 (bass): the bass line pulses about twice a second, easy to feel
//     LED       5 (melody): the light blinks with the tune, about twice a second
//     ch  5 melody   60–79  1.8 notes/s  sounds 62%
#pragma once

#include <string>

#include "engine/suggest.h"
#include "shell/report/phrases.h"

// The report on a file that suggestForImage read; `allTracksChoice` names
// the choice that links SMAF score tracks 6 and 7 ("--all-tracks").
std::string suggestionText(const char *path, const FileSuggestion &file, Language language,
                           const char *allTracksChoice);

// The report on a file that could not be read.
std::string unreadableSuggestionText(const char *path, const char *reason);
