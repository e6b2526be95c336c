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
int byteAt(const char *text, size_t length, size_t k) { return k < length ? static_cast<unsigned char>(text[k]) : -1; }

// Copies text[start..end] into the slot, cut to 255 bytes and terminated;
// true when it was cut.
bool storeArgument(char *slot, const char *text, size_t start, size_t end) {
  size_t count = end - start + 1;
  bool cut = count > slotSize - 1;
  if (cut) count = slotSize - 1;
  std::memcpy(slot, text + start, count);
  slot[count] = 0;
  return cut;
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

}  // namespace

OwnCommand ownCommandDefaults() { return {nullptr, nullptr, 0, 0, 1, 1}; }

void readOwnArgument(const char *argument, OwnCommand *command) {
  if (argument[0] != '/') {
    if (!command->input) command->input = argument;
    ++command->inputCount;
  } else if (std::strncmp(argument, "/vc:", 4) == 0) {
    command->vibMask = parseDecimalByte(argument + 4, 5);
  } else if (std::strncmp(argument, "/lc:", 4) == 0) {
    command->ledMask = parseDecimalByte(argument + 4, 5);
  } else if (std::strncmp(argument, "/end", 4) == 0) {
    command->end = 1;
  } else if (std::strncmp(argument, "/sv:", 4) == 0) {
    if (!command->output && argument[4]) command->output = argument + 4;
  }
}

int splitCommandLine(const char *text, char (*table)[256], int maximum, bool *cut) {
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
    bool wasCut = storeArgument(table[count], text, start, j);
    if (cut) cut[count] = wasCut;
    ++count;
    if (byteAt(text, length, j + 1) == '"') {
      ++j;
      quoted = false;
    }
    start = ++j;
  }
  return count;
}

int readOptions(const char *commandLine) {
  OwnCommand command = ownCommandDefaults();
  inputPath[0] = 0;
  outputPath[0] = 0;
  MemBlock argTable = {};
  bool whole = true;
  if (memBlockCreate(&argTable, 8 * slotSize)) {  // else the defaults stand
    char(*arguments)[256] = reinterpret_cast<char(*)[256]>(argTable.data);
    bool cut[8];
    int count = splitCommandLine(commandLine, arguments, 8, cut);
    for (int k = 0; k < count; ++k) {
      readOwnArgument(arguments[k], &command);
      if (cut[k] && (command.input == arguments[k] || command.output == arguments[k] + 4)) whole = false;
    }
    if (whole && command.input) copyPath(inputPath, command.input);
    if (whole && command.output) copyPath(outputPath, command.output);
  }
  conversionSettings.vibMask = command.vibMask;
  conversionSettings.ledMask = command.ledMask;
  exitAfterConvert = command.end;
  memBlockFree(&argTable);
  return whole;
}
