// sorbelin --info: reports what each file holds, writing nothing.
#pragma once

#include <vector>

#include "shell/messages.h"

// Prints the report on every file in order (one JSON object per line with
// `json`) and returns 0 when each was read and recognised whole, else 1.
int reportFiles(const std::vector<const char *> &paths, bool json, Language language);
