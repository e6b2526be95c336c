// sorbelin --suggest: the channels suggested for the vibrator and the LED
// of each file, with the reasons and each channel's role, writing nothing.
#pragma once

#include <vector>

#include "shell/cli/cliargs.h"
#include "shell/cli/jobs.h"
#include "shell/cli/language.h"

// Prints the suggestion for the input of every job in order (one JSON
// object per line with the request's `json`), within what each file can
// carry (SMAF score tracks 6 and 7 too with its `allTracks`). Returns 0 when
// each file was read and recognised whole, else 1.
int reportSuggestions(const std::vector<Job> &jobs, const CliRequest &request, Language language);
