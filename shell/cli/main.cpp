// sorbelin: the native converter for systems without Win32. It accepts a
// conventional POSIX command line (--vib 2 --led 1 -o out.mld in.mld) and the
// program's own one (in.mld /vc:3 /lc:5 /sv:out.mld /end).
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "resources/clitexts.h"
#include "resources/texts.h"
#include "shell/cli/channelchoice.h"
#include "shell/cli/cliargs.h"
#include "shell/cli/info.h"
#include "shell/cli/jobs.h"
#include "shell/cli/language.h"
#include "shell/cli/output.h"
#include "shell/cli/paths.h"
#include "shell/cli/prompt.h"
#include "shell/cli/suggest.h"
#include "shell/cli/timeline.h"
#include "shell/cli/warnings.h"
#include "shell/memblock.h"
#include "shell/report/carries.h"
#include "shell/report/resultmessage.h"
#include "shell/wholefile.h"

namespace {

enum { EXIT_CONVERTED = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

int usageError(const char *message) {
  std::fprintf(stderr, textUsageLine, message);
  return EXIT_USAGE;
}

// A regular file that this run wrote, and the input whose result it holds.
struct Written {
  dev_t device;
  ino_t inode;
  std::string inputName;
};

// What one run keeps from file to file.
struct Run {
  const CliRequest *choice;  // the channels chosen, for each file
  bool quiet;
  bool warn;             // says where the phone will disappoint (not in the Windows program's form)
  bool nameFiles;        // each result message follows a line "INPUT -> OUTPUT"
  bool makeFolders;      // -d: the folders of an output are made when missing
  FileReading *reading;  // what is read of each file's notes
  std::vector<Written> written;
  int converted, failed;  // the files so far
};

// The file that this run already wrote at `output`, by identity, so that
// another spelling of its path or a link to it is caught too; null if none.
const Written *earlierResult(const Run &run, const std::string &output) {
  struct stat info;
  if (stat(output.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  for (const Written &file : run.written)
    if (file.device == info.st_dev && file.inode == info.st_ino) return &file;
  return nullptr;
}

void remember(Run *run, const Job &job) {
  struct stat info;
  if (stat(job.output.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    run->written.push_back({info.st_dev, info.st_ino, job.inputName});
}

// The result goes to standard output: through descriptor 1, or through
// another descriptor open on the same file or pipe (/dev/fd/3 after 3>&1).
bool toStandardOutput(const std::string &output) {
  int fd = namedDescriptor(output.c_str());
  struct stat target, out;
  return fd >= 0 && fstat(fd, &target) == 0 && fstat(STDOUT_FILENO, &out) == 0 && target.st_dev == out.st_dev &&
         target.st_ino == out.st_ino;
}

// A malformed melody says where the converter stopped reading it.
void tellMalformed(const char *name, const ConversionResult &result) {
  std::string sentence = readingStopSentence(result.formatKind, result.stopped, {}, userLanguage);
  if (sentence.empty())
    std::fprintf(stderr, say(msgMalformed), name);
  else
    std::fprintf(stderr, say(msgMalformedAt), name, sentence.c_str());
}

// An output that the user may not write was refused before anything was
// written; other reasons are the system's.
void tellUnwritable(const Job &job, int reason) {
  const char *input = job.inputName.c_str(), *output = job.outputName.c_str();
  if (reason == EACCES && isReadOnlyToUser(job.output.c_str()))
    std::fprintf(stderr, say(msgReadOnly), input, output);
  else
    std::fprintf(stderr, say(msgCannotWrite), input, output, std::strerror(reason));
}

// Why nothing was converted, in one line on stderr; `reason` is the errno of
// the step that failed.
void tellFailure(const ConversionResult &result, const Job &job, int reason) {
  const char *input = job.inputName.c_str();
  switch (result.outcome) {
    case CONVERT_DONE: break;
    case CONVERT_UNREADABLE:
      if (reason == EISDIR)
        std::fprintf(stderr, say(msgIsAFolder), input);
      else if (reason == EFBIG)
        std::fprintf(stderr, say(msgTooLarge), input);
      else
        std::fprintf(stderr, say(msgCannotRead), input, std::strerror(reason));
      break;
    case CONVERT_NOT_MELODY: std::fprintf(stderr, say(msgNotMelodyFile), input); break;
    case CONVERT_MALFORMED: tellMalformed(input, result); break;
    case CONVERT_NO_MEMORY: std::fprintf(stderr, say(msgNoMemory), input); break;
    case CONVERT_UNWRITABLE: tellUnwritable(job, reason); break;
  }
}

// The message that names the phones on which the link works, where the
// file's kind has one, then the line that says what the file now carries
// and the one that says where the phone will disappoint, if it will: on
// stdout, or on stderr when the result itself went to stdout. The roles of
// the input's channels, which the converted file shares, are read for them
// once.
void tellConverted(const Run &run, const Job &job, const ConversionRequest &asked, const ConversionResult &result,
                   const MemBlock &input, FileReading *reading) {
  if (run.quiet) return;
  FILE *out = toStandardOutput(job.output) ? stderr : stdout;
  const char *name = job.outputName.c_str();
  if (run.nameFiles) printFormat(out, textConvertedTo, job.inputName.c_str(), name);
  const Message *message = resultText(result.formatKind, result.formatVersion, lowestChannel(asked.ledMask));
  if (message) printFormat(out, "%s\n", say(*message));
  SuggestedDevices suggested = suggestedDevices(*run.choice, *reading);
  printText(out, carriesLine(name, result, asked, "--all-tracks", userLanguage, suggested) + "\n");
  if (run.warn) {
    const ChannelRoles &roles = rolesOf(input.data, input.length, reading);
    printText(out, warningsLine(name, roles, result.carried.vibration, result.carried.led, userLanguage));
  }
  flushText(out);
}

// The conversion asked for one file: the channels that the command line
// chooses for it.
ConversionRequest requestFor(const CliRequest &choice, const MemBlock &input, FileReading *reading) {
  ChannelMasks masks = channelsForFile(choice, input.data, input.length, reading);
  return {masks.vibMask, masks.ledMask, choice.allTracks != 0};
}

// Reads, converts and writes one file; nothing is written unless the
// conversion succeeded, and folders made for a result that could not be
// written are removed again.
ConversionResult convertJob(const Run &run, const Job &job, MemBlock *input, MemBlock *output, ConversionRequest *asked,
                            FileReading *reading) {
  ConversionResult result = {};
  result.outcome = CONVERT_UNREADABLE;
  if (!memBlockLoad(input, job.input.c_str())) return result;
  *asked = requestFor(*run.choice, *input, reading);
  result = convertBlock(*input, output, *asked);
  if (result.outcome != CONVERT_DONE) return result;
  std::vector<std::string> made;
  bool written = (!run.makeFolders || makeParentFolders(job.output, &made)) && memBlockSave(output, job.output.c_str());
  if (!written) removeFolders(made);
  if (!written) result.outcome = CONVERT_UNWRITABLE;
  return result;
}

// Converts one file and says what happened. A second result for a file that
// this run already wrote is refused: it would replace the first.
bool runJob(Run *run, const Job &job) {
  if (const Written *earlier = earlierResult(*run, job.output)) {
    std::fprintf(stderr, say(msgSameOutput), job.inputName.c_str(), job.outputName.c_str(), earlier->inputName.c_str());
    ++run->failed;
    return false;
  }
  MemBlock input = {}, output = {};
  ConversionRequest asked = {};
  startFile(run->reading);
  ConversionResult result = convertJob(*run, job, &input, &output, &asked, run->reading);
  int reason = errno;
  if (result.outcome == CONVERT_DONE) {
    remember(run, job);
    tellConverted(*run, job, asked, result, input, run->reading);
  } else {
    tellFailure(result, job, reason);
  }
  memBlockFree(&input);
  memBlockFree(&output);
  ++(result.outcome == CONVERT_DONE ? run->converted : run->failed);
  return result.outcome == CONVERT_DONE;
}

// A run of several files ends with how many were converted and how many
// failed, on stderr (not with -q).
void tellTotals(const Run &run) {
  if (!run.quiet && run.converted + run.failed > 1) std::fprintf(stderr, say(msgRunTotals), run.converted, run.failed);
}

// A -d folder that exists must be a folder; a missing one is made when the
// first result is written.
bool mayBeFolder(const char *path) {
  struct stat info;
  if (stat(path, &info) == 0) return S_ISDIR(info.st_mode);
  return errno != ENOTDIR;
}

// --info, --timeline and --suggest: the files named, "-" standard input, and
// with -r every melody below the folders named, found as conversions find them.
int reportOn(const CliRequest &request) {
  std::vector<Job> jobs;
  bool whole = true;
  for (const char *input : request.inputs) whole = addJobs(request, input, &jobs) && whole;
  int status = request.timeline  ? reportTimelines(jobs, request, userLanguage)
               : request.suggest ? reportSuggestions(jobs, request, userLanguage)
                                 : reportFiles(jobs, request.json, userLanguage);
  return status == 0 && whole ? EXIT_CONVERTED : EXIT_FAILED;
}

// Every file of the request, each told as it is converted or not.
int convertAll(const CliRequest &request) {
  FileReading reading;
  Run run = {&request,
             bool(request.quiet),
             true,
             request.inputs.size() > 1 || request.recursive,
             request.outputMode == OUTPUT_FOLDER,
             &reading,
             {},
             0,
             0};
  bool allConverted = true;
  for (const char *input : request.inputs) {
    std::vector<Job> jobs;
    allConverted = addJobs(request, input, &jobs) && allConverted;
    for (const Job &job : jobs) allConverted = runJob(&run, job) && allConverted;
  }
  tellTotals(run);
  return allConverted ? EXIT_CONVERTED : EXIT_FAILED;
}

int runPosixForm(int argc, char **argv) {
  CliRequest request = {};
  char error[4096];
  if (!parseCliArguments(argc, argv, &request, error, sizeof error)) return usageError(error);
  if (request.help) return printText(stdout, say(msgUsage)), EXIT_CONVERTED;
  if (request.version) return printFormat(stdout, "%s\n%s", textVersion, say(msgLicence)), EXIT_CONVERTED;
  if (request.info || request.timeline || request.suggest) return reportOn(request);
  if (request.outputMode == OUTPUT_FOLDER && !mayBeFolder(request.output)) {
    std::snprintf(error, sizeof error, say(msgNotAFolder), request.output);
    return usageError(error);
  }
  return convertAll(request);
}

// The Windows program's command line, each argument whole as the shell split
// it. Without /sv: the output path is asked for on the terminal.
int runOwnForm(int argc, char **argv) {
  CliRequest request = {};
  char error[4096];
  if (!parseOwnArguments(argc, argv, &request, error, sizeof error)) return usageError(error);
  const char *input = request.inputs[0];
  std::string output = request.output ? request.output : "";
  if (output.empty()) {
    if (!isatty(STDIN_FILENO)) return usageError(say(msgOwnFormNoOutput));
    if (!askOutputPath(input, stdin, stderr, &output)) {
      std::fputs(say(msgCancelled), stderr);
      return EXIT_FAILED;
    }
  }
  FileReading reading;
  Run run = {&request, false, false, false, false, &reading, {}, 0, 0};
  return runJob(&run, makeJob(input, output, false)) ? EXIT_CONVERTED : EXIT_FAILED;
}

// Texts in Japanese when the locale selects it, and then the system's own
// reasons (strerror) in its language too.
void chooseLanguage() {
  userLanguage = languageOf(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  if (userLanguage == LANGUAGE_JAPANESE) {
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
  }
}

// Standard output is checked once, at the end: a report, help text or
// message that did not arrive whole makes the run a failure.
int finish(int status) {
  int reason = closeStandardOutput();
  if (reason == 0) return status;
  std::fprintf(stderr, say(msgCannotWriteStandardOutput), std::strerror(reason));
  return EXIT_FAILED;
}

}  // namespace

int main(int argc, char **argv) {
  chooseLanguage();
  removeTemporaryOnSignals();
  if (argc < 2) {
    std::fputs(say(msgUsage), stderr);
    return EXIT_USAGE;
  }
  return finish(isOwnForm(argc, argv) ? runOwnForm(argc, argv) : runPosixForm(argc, argv));
}
