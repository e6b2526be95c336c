// sorbelin --info: reports what each file holds, writing nothing.
#pragma once

#include <vector>

#include "shell/cli/jobs.h"
#include "shell/messages.h"

// Prints the report on the input of every job in order (one JSON object per
// line with `json`) and returns 0 when each was read and recognised whole,
// else 1. Standard input is named so, in English in JSON.
int reportFiles(const std::vector<Job> &jobs, bool json, Language language);
