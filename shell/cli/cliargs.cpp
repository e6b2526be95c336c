#include "shell/cli/cliargs.h"

#include <getopt.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/clitexts.h"
#include "shell/cli/language.h"
#include "shell/options.h"

namespace {

enum { OPTION_VERSION = 256, OPTION_JSON, OPTION_ALL_TRACKS, OPTION_WIDTH };

// Every option of the POSIX form; a value below 256 is also its short name.
const struct option optionTable[] = {
    {"vib", required_argument, nullptr, 'v'},
    {"led", required_argument, nullptr, 'l'},
    {"all-tracks", no_argument, nullptr, OPTION_ALL_TRACKS},
    {"output", required_argument, nullptr, 'o'},
    {"dir", required_argument, nullptr, 'd'},
    {"in-place", no_argument, nullptr, 'i'},
    {"recursive", no_argument, nullptr, 'r'},
    {"quiet", no_argument, nullptr, 'q'},
    {"info", no_argument, nullptr, 'I'},
    {"json", no_argument, nullptr, OPTION_JSON},
    {"timeline", no_argument, nullptr, 'T'},
    {"suggest", no_argument, nullptr, 'S'},
    {"width", required_argument, nullptr, OPTION_WIDTH},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, OPTION_VERSION},
    {nullptr, 0, nullptr, 0},
};

// getopt_long's string of short names, made from the table: "-" hands over
// every input in its place, as option 1, and ":" tells a missing value apart.
std::string shortOptions() {
  std::string text = "-:";
  for (const struct option *o = optionTable; o->name; ++o) {
    if (o->val >= 256) continue;
    text += char(o->val);
    if (o->has_arg == required_argument) text += ':';
  }
  return text;
}

bool isOptionValue(int value) {
  for (const struct option *o = optionTable; o->name; ++o)
    if (o->val == value) return true;
  return false;
}

const struct option *shortOption(char name) {
  for (const struct option *o = optionTable; o->name; ++o)
    if (o->val == (unsigned char)name) return o;
  return nullptr;
}

// The long options whose names begin with what `argument` ("--na" or
// "--na=x") spells; the one named exactly, if any, alone.
std::vector<const struct option *> longOptionsLike(const char *argument) {
  const char *name = argument + 2;
  size_t n = std::strcspn(name, "=");
  std::vector<const struct option *> found;
  for (const struct option *o = optionTable; o->name; ++o) {
    if (std::strncmp(o->name, name, n) != 0) continue;
    if (o->name[n] == 0) return {o};
    found.push_back(o);
  }
  return found;
}

// Whether the long option spelled by `argument` takes the next argument as
// its value.
bool longTakesNext(const char *argument) {
  std::vector<const struct option *> found = longOptionsLike(argument);
  return !std::strchr(argument, '=') && found.size() == 1 && found[0]->has_arg == required_argument;
}

// Whether a cluster of short options ("-qo") ends with one that takes the
// next argument as its value.
bool clusterTakesNext(const char *argument) {
  for (const char *c = argument + 1; *c; ++c) {
    const struct option *o = shortOption(*c);
    if (!o) return false;
    if (o->has_arg == required_argument) return c[1] == 0;
  }
  return false;
}

bool isLongName(const char *text) {
  size_t n = std::strcspn(text, "=");
  for (const struct option *o = optionTable; o->name; ++o)
    if (std::strlen(o->name) == n && !std::strncmp(o->name, text, n)) return true;
  return false;
}

// The first option argument before "--" that spells a long option after one
// dash ("-vib", "-led=2"), which getopt would read as short options meaning
// something else (-v with "ib"); null when there is none. Option values are
// passed over as getopt passes them.
const char *singleDashLongOption(int argc, char **argv) {
  for (int k = 1; k < argc; ++k) {
    const char *argument = argv[k];
    if (!std::strcmp(argument, "--")) break;
    if (argument[0] != '-' || argument[1] == 0) continue;
    if (argument[1] == '-') {
      k += longTakesNext(argument);
    } else if (isLongName(argument + 1)) {
      return argument;
    } else {
      k += clusterTakesNext(argument);
    }
  }
  return nullptr;
}

int fail(char *error, int errorSize, const char *format, const char *detail) {
  std::snprintf(error, size_t(errorSize), format, detail);
  return 0;
}

// "--in: ambiguous (--in-place, --info)"
int refuseAmbiguous(const char *argument, const std::vector<const struct option *> &candidates, char *error,
                    int errorSize) {
  std::string spelled(argument, std::strcspn(argument, "=")), names;
  for (const struct option *o : candidates) names += (names.empty() ? "--" : ", --") + std::string(o->name);
  std::snprintf(error, size_t(errorSize), say(msgAmbiguousOption), spelled.c_str(), names.c_str());
  return 0;
}

