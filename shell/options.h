// The program's own command line: an input path, /vc: and /lc: with decimal
// channel masks, /sv: with the output path, and /end.
#pragma once

#include <cstdint>

// Shell state that the command line sets; inputPath is also set by the Open
// dialog and by dropped files.
extern char inputPath[256];
extern char outputPath[256];
extern int exitAfterConvert;

// What a command line of this form asks for. The paths point into its
// arguments.
struct OwnCommand {
  const char *input;   // the first argument that is no option, or null
  const char *output;  // the path of the first /sv: that names one, or null
  int inputCount;      // how many arguments are no option
  int end;             // /end was given
  uint16_t vibMask;    // from the last /vc:, else 1
  uint16_t ledMask;    // from the last /lc:, else 1
};

// The command before any argument: no paths, both masks 1.
OwnCommand ownCommandDefaults();

// Reads one whole argument into the command. An argument beginning with '/'
// is an option; unknown options are ignored. /vc: and /lc: take at most five
// decimal digits, counted modulo 256.
void readOwnArgument(const char *argument, OwnCommand *command);

// Splits a command line into at most `maximum` zero-terminated arguments of
// at most 255 bytes each, one per 256-byte slot of `table`, and returns how
// many it stored. Only spaces separate arguments; an unquoted path keeps its
// spaces until a space is followed by what looks like another argument (an
// option, a drive or a network path); quotes enclose an argument with spaces.
// A longer argument is cut to 255 bytes, and then cut[k] (when `cut` is given,
// `maximum` entries) is set for it; cut[k] is cleared for every other slot
// filled.
int splitCommandLine(const char *text, char (*table)[256], int maximum, bool *cut = nullptr);

// Sets the defaults (both masks 1, no paths, exitAfterConvert 0), then lets
// the command line change them. Unknown options and surplus paths are
// ignored. Returns 0, with both paths left empty, when the input path or the
// /sv: path taken was longer than the 255 bytes a slot holds: cut, it would
// name another file.
int readOptions(const char *commandLine);
