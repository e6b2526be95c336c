// JSON syntax, enough for the fuzz checks to tell a well-formed report line
// from a broken one: objects, arrays, strings of valid UTF-8 without raw
// control characters, unsigned numbers (with a fraction or without), null,
// true and false.
#pragma once

#include <string>

// One JSON object, and nothing after it.
bool isJsonObjectLine(const std::string &text);
