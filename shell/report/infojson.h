// What the inspector found in a file, as one line of JSON per file (for
// scripts and the web page), and the pieces the text report shares.
#pragma once

#include <cstdint>
#include <string>

#include "engine/inspect.h"
#include "shell/messages.h"

// Inspects the bytes and describes them: `sorbelin --info --json` prints
// this line for a file, without its line end.
std::string melodyInfoJson(const char *path, const uint8_t *bytes, uint32_t length);

// The same for a record that inspectImage filled from `bytes`.
std::string infoJson(const char *path, const MelodyInfo &info, const uint8_t *bytes);

// A file that could not be read, for the reason given.
std::string unreadableInfoJson(const char *path, const char *reason);

// The text with every "{name}" in it replaced by `value`: the messages
// shared with the web page mark their blanks so.
std::string fillToken(std::string text, const char *name, const std::string &value);

// The message that says why the reading stopped early (the one for "not a
// melody" when no format was found), with its offset and number filled in:
// the walk's stop, or else the stop of decoding the notes; empty when the
// file was read whole. JSON always has it in English.
std::string stopSentence(const MelodyInfo &info, Language language);
std::string readingStopSentence(int formatKind, const StopPlace &walk, const StopPlace &notes, Language language);

// A JSON string: quotes, backslashes and control characters escaped; the
// text must be valid UTF-8.
std::string quoted(const std::string &utf8);

// A path as a JSON string; bytes that are not UTF-8 are shown as U+FFFD.
std::string quotedPath(const char *path);

// A chunk id: its four bytes, a score or audio track's number (the fourth
// byte of "MTR" or "ATR") in decimal, other bytes outside printable ASCII as
// '?'.
std::string chunkIdText(uint32_t id);

// The title as UTF-8, or false when there is none or its encoding is unknown.
bool titleText(const MelodyInfo &info, const uint8_t *bytes, std::string *title);