// The explanation of what getopt_long refused: `code` is '?' or ':', `last`
// the argument it was reading.
int refuse(int code, const char *last, char *error, int errorSize) {
  char shortName[3] = {'-', char(optopt), 0};
  bool isLong = std::strncmp(last, "--", 2) == 0;
  if (code == ':') return fail(error, errorSize, say(msgNeedsValue), isLong ? last : shortName);
  if (optopt != 0 && isOptionValue(optopt)) return fail(error, errorSize, say(msgTakesNoValue), last);
  if (optopt != 0) return fail(error, errorSize, say(msgUnknownOption), shortName);
  std::vector<const struct option *> candidates = longOptionsLike(last);
  if (candidates.size() > 1) return refuseAmbiguous(last, candidates, error, errorSize);
  return fail(error, errorSize, say(msgUnknownOption), last);
}

// An empty path would put the results in the current folder (-d "") or
// nowhere at all (-o ""), whatever the user meant to name.
int setOutput(CliRequest *request, int mode, const char *output, char *error, int errorSize) {
  if (output && !*output) return fail(error, errorSize, say(msgEmptyPath), mode == OUTPUT_FOLDER ? "-d" : "-o");
  if (request->outputMode != OUTPUT_UNSET && (request->outputMode != mode || mode != OUTPUT_IN_PLACE))
    return fail(error, errorSize, "%s", say(msgOneOutputMode));
  request->outputMode = mode;
  request->output = output;
  return 1;
}

// A width of the timeline's lines: decimal digits only, 20 to 1000 columns.
int parseWidth(const char *text, int *width) {
  int value = 0, digits = 0;
  for (; *text >= '0' && *text <= '9' && digits < 5; ++text, ++digits) value = value * 10 + (*text - '0');
  if (*text || digits == 0 || value < minimumWidth || value > maximumWidth) return 0;
  *width = value;
  return 1;
}

// "auto" or "keep" written among channel numbers or beside another word
// ("auto,3"): the word, or null.
const char *wordAmongChannels(const char *text) {
  for (const char *word : {"auto", "keep"}) {
    size_t n = std::strlen(word);
    for (const char *at = std::strstr(text, word); at; at = std::strstr(at + 1, word))
      if ((at == text || at[-1] == ',') && (at[n] == 0 || at[n] == ',')) return word;
  }
  return nullptr;
}

// The value of --vib or --led into the device's mask and source.
int setChannels(const char *value, uint16_t *mask, int *source, char *error, int errorSize) {
  if (parseChannelChoice(value, mask, source)) return 1;
  if (const char *word = wordAmongChannels(value)) {
    std::snprintf(error, size_t(errorSize), say(msgWordStandsAlone), value, word);
    return 0;
  }
  return fail(error, errorSize, say(msgBadChannelList), value);
}

int applyOption(int code, const char *value, CliRequest *request, char *error, int errorSize) {
  switch (code) {
    case 1: request->inputs.push_back(value); break;
    case 'v': return setChannels(value, &request->vibMask, &request->vibSource, error, errorSize);
    case 'l': return setChannels(value, &request->ledMask, &request->ledSource, error, errorSize);
    case 'o': return setOutput(request, OUTPUT_FILE, value, error, errorSize);
    case 'd': return setOutput(request, OUTPUT_FOLDER, value, error, errorSize);
    case 'i': return setOutput(request, OUTPUT_IN_PLACE, nullptr, error, errorSize);
    case OPTION_ALL_TRACKS: request->allTracks = 1; break;
    case 'r': request->recursive = 1; break;
    case 'q': request->quiet = 1; break;
    case 'I': request->info = 1; break;
    case OPTION_JSON: request->json = 1; break;
    case 'T': request->timeline = 1; break;
    case 'S': request->suggest = 1; break;
    case OPTION_WIDTH:
      if (!parseWidth(value, &request->width)) return fail(error, errorSize, say(msgBadWidth), value);
      break;
    case 'h': request->help = 1; break;
    case OPTION_VERSION: request->version = 1; break;
  }
  return 1;
}

bool readsStandardInput(const CliRequest *request) {
  for (const char *input : request->inputs)
    if (!std::strcmp(input, "-")) return true;
  return false;
}

// The option of a report that writes nothing, or null for a conversion.
const char *reportOption(const CliRequest *request) {
  return request->info ? "--info" : request->timeline ? "--timeline" : request->suggest ? "--suggest" : nullptr;
}

