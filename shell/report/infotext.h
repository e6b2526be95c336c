// What the inspector found in a file, as a few aligned lines for a person.
#pragma once

#include <cstdint>
#include <string>

#include "engine/inspect.h"
#include "shell/report/phrases.h"

// The report on a file that inspectImage read into `info` from `bytes`:
// the path, then one line per fact; notes per channel as bars, so that the
// busiest channels stand out.
std::string infoText(const char *path, const MelodyInfo &info, const uint8_t *bytes, Language language);

// The report on a file that could not be read.
std::string unreadableInfoText(const char *path, const char *reason);
