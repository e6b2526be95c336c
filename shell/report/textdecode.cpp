#include "shell/report/textdecode.h"

#include "shell/report/cp932.h"

namespace {

const char replacement[] = "\xEF\xBF\xBD";  // U+FFFD

void appendUtf8(std::string *out, uint32_t code) {
  if (code < 0x80) {
    *out += char(code);
  } else if (code < 0x800) {
    *out += char(0xC0 | code >> 6), *out += char(0x80 | (code & 0x3F));
  } else {
    *out += char(0xE0 | code >> 12), *out += char(0x80 | ((code >> 6) & 0x3F)), *out += char(0x80 | (code & 0x3F));
  }
}

// The length of the UTF-8 character at `bytes`, or 0 when none starts there.
size_t utf8Length(const uint8_t *bytes, size_t left) {
  uint8_t c = bytes[0];
  size_t n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
  if (n == 0 || n > left) return 0;
  for (size_t i = 1; i < n; ++i)
    if ((bytes[i] & 0xC0) != 0x80) return 0;
  // No overlong forms, no surrogates, nothing beyond U+10FFFF.
  if ((c == 0xE0 && bytes[1] < 0xA0) || (c == 0xED && bytes[1] >= 0xA0) || (c == 0xF0 && bytes[1] < 0x90) ||
      (c == 0xF4 && bytes[1] >= 0x90))
    return 0;
  return n;
}

bool isShiftJisLead(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// One double-byte character as phones read it (code page 932), from the
// project's own table, so that every build reads a title alike; false when
// the pair is none.
bool appendDoubleByte(const uint8_t *pair, std::string *out) {
  int index = cp932Index(pair[0], pair[1]);
  if (index < 0 || !cp932Table[index]) return false;
  appendUtf8(out, cp932Table[index]);
  return true;
}

// Single bytes are ASCII or half-width katakana; a lead byte and the byte
// after it are one double-byte character.
std::string decodeShiftJis(const uint8_t *bytes, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    uint8_t c = bytes[i];
    if (c < 0x80) {
      out += char(c);
    } else if (c >= 0xA1 && c <= 0xDF) {
      appendUtf8(&out, 0xFF61 + (c - 0xA1));
    } else if (isShiftJisLead(c) && i + 1 < length && appendDoubleByte(bytes + i, &out)) {
      ++i;
    } else {
      out += replacement;
    }
  }
  return out;
}

std::string decodeUtf8(const uint8_t *bytes, size_t length) {
  std::string out;
  for (size_t i = 0; i < length;) {
    size_t n = utf8Length(bytes + i, length - i);
    if (n)
      out.append(reinterpret_cast<const char *>(bytes + i), n);
    else
      out += replacement;
    i += n ? n : 1;
  }
  return out;
}

}  // namespace

std::string decodeText(const uint8_t *bytes, size_t length, TextEncoding encoding) {
  if (encoding == TEXT_SHIFT_JIS) return decodeShiftJis(bytes, length);
  if (encoding != TEXT_LATIN1) return decodeUtf8(bytes, length);
  std::string out;
  for (size_t i = 0; i < length; ++i) appendUtf8(&out, bytes[i]);
  return out;
}

std::string printableText(const std::string &utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    bool c1 = c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
    if (c < 0x20 || c == 0x7F || c1) {
      out += replacement;
      i += c1;
    } else {
      out += char(c);
    }
  }
  return out;
}

bool titleText(const MelodyInfo &info, const uint8_t *bytes, std::string *title) {
  if (!info.title.present || info.title.encoding == TEXT_UNKNOWN) return false;
  *title = decodeText(bytes + info.title.at, size_t(info.title.length), info.title.encoding);
  return true;
}

size_t terminalColumns(const std::string &utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    uint32_t point = 0;
    if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size())
      point = (c & 0x0Fu) << 12 | (utf8[i + 1] & 0x3Fu) << 6 | (utf8[i + 2] & 0x3Fu);
    bool halfWidth = point >= 0xFF61 && point <= 0xFF9F;
    columns += c >= 0xE0 && !halfWidth ? 2 : 1;
  }
  return columns;
}

std::string padToColumns(const std::string &utf8, size_t columns, size_t gap) {
  size_t used = terminalColumns(utf8);
  return utf8 + std::string(used < columns ? columns - used : gap, ' ');
}