int checkComplete(const CliRequest *request, char *error, int errorSize) {
  if (request->help || request->version) return 1;
  if (request->inputs.empty()) return fail(error, errorSize, "%s", say(msgNoInput));
  const char *report = reportOption(request);
  if (request->json && !report) return fail(error, errorSize, "%s", say(msgJsonWithoutReport));
  if (request->info + request->timeline + request->suggest > 1) return fail(error, errorSize, "%s", say(msgOneReport));
  if (request->width && !request->timeline) return fail(error, errorSize, "%s", say(msgWidthWithoutTimeline));
  if (report && request->outputMode != OUTPUT_UNSET) return fail(error, errorSize, say(msgWritesNothing), report);
  if (report) return 1;
  if (request->outputMode == OUTPUT_UNSET) return fail(error, errorSize, "%s", say(msgNoOutputMode));
  if (request->outputMode == OUTPUT_FILE && request->inputs.size() > 1)
    return fail(error, errorSize, "%s", say(msgOneInputForOutput));
  if (request->outputMode == OUTPUT_FILE && request->recursive)
    return fail(error, errorSize, "%s", say(msgRecursiveNeedsNames));
  if (request->outputMode != OUTPUT_FILE && readsStandardInput(request))
    return fail(error, errorSize, "%s", say(msgStandardInputUnnamed));
  // Rewriting the inputs with channel 1 by default would lose the links
  // they hold, for a user who meant -I.
  if (request->outputMode == OUTPUT_IN_PLACE && request->vibSource == CHANNELS_DEFAULT &&
      request->ledSource == CHANNELS_DEFAULT)
    return fail(error, errorSize, "%s", say(msgInPlaceNeedsChannels));
  return 1;
}

// getopt_long starts over: glibc when optind is 0, the BSDs with optreset.
void resetGetopt() {
#ifdef __GLIBC__
  optind = 0;
#else
  optreset = 1;
  optind = 1;
#endif
  opterr = 0;  // the explanations are the program's own
}

// A channel number 1 to 16 at *text, written with digits only; advances past it.
int readChannel(const char **text, int *channel) {
  int value = 0, digits = 0;
  while (**text >= '0' && **text <= '9' && digits < 3) value = value * 10 + (*(*text)++ - '0'), ++digits;
  *channel = value;
  return digits > 0 && value >= 1 && value <= 16;
}

}  // namespace

int parseChannelList(const char *text, uint16_t *mask) {
  if (!std::strcmp(text, "none")) {
    *mask = 0;
    return 1;
  }
  uint16_t result = 0;
  for (;;) {
    int first = 0, last = 0;
    if (!readChannel(&text, &first)) return 0;
    last = first;
    if (*text == '-' && (++text, !readChannel(&text, &last) || last < first)) return 0;
    for (int channel = first; channel <= last; ++channel) result = uint16_t(result | (1u << (channel - 1)));
    if (*text == 0) break;
    if (*text++ != ',') return 0;
  }
  *mask = result;
  return 1;
}

int parseChannelChoice(const char *text, uint16_t *mask, int *source) {
  int word = !std::strcmp(text, "keep") ? CHANNELS_KEPT : !std::strcmp(text, "auto") ? CHANNELS_SUGGESTED : 0;
  if (word) {
    *mask = 0;
    *source = word;
    return 1;
  }
  if (!parseChannelList(text, mask)) return 0;
  *source = CHANNELS_LISTED;
  return 1;
}

bool isOwnForm(int argc, char **argv) {
  for (int k = 1; k < argc; ++k)
    if (argv[k][0] == '-') return false;
  return true;
}

int parseCliArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize) {
  request->vibMask = request->ledMask = 1;
  if (const char *spelled = singleDashLongOption(argc, argv)) {
    std::snprintf(error, size_t(errorSize), say(msgSingleDashOption), spelled, spelled);
    return 0;
  }
  const std::string shortNames = shortOptions();
  resetGetopt();
  for (;;) {
    optopt = 0;
    int code = getopt_long(argc, argv, shortNames.c_str(), optionTable, nullptr);
    if (code == -1) break;
    if (code == '?' || code == ':') return refuse(code, argv[optind - 1], error, errorSize);
    if (!applyOption(code, optarg, request, error, errorSize)) return 0;
  }
  for (int k = optind; k < argc; ++k) request->inputs.push_back(argv[k]);  // after "--"
  return checkComplete(request, error, errorSize);
}

int parseOwnArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize) {
  OwnCommand command = ownCommandDefaults();
  const char *second = nullptr;
  for (int k = 1; k < argc; ++k) {
    readOwnArgument(argv[k], &command);
    if (command.inputCount == 2 && !second) second = argv[k];
  }
  if (!command.input) return fail(error, errorSize, "%s", say(msgOwnFormNoInput));
  if (second) return fail(error, errorSize, say(msgOwnFormOneInput), second);
  request->vibMask = command.vibMask;
  request->ledMask = command.ledMask;
  request->outputMode = OUTPUT_FILE;
  request->output = command.output;
  request->inputs.assign(1, command.input);
  return 1;
}
