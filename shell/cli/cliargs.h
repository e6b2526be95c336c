// The command lines of the native converter: the conventional POSIX one
//   sorbelin [--vib LIST] [--led LIST] [--all-tracks] (-o OUT | -d DIR | --in-place) [-r] INPUT...
// (or --info, --timeline or --suggest instead of an output) and the Windows program's
// own one, its arguments as the shell split them:
//   sorbelin INPUT [/vc:MASK] [/lc:MASK] [/sv:OUT] [/end]
#pragma once

#include <cstdint>
#include <vector>

enum OutputMode { OUTPUT_UNSET, OUTPUT_FILE, OUTPUT_FOLDER, OUTPUT_IN_PLACE };

// Where the channels of a device come from: not named (channel 1), a list
// (its mask), "keep" (those the file links now, read from each file) or
// "auto" (those suggested for each file from what its channels play).
enum ChannelSource { CHANNELS_DEFAULT, CHANNELS_LISTED, CHANNELS_KEPT, CHANNELS_SUGGESTED };

struct CliRequest {
  uint16_t vibMask;  // the listed channels; 0 when kept or suggested
  uint16_t ledMask;
  int vibSource;  // a ChannelSource
  int ledSource;
  int allTracks;  // SMAF score tracks 6 and 7 are linked too
  int outputMode;
  const char *output;  // the file of -o or the folder of -d; in the own form
                       // the /sv: path, or null when it is to be asked for
  int quiet;
  int info;      // report on the inputs instead of converting them
  int timeline;  // draw the inputs' notes instead of converting them
  int suggest;   // suggest the channels for each input instead of converting it
  int width;     // the timeline's lines in columns; 0: the terminal's, or 64
  int json;      // the report, timeline or suggestion as JSON
  int help;
  int version;
  int recursive;
  std::vector<const char *> inputs;  // "-" is standard input
};

// The widths that --width accepts.
const int minimumWidth = 20, maximumWidth = 1000;

// Reads channel numbers 1 to 16 and ranges, separated by commas ("1,3,9-12"),
// or "none", into a mask. Returns 0 for anything else.
int parseChannelList(const char *text, uint16_t *mask);

// Reads the value of --vib or --led: "keep" or "auto" alone, or a channel
// list. Returns 0 for anything else.
int parseChannelChoice(const char *text, uint16_t *mask, int *source);

// The own form is the one in which no argument begins with '-'.
bool isOwnForm(int argc, char **argv);

// Reads argv[1..argc-1] of the POSIX form (with getopt_long, whose state it
// resets first). Returns 1 when the request is complete (or asks for help or
// the version); otherwise 0 with one line of explanation in `error`.
int parseCliArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize);

// Reads argv[1..argc-1] of the own form into a request for one input and
// OUTPUT_FILE. Returns 0 with one line of explanation in `error` when no input
// or a second one is named.
int parseOwnArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize);
