// Texts that melody files carry, as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/inspect.h"

// The bytes decoded from `encoding` to UTF-8; every byte that does not
// decode becomes U+FFFD, so the result is valid UTF-8 whatever the bytes.
std::string decodeText(const uint8_t *bytes, size_t length, TextEncoding encoding);

// A file's title as UTF-8, or false when it has none or its encoding is
// unknown; `bytes` are those that the inspector read into `info`.
bool titleText(const MelodyInfo &info, const uint8_t *bytes, std::string *title);

// The same text fit for a terminal: control characters become U+FFFD.
std::string printableText(const std::string &utf8);

// The columns that a text of the program's own takes in a terminal: two
// for each character of three or four UTF-8 bytes (kana and kanji), but for
// half-width katakana; one for any other.
size_t terminalColumns(const std::string &utf8);

// The text followed by spaces up to `columns`, or by `gap` spaces when it
// is as wide or wider.
std::string padToColumns(const std::string &utf8, size_t columns, size_t gap);
