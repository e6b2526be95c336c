// sorbelin: the native converter for systems without Win32. It accepts the
// program's own command line (in.mld /vc:3 /lc:5 /sv:out.mld /end) and a
// conventional POSIX one (--vib 2 --led 1 -o out.mld in.mld).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "engine/convert.h"
#include "shell/cli/cliargs.h"
#include "shell/cli/info.h"
#include "shell/cli/prompt.h"
#include "shell/messages.h"
#include "shell/options.h"

namespace {

enum { EXIT_CONVERTED = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

const char usage[] =
    "usage: sorbelin [--vib LIST] [--led LIST] (-o OUT | -d DIR | --in-place) INPUT...\n"
    "       sorbelin --info [--json] FILE...\n"
    "       sorbelin INPUT [/vc:MASK] [/lc:MASK] [/sv:OUT] [/end]\n"
    "\n"
    "Writes a copy of an i-melody (.mld) or SMAF (.mmf) ring melody in which the\n"
    "phone's vibrator and LED follow the chosen melody channels.\n"
    "\n"
    "  -v, --vib LIST    channels that drive the vibrator (default 1)\n"
    "  -l, --led LIST    channels that drive the LED (default 1)\n"
    "                    LIST: channels 1-16 and ranges, like 1,3,9-12, or none\n"
    "  -o, --output OUT  write the one INPUT's result to OUT\n"
    "  -d, --dir DIR     write each INPUT's result under its own name into DIR\n"
    "  -i, --in-place    rewrite each INPUT\n"
    "  -q, --quiet       print nothing after a conversion\n"
    "  -I, --info        report what each FILE holds (format, title, links, notes\n"
    "                    per channel); writes nothing\n"
    "      --json        with --info: one JSON object per line and file\n"
    "  -h, --help        show this text\n"
    "      --version     show the version\n"
    "\n"
    "The second form is the Windows program's own: /vc: and /lc: take decimal\n"
    "masks (bit 0 is channel 1), /sv: the output path; without /sv: the output\n"
    "path is asked for. An argument beginning with '/' is an option there, so\n"
    "absolute paths need the first form.\n"
    "\n"
    "examples:\n"
    "  sorbelin --vib 2 --led 1 -o out.mld tune.mld\n"
    "  sorbelin -v 1,3 -l none -d converted/ *.mld *.mmf\n"
    "  sorbelin --in-place ringtone.mmf\n"
    "  sorbelin tune.mld /vc:3 /lc:5 /sv:out.mld /end\n"
    "  sorbelin --info --json *.mld\n"
    "\n"
    "Exit status: 0 when every input was converted (with --info: read and\n"
    "recognised), 1 when any failed, 2 for a usage error.\n";

int usageError(const char *message) {
  std::fprintf(stderr, "sorbelin: %s\n", message);
  return EXIT_USAGE;
}

// Converts one file and says what happened: the result message on stdout, or
// one line naming the file and the reason on stderr.
bool convertAndTell(const char *input, const char *output, bool quiet, bool nameFiles) {
  ConvertOutcome outcome = convertFileOutcome(input, output);
  const char *reason = std::strerror(errno);
  switch (outcome) {
    case CONVERT_DONE:
      break;
    case CONVERT_UNREADABLE:
      std::fprintf(stderr, "sorbelin: %s: cannot read: %s\n", input, reason);
      return false;
    case CONVERT_NOT_MELODY:
      std::fprintf(stderr, "sorbelin: %s: not an i-melody or SMAF file; nothing written\n", input);
      return false;
    case CONVERT_MALFORMED:
      std::fprintf(stderr, "sorbelin: %s: malformed melody; nothing written\n", input);
      return false;
    case CONVERT_NO_MEMORY:
      std::fprintf(stderr, "sorbelin: %s: not enough memory; nothing written\n", input);
      return false;
    case CONVERT_UNWRITABLE:
      std::fprintf(stderr, "sorbelin: %s: cannot write %s: %s\n", input, output, reason);
      return false;
  }
  if (quiet) return true;
  if (nameFiles) std::printf("%s -> %s\n", input, output);
  if (const char *message = resultMessage(conversionSettings.report, conversionSettings.ledChannel))
    std::printf("%s\n", message);
  std::fflush(stdout);
  return true;
}

std::string outputFor(const CliRequest &request, const char *input) {
  if (request.outputMode == OUTPUT_FILE) return request.output;
  if (request.outputMode == OUTPUT_IN_PLACE) return input;
  std::string folder = request.output, path = input;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + path.substr(fileNameStart(path));
}

int runPosixForm(int argc, char **argv) {
  CliRequest request = {};
  char error[300];
  if (!parseCliArguments(argc, argv, &request, error, sizeof error)) return usageError(error);
  if (request.help) return std::fputs(usage, stdout), EXIT_CONVERTED;
  if (request.version) return std::puts("sorbelin 1.40"), EXIT_CONVERTED;
  if (request.info) return reportFiles(request.inputs, request.json, LANGUAGE_ENGLISH);
  conversionSettings.vibMask = request.vibMask;
  conversionSettings.ledMask = request.ledMask;
  bool nameFiles = request.inputs.size() > 1, allConverted = true;
  for (const char *input : request.inputs) {
    std::string output = outputFor(request, input);
    allConverted = convertAndTell(input, output.c_str(), request.quiet, nameFiles) && allConverted;
  }
  return allConverted ? EXIT_CONVERTED : EXIT_FAILED;
}

// The Windows program's command line: the arguments joined with single
// spaces and read by its own rules.
int runOwnForm(int argc, char **argv) {
  std::string commandLine;
  for (int k = 1; k < argc; ++k) commandLine += (k > 1 ? " " : "") + std::string(argv[k]);
  readOptions(commandLine.c_str());
  if (!inputPath[0])
    return usageError(
        "no input file named; an argument beginning with '/' is an option in this form, so "
        "for an absolute path use: sorbelin -o OUT INPUT");
  std::string output = outputPath;
  if (output.empty()) {
    if (!isatty(STDIN_FILENO))
      return usageError("an output path is needed: add /sv:OUT, or use: sorbelin -o OUT INPUT");
    if (!askOutputPath(inputPath, stdin, stderr, &output)) {
      std::fprintf(stderr, "sorbelin: cancelled; nothing written\n");
      return EXIT_FAILED;
    }
  }
  return convertAndTell(inputPath, output.c_str(), false, false) ? EXIT_CONVERTED : EXIT_FAILED;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fputs(usage, stderr);
    return EXIT_USAGE;
  }
  for (int k = 1; k < argc; ++k)
    if (argv[k][0] == '-') return runPosixForm(argc, argv);
  return runOwnForm(argc, argv);
}
