// The program's own command line: an input path, /vc: and /lc: with decimal
// channel masks, /sv: with the output path, and /end.
#pragma once

// Shell state that the command line sets; inputPath is also set by the Open
// dialog and by dropped files.
extern char inputPath[256];
extern char outputPath[256];
extern int exitAfterConvert;

// Splits a command line into at most `maximum` zero-terminated arguments of
// at most 255 bytes each, one per 256-byte slot of `table`, and returns how
// many it stored. Only spaces separate arguments; an unquoted path keeps its
// spaces until a space is followed by what looks like another argument (an
// option, a drive or a network path); quotes enclose an argument with spaces.
int splitCommandLine(const char *text, char (*table)[256], int maximum);

// Sets the defaults (both masks 1, no paths, exitAfterConvert 0), then lets
// the command line change them. Unknown options and surplus paths are
// ignored.
void readOptions(const char *commandLine);
