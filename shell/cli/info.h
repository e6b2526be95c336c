// sorbelin --info: reports what each file holds, writing nothing.
#pragma once

#include <string>
#include <vector>

#include "shell/cli/jobs.h"
#include "shell/cli/language.h"

// Prints the report on the input of every job in order (one JSON object per
// line with `json`) and returns 0 when each was read and recognised whole,
// else 1. Standard input is named so, in English in JSON.
int reportFiles(const std::vector<Job> &jobs, bool json, Language language);

// Why a file could not be read: "cannot read: " and the system's reason, in
// the user's language or, for JSON, in English whatever the locale.
std::string unreadableReason(int reason, bool english);

// How a report names a job's input: standard input is named so, in English
// in JSON.
std::string reportName(const Job &job, bool json, Language language);
