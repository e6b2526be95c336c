// The words every report shares: the language a text is given in, the stop
// sentences, and the small helpers that put numbers, lengths, channel lists
// and strings into text. Every report on a melody, and the line after a
// conversion, builds on these; no report builds on another.
#pragma once

#include <cstdint>
#include <string>

#include "engine/inspect.h"
#include "engine/stops.h"
#include "resources/messages.h"

enum Language { LANGUAGE_ENGLISH, LANGUAGE_JAPANESE };

inline const char *inLanguage(const Message &message, Language language) {
  return language == LANGUAGE_JAPANESE ? message.japanese : message.english;
}

// The text with every "{name}" in it replaced by `value`: the messages
// shared with the web page mark their blanks so.
std::string fillToken(std::string text, const char *name, const std::string &value);

// The message that says why the reading stopped early (the one for "not a
// melody" when no format was found), with its offset and number filled in:
// the walk's stop, or else the stop of decoding the notes; empty when the
// file was read whole.
std::string readingStopSentence(int formatKind, const StopPlace &walk, const StopPlace &notes, Language language);

// The same for what the inspector read.
std::string stopSentence(const MelodyInfo &info, Language language);

// A length as minutes, seconds and tenths ("4:45.5"), rounded to the tenth
// from its whole milliseconds before rounding: a fraction of a millisecond
// never moves the tenth, a millisecond rounded up can.
std::string durationText(int64_t floorMs);

// The phones that a SMAF file is made for, as the last of its score tracks
// 0 to 5 says: "phones that play 16 notes at once"; empty for a file
// without one (an i-melody, a SMAF file of tracks 6 and 7 alone).
std::string phonesMadeFor(const MelodyInfo &info, Language language);

// Channels of a mask (bit i for channel i + 1, up to 32) as a list like
// "1,3,9-12", or "none".
std::string channelListText(uint32_t mask);

// Channels of a mask (bit i for channel i + 1, up to 32) as a JSON array:
// "[1,3,9]".
std::string channelArray(uint32_t mask);

// A JSON string: quotes, backslashes and control characters escaped; the
// text must be valid UTF-8.
std::string quoted(const std::string &utf8);

// A path as a JSON string; bytes that are not UTF-8 are shown as U+FFFD.
std::string quotedPath(const char *path);

// A path as a line of text for a person: control characters and bytes that
// are not UTF-8 shown as U+FFFD.
std::string printablePath(const char *path);

// A chunk id: its four bytes, a score or audio track's number (the fourth
// byte of "MTR" or "ATR") in decimal, other bytes outside printable ASCII as
// '?'.
std::string chunkIdText(uint32_t id);
