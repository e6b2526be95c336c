// What the inspector found in a file, as one line of JSON per file, for
// scripts and the web page.
#pragma once

#include <cstdint>
#include <string>

#include "engine/inspect.h"

// Inspects the bytes and describes them: `sorbelin --info --json` prints
// this line for a file, without its line end.
std::string melodyInfoJson(const char *path, const uint8_t *bytes, uint32_t length);

// The same for a record that inspectImage filled from `bytes`.
std::string infoJson(const char *path, const MelodyInfo &info, const uint8_t *bytes);

// A file that could not be read, for the reason given.
std::string unreadableInfoJson(const char *path, const char *reason);
