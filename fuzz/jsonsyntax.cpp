#include "fuzz/jsonsyntax.h"

#include <cstring>
#include <initializer_list>

namespace {

struct JsonReader {
  const std::string &text;
  size_t at;
};

bool readValue(JsonReader &r, int depth);

bool take(JsonReader &r, char c) {
  if (r.at < r.text.size() && r.text[r.at] == c) return ++r.at, true;
  return false;
}

// A string of valid UTF-8 without raw control characters.
bool readString(JsonReader &r) {
  if (!take(r, '"')) return false;
  while (r.at < r.text.size()) {
    unsigned char c = static_cast<unsigned char>(r.text[r.at++]);
    if (c == '"') return true;
    if (c < 0x20) return false;
    if (c == '\\') {
      if (r.at >= r.text.size() || !std::strchr("\"\\/bfnrtu", r.text[r.at])) return false;
      r.at += r.text[r.at] == 'u' ? 5 : 1;
      continue;
    }
    int extra = c < 0x80 ? 0 : c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : -1;
    if (extra < 0) return false;
    for (int i = 0; i < extra; ++i)
      if (r.at >= r.text.size() || (static_cast<unsigned char>(r.text[r.at++]) & 0xC0) != 0x80) return false;
  }
  return false;
}

bool readDigits(JsonReader &r) {
  size_t start = r.at;
  while (r.at < r.text.size() && r.text[r.at] >= '0' && r.text[r.at] <= '9') ++r.at;
  return r.at > start;
}

// An unsigned number, with a fraction or without.
bool readNumber(JsonReader &r) { return readDigits(r) && (!take(r, '.') || readDigits(r)); }

bool readList(JsonReader &r, char close, bool keys, int depth) {
  if (take(r, close)) return true;
  do {
    if (keys && (!readString(r) || !take(r, ':'))) return false;
    if (!readValue(r, depth + 1)) return false;
  } while (take(r, ','));
  return take(r, close);
}

bool readValue(JsonReader &r, int depth) {
  if (depth > 8) return false;
  if (take(r, '{')) return readList(r, '}', true, depth);
  if (take(r, '[')) return readList(r, ']', false, depth);
  for (const char *word : {"null", "true", "false"})
    if (r.text.compare(r.at, std::strlen(word), word) == 0) return r.at += std::strlen(word), true;
  if (r.at < r.text.size() && r.text[r.at] == '"') return readString(r);
  return readNumber(r);
}

}  // namespace

bool isJsonObjectLine(const std::string &text) {
  JsonReader r = {text, 0};
  return !text.empty() && text[0] == '{' && readValue(r, 0) && r.at == text.size();
}
