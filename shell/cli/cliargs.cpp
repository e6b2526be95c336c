#include "shell/cli/cliargs.h"

#include <cstdio>
#include <cstring>

namespace {

// A channel number 1 to 16 at *text, written with digits only; advances past it.
int readChannel(const char **text, int *channel) {
  int value = 0, digits = 0;
  while (**text >= '0' && **text <= '9' && digits < 3) value = value * 10 + (*(*text)++ - '0'), ++digits;
  *channel = value;
  return digits > 0 && value >= 1 && value <= 16;
}

struct Option {
  const char *shortName;
  const char *longName;
  bool takesValue;
};

const Option options[] = {
    {"-v", "--vib", true},      {"-l", "--led", true},  {"-o", "--output", true},
    {"-d", "--dir", true},      {"-i", "--in-place", false}, {"-q", "--quiet", false},
    {"-h", "--help", false},    {nullptr, "--version", false}, {"-I", "--info", false},
    {nullptr, "--json", false},
};

// Finds the option that `argument` names; `value` gets an attached value
// ("--vib=2", "-v2") or null.
const Option *findOption(const char *argument, const char **value) {
  *value = nullptr;
  for (const Option &option : options) {
    size_t n = std::strlen(option.longName);
    if (std::strncmp(argument, option.longName, n) == 0 && (argument[n] == 0 || argument[n] == '=')) {
      if (argument[n] == '=') *value = argument + n + 1;
      return &option;
    }
    if (option.shortName && std::strncmp(argument, option.shortName, 2) == 0 &&
        (argument[2] == 0 || option.takesValue)) {
      if (argument[2]) *value = argument + 2;
      return &option;
    }
  }
  return nullptr;
}

int fail(char *error, int errorSize, const char *format, const char *detail) {
  std::snprintf(error, size_t(errorSize), format, detail);
  return 0;
}

int setOutput(CliRequest *request, int mode, const char *output, char *error, int errorSize) {
  if (request->outputMode != OUTPUT_UNSET && (request->outputMode != mode || mode != OUTPUT_IN_PLACE))
    return fail(error, errorSize, "%s", "choose one of -o OUT, -d DIR and --in-place");
  request->outputMode = mode;
  request->output = output;
  return 1;
}

int applyOption(const Option *option, const char *value, CliRequest *request, char *error,
                int errorSize) {
  const char *name = option->longName;
  if (!std::strcmp(name, "--vib") || !std::strcmp(name, "--led")) {
    uint16_t *mask = name[2] == 'v' ? &request->vibMask : &request->ledMask;
    if (!parseChannelList(value, mask))
      return fail(error, errorSize, "bad channel list '%s': use channels 1-16 and ranges, like 1,3,9-12, or none", value);
  } else if (!std::strcmp(name, "--output")) {
    return setOutput(request, OUTPUT_FILE, value, error, errorSize);
  } else if (!std::strcmp(name, "--dir")) {
    return setOutput(request, OUTPUT_FOLDER, value, error, errorSize);
  } else if (!std::strcmp(name, "--in-place")) {
    return setOutput(request, OUTPUT_IN_PLACE, nullptr, error, errorSize);
  } else if (!std::strcmp(name, "--quiet")) {
    request->quiet = 1;
  } else if (!std::strcmp(name, "--info")) {
    request->info = 1;
  } else if (!std::strcmp(name, "--json")) {
    request->json = 1;
  } else if (!std::strcmp(name, "--help")) {
    request->help = 1;
  } else {
    request->version = 1;
  }
  return 1;
}

int checkComplete(const CliRequest *request, char *error, int errorSize) {
  if (request->help || request->version) return 1;
  if (request->inputs.empty()) return fail(error, errorSize, "%s", "no input file");
  if (request->json && !request->info) return fail(error, errorSize, "%s", "--json goes with --info");
  if (request->info && request->outputMode != OUTPUT_UNSET)
    return fail(error, errorSize, "%s", "--info writes nothing: it takes no -o, -d or --in-place");
  if (request->info) return 1;
  if (request->outputMode == OUTPUT_UNSET)
    return fail(error, errorSize, "%s", "say where to write: -o OUT, -d DIR or --in-place");
  if (request->outputMode == OUTPUT_FILE && request->inputs.size() > 1)
    return fail(error, errorSize, "%s", "-o takes one input; use -d DIR for several");
  return 1;
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

int parseCliArguments(int argc, char **argv, CliRequest *request, char *error, int errorSize) {
  request->vibMask = request->ledMask = 1;
  bool optionsEnded = false;
  for (int k = 1; k < argc; ++k) {
    const char *argument = argv[k];
    if (optionsEnded || argument[0] != '-') {
      request->inputs.push_back(argument);
      continue;
    }
    if (!std::strcmp(argument, "--")) {
      optionsEnded = true;
      continue;
    }
    const char *value = nullptr;
    const Option *option = findOption(argument, &value);
    if (!option) return fail(error, errorSize, "unknown option '%s' (see --help)", argument);
    if (!option->takesValue && value) return fail(error, errorSize, "option '%s' takes no value", argument);
    if (option->takesValue && !value) {
      if (k + 1 >= argc) return fail(error, errorSize, "option '%s' needs a value", argument);
      value = argv[++k];
    }
    if (!applyOption(option, value, request, error, errorSize)) return 0;
  }
  return checkComplete(request, error, errorSize);
}
