#include "shell/options.h"

#include <cstring>

#include "engine/bytes.h"
#include "engine/convert.h"
#include "shell/memblock.h"

char inputPath[256];
char outputPath[256];
int exitAfterConvert;

namespace {

const int slotSize = 256;

// The byte at k, or -1 past the text's end: it then matches no character.
int byteAt(const char *text, size_t length, size_t k) {
  return k < length ? static_cast<unsigned char>(text[k]) : -1;
}

// Copies text[start..end] into the slot, cut to 255 bytes and terminated.
void storeArgument(char *slot, const char *text, size_t start, size_t end) {
  size_t count = end - start + 1;
  if (count > slotSize - 1) count = slotSize - 1;
  std::memcpy(slot, text + start, count);
  slot[count] = 0;
}

// A space after an unquoted argument ends it when the argument is an option,
// or when the next bytes look like an option, a drive or a network path.
bool spaceEndsArgument(const char *text, size_t length, size_t start, size_t space) {
  int second = byteAt(text, length, space + 1), third = byteAt(text, length, space + 2);
  return text[start] == '/' || second == '/' || third == ':' || (second == '\\' && third == '\\');
}

// Copies at most 255 bytes and always terminates.
void copyPath(char *destination, const char *source) {
  size_t n = strnlen(source, slotSize - 1);
  std::memcpy(destination, source, n);
  destination[n] = 0;
}

void applyArgument(const char *argument) {
  if (argument[0] != '/') {
    if (!inputPath[0]) copyPath(inputPath, argument);
  } else if (std::memcmp(argument, "/vc:", 4) == 0) {
    conversionSettings.vibMask = parseDecimalByte(argument + 4, 5);
  } else if (std::memcmp(argument, "/lc:", 4) == 0) {
    conversionSettings.ledMask = parseDecimalByte(argument + 4, 5);
  } else if (std::memcmp(argument, "/end", 4) == 0) {
    exitAfterConvert = 1;
  } else if (std::memcmp(argument, "/sv:", 4) == 0) {
    if (!outputPath[0]) copyPath(outputPath, argument + 4);
  }
}

}  // namespace

int splitCommandLine(const char *text, char (*table)[256], int maximum) {
  size_t length = std::strlen(text), j = 0, start = 0;
  bool quoted = false;
  int count = 0;
  while (j < length && count < maximum) {
    char c = text[j];
    if (!quoted && (c == '"' || c == ' ')) {  // opens a new argument
      quoted = c == '"';
      start = ++j;
      continue;
    }
    if (quoted && c == '"') {  // "" is an empty argument: nothing is stored
      quoted = false;
      start = ++j;
      continue;
    }
    int next = byteAt(text, length, j + 1);
    if (!(next < 0 || (quoted && next == '"') || (!quoted && next == ' '))) {
      ++j;
      continue;
    }
    if (!quoted && next == ' ' && !spaceEndsArgument(text, length, start, j + 1)) {
      ++j;  // the space, and the whole run behind it, belongs to the argument
      while (byteAt(text, length, j + 1) == ' ') ++j;
      if (byteAt(text, length, j + 1) >= 0) {
        ++j;
        continue;
      }
    }
    storeArgument(table[count++], text, start, j);
    if (byteAt(text, length, j + 1) == '"') {
      ++j;
      quoted = false;
    }
    start = ++j;
  }
  return count;
}

void readOptions(const char *commandLine) {
  conversionSettings.vibMask = 1;
  conversionSettings.ledMask = 1;
  exitAfterConvert = 0;
  inputPath[0] = 0;
  outputPath[0] = 0;
  MemBlock argTable = {};
  if (!memBlockCreate(&argTable, 8 * slotSize)) return;  // the defaults stand
  char(*arguments)[256] = reinterpret_cast<char(*)[256]>(argTable.data);
  int count = splitCommandLine(commandLine, arguments, 8);
  for (int k = 0; k < count; ++k) applyArgument(arguments[k]);
  memBlockFree(&argTable);
}
