// sorbelin --timeline: draws, or writes as JSON, the notes of each file,
// writing no file.
#pragma once

#include <vector>

#include "shell/cli/cliargs.h"
#include "shell/cli/jobs.h"
#include "shell/cli/language.h"

// Reports on every file in order: strips for each channel and for the
// vibration and LED that the request's masks would give the converted file
// (one JSON object per line and file with `json`), for the input of every
// job. Returns 0 when each file was read and recognised whole, else 1.
int reportTimelines(const std::vector<Job> &jobs, const CliRequest &request, Language language);
