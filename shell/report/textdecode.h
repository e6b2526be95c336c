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
