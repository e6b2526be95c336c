// The program's own command line: splitCommandLine and readOptions on any
// text.
#include <cstring>
#include <vector>

#include "engine/convert.h"
#include "fuzz/checks.h"
#include "shell/options.h"

namespace {

const int slotCount = 8;
const size_t slotSize = 256;
const char untouched = char(0xA5);

struct Split {
  std::vector<char> table;  // exactly `maximum` slots, so that a write past them is caught
  int count;
  bool cut[slotCount];
};

Split split(const char *text, int maximum) {
  Split result = {std::vector<char>(size_t(maximum) * slotSize, untouched), 0, {}};
  result.count = splitCommandLine(text, reinterpret_cast<char(*)[256]>(result.table.data()), maximum, result.cut);
  return result;
}

const char *slotAt(const Split &s, int k) { return s.table.data() + size_t(k) * slotSize; }

// At most `maximum` arguments, each at most 255 bytes, terminated and taken
// from the text; the slots behind them are not written.
const char *checkSplit(const char *text, const Split &s, int maximum) {
  if (s.count < 0 || s.count > maximum) return "the splitter stored more arguments than its maximum";
  for (int k = 0; k < maximum; ++k) {
    const char *slot = slotAt(s, k);
    if (k >= s.count) {
      for (size_t i = 0; i < slotSize; ++i)
        if (slot[i] != untouched) return "the splitter wrote a slot that it did not fill";
      continue;
    }
    size_t n = strnlen(slot, slotSize);
    if (n == slotSize) return "the splitter stored an argument longer than 255 bytes";
    if (s.cut[k] && n != slotSize - 1) return "an argument marked as cut is shorter than 255 bytes";
    if (!memmem(text, std::strlen(text), slot, n)) return "the splitter stored bytes that are not in the text";
  }
  return nullptr;
}

// A smaller maximum stores the same first arguments and stops there.
const char *checkMaximum(const char *text, const Split &all) {
  for (int maximum = 0; maximum < slotCount; ++maximum) {
    Split fewer = split(text, maximum);
    int expected = all.count < maximum ? all.count : maximum;
    if (fewer.count != expected) return "a smaller maximum changed how many arguments were stored";
    for (int k = 0; k < fewer.count; ++k)
      if (std::strcmp(slotAt(fewer, k), slotAt(all, k)) != 0) return "a smaller maximum changed an argument";
  }
  return nullptr;
}

// The input path is the first argument that is not an option; the output
// path the first /sv: that names one; both terminated inside their buffers,
// and both empty, with a result of 0, when either of them was cut; the masks
// come from at most 255.
const char *checkOptions(const Split &s, int whole) {
  const char *input = "", *output = "";
  bool cut = false;
  for (int k = s.count - 1; k >= 0; --k) {
    const char *argument = slotAt(s, k);
    if (argument[0] != '/') input = argument;
    if (std::strncmp(argument, "/sv:", 4) == 0 && argument[4]) output = argument + 4;
  }
  for (int k = 0; k < s.count; ++k) cut = cut || (s.cut[k] && (slotAt(s, k) == input || slotAt(s, k) + 4 == output));
  if (cut) input = output = "";
  if (whole != !cut) return "readOptions did not tell whether a path was cut";
  if (strnlen(inputPath, sizeof inputPath) == sizeof inputPath ||
      strnlen(outputPath, sizeof outputPath) == sizeof outputPath)
    return "a path buffer is left unterminated";
  if (std::strcmp(inputPath, input) != 0) return "the input path is not the first argument that is no option";
  if (std::strcmp(outputPath, output) != 0) return "the output path is not that of the first /sv:";
  if (conversionSettings.vibMask > 255 || conversionSettings.ledMask > 255) return "a mask beyond 8 channels";
  if (exitAfterConvert != 0 && exitAfterConvert != 1) return "exitAfterConvert is neither 0 nor 1";
  return nullptr;
}

}  // namespace

const char *checkOwnCommandLine(const uint8_t *data, size_t size) {
  const uint8_t *zero = static_cast<const uint8_t *>(std::memchr(data, 0, size));
  size_t length = zero ? size_t(zero - data) : size;
  std::vector<char> text(data, data + length);
  text.push_back(0);
  Split all = split(text.data(), slotCount);
  const char *problem = checkSplit(text.data(), all, slotCount);
  if (!problem) problem = checkMaximum(text.data(), all);
  if (problem) return problem;
  int whole = readOptions(text.data());
  return checkOptions(all, whole);
}
