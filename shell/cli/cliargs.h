// The conventional POSIX command line of the native converter:
//   sorbelin [--vib LIST] [--led LIST] (-o OUT | -d DIR | --in-place) INPUT...
#pragma once

#include <cstdint>
#include <vector>

enum OutputMode { OUTPUT_UNSET, OUTPUT_FILE, OUTPUT_FOLDER, OUTPUT_IN_PLACE };

struct CliRequest {
  uint16_t vibMask;
  uint16_t ledMask;
  int outputMode;
  const char *output;  // the file of -o or the folder of -d
  int quiet;
  int info;  // report on the inputs instead of converting them
  int json;  // the report as JSON
  int help;
  int version;
  std::vector<const char *> inputs;
};

// Reads channel numbers 1 to 16 and ranges, separated by commas ("1,3,9-12"),
// or "none", into a mask. Returns 0 for anything else.
int parseChannelList(const char *text, uint16_t *mask);

// Reads argv[1..argc-1]. Returns 1 when the request is complete (or asks for
// help or the version); otherwise 0 with one line of explanation in `error`.
int parseCliArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize);
