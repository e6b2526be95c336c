// The native program's POSIX command line: parseCliArguments and
// parseChannelList on any arguments.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/checks.h"
#include "shell/cli/cliargs.h"

namespace {

const size_t mostArguments = 64;
const int errorSize = 300;

// "none", or the channels and ranges of a mask: 0x001D gives "1,3-5".
std::string channelList(uint16_t mask) {
  std::string list;
  for (int first = 1; first <= 16; ++first) {
    if (!((mask >> (first - 1)) & 1)) continue;
    int last = first;
    while (last < 16 && ((mask >> last) & 1)) ++last;
    list += (list.empty() ? "" : ",") + std::to_string(first);
    if (last > first) list += "-" + std::to_string(last);
    first = last;
  }
  return list.empty() ? "none" : list;
}

// A refused list leaves the mask alone; an accepted one means the same mask
// as its own canonical spelling.
const char *checkChannelList(const char *text) {
  uint16_t mask = 0xA5A5;
  if (!parseChannelList(text, &mask)) return mask == 0xA5A5 ? nullptr : "a refused channel list changed the mask";
  uint16_t again = 0;
  if (!parseChannelList(channelList(mask).c_str(), &again) || again != mask)
    return "a channel list does not mean the same mask as its canonical spelling";
  return nullptr;
}

bool isArgument(const char *p, char **argv, int argc) {
  for (int k = 1; k < argc; ++k)
    if (p == argv[k]) return true;
  return false;
}

bool insideArgument(const char *p, char **argv, int argc) {
  for (int k = 1; k < argc; ++k)
    if (p >= argv[k] && p <= argv[k] + std::strlen(argv[k])) return true;
  return false;
}

// A refusal explains itself; an accepted request is complete: inputs, and
// one of --info, --timeline and --suggest (with --json or not; a width only
// with --timeline) and no output, or one output mode with its value, -o with a
// single input and without -r, standard input only with -o, --in-place only
// with --vib or --led.
const char *checkRequest(int ok, const CliRequest &r, const char *error, char **argv, int argc) {
  if (!ok) {
    size_t n = strnlen(error, errorSize);
    return n == 0 || n == size_t(errorSize) ? "a refused command line has no terminated explanation" : nullptr;
  }
  for (const char *input : r.inputs)
    if (!isArgument(input, argv, argc)) return "an input is not one of the arguments";
  if (r.help || r.version) return nullptr;
  if (r.inputs.empty()) return "a request without inputs was accepted";
  int reports = r.info + r.timeline + r.suggest;
  if (r.json && !reports) return "--json was accepted without --info, --timeline or --suggest";
  if (r.width && (!r.timeline || r.width < minimumWidth || r.width > maximumWidth))
    return "a width was accepted without --timeline or outside its range";
  if (reports > 1) return "two of --info, --timeline and --suggest were accepted together";
  if (reports) return r.outputMode == OUTPUT_UNSET ? nullptr : "a report was accepted with an output";
  for (const char *input : r.inputs)
    if (r.outputMode != OUTPUT_FILE && !std::strcmp(input, "-")) return "standard input was accepted without -o";
  if (r.outputMode == OUTPUT_IN_PLACE && r.vibSource == CHANNELS_DEFAULT && r.ledSource == CHANNELS_DEFAULT)
    return "--in-place was accepted without --vib or --led";
  if (r.outputMode == OUTPUT_IN_PLACE) return r.output ? "--in-place carries an output" : nullptr;
  if (r.outputMode != OUTPUT_FILE && r.outputMode != OUTPUT_FOLDER)
    return "a request without an output mode was accepted";
  if (!r.output || !insideArgument(r.output, argv, argc)) return "the output is not taken from the arguments";
  if (r.outputMode == OUTPUT_FILE && r.inputs.size() != 1) return "-o was accepted with several inputs";
  if (r.outputMode == OUTPUT_FILE && r.recursive) return "-o was accepted with -r";
  return nullptr;
}

// getopt_long keeps its state between calls: a second reading of the same
// arguments must give the same request.
const char *checkRepeatable(int ok, const CliRequest &r, char **argv, int argc) {
  CliRequest again = {};
  std::vector<char> error(errorSize, 0);
  if (parseCliArguments(argc, argv, &again, error.data(), errorSize) != ok)
    return "a second reading changed the verdict";
  if (!ok) return nullptr;
  bool same = again.vibMask == r.vibMask && again.ledMask == r.ledMask && again.vibSource == r.vibSource &&
              again.ledSource == r.ledSource && again.outputMode == r.outputMode && again.output == r.output &&
              again.quiet == r.quiet && again.recursive == r.recursive && again.info == r.info &&
              again.json == r.json && again.timeline == r.timeline && again.suggest == r.suggest &&
              again.allTracks == r.allTracks && again.width == r.width && again.help == r.help &&
              again.version == r.version && again.inputs == r.inputs;
  return same ? nullptr : "a second reading gave another request";
}

}  // namespace

const char *checkPosixArguments(const uint8_t *data, size_t size) {
  // Each argument in storage of its own exact size, so that a read past its
  // terminator is caught.
  std::vector<std::vector<char>> storage(1, std::vector<char>({'s', 'o', 'r', 'b', 'e', 'l', 'i', 'n', 0}));
  for (size_t start = 0; start < size && storage.size() <= mostArguments;) {
    const uint8_t *zero = static_cast<const uint8_t *>(std::memchr(data + start, 0, size - start));
    size_t end = zero ? size_t(zero - data) : size;
    storage.emplace_back(data + start, data + end);
    storage.back().push_back(0);
    start = end + 1;
  }
  std::vector<char *> argv;
  for (std::vector<char> &argument : storage) argv.push_back(argument.data());
  int argc = int(argv.size());
  argv.push_back(nullptr);
  for (int k = 1; k < argc; ++k)
    if (const char *problem = checkChannelList(argv[k])) return problem;
  CliRequest request = {};
  std::vector<char> error(errorSize, 0);
  int ok = parseCliArguments(argc, argv.data(), &request, error.data(), errorSize);
  if (const char *problem = checkRequest(ok, request, error.data(), argv.data(), argc)) return problem;
  return checkRepeatable(ok, request, argv.data(), argc);
}
