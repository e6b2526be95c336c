#include "shell/cli/timeline.h"

#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/conversion.h"
#include "engine/format.h"
#include "shell/cli/channelchoice.h"
#include "shell/cli/info.h"
#include "shell/cli/output.h"
#include "shell/cli/warnings.h"
#include "shell/memblock.h"
#include "shell/report/carries.h"
#include "shell/report/infotext.h"
#include "shell/report/timelinejson.h"
#include "shell/report/timelinetext.h"

namespace {

const int pipeWidth = 64;

// The width asked for; else the terminal's, when standard output is one;
// else 64 columns.
int lineWidth(int asked) {
  if (asked) return asked;
  struct winsize size = {};
  if (!isatty(STDOUT_FILENO) || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return pipeWidth;
  return std::min(std::max(int(size.ws_col), minimumWidth), maximumWidth);
}

// Block characters where the locale's character set is UTF-8.
bool localeHasBlocks() {
  std::setlocale(LC_CTYPE, "");
  const char *set = nl_langinfo(CODESET);
  return set && (!std::strcmp(set, "UTF-8") || !std::strcmp(set, "utf8"));
}

// Whether the line after a conversion has something to say that the strips
// do not: the file carries other links than were asked, or nothing was
// suggested for a device, for a reason.
bool worthSaying(const ConversionResult &result, const ConversionRequest &asked, const SuggestedDevices &suggested) {
  return result.carried.vibration != asked.vibMask || result.carried.led != asked.ledMask ||
         (suggested.vibration && !asked.vibMask) || (suggested.led && !asked.ledMask);
}

// The links that the file would carry once converted with `chosen`: none
// when it cannot be converted. Returns the line that a conversion prints for
// it when it has something to say, or "".
std::string linksCarried(const char *name, const MemBlock &file, const CliRequest &request, const ChannelMasks &chosen,
                         const SuggestedDevices &suggested, Language language, uint32_t *vib, uint32_t *led) {
  ConversionRequest asked = {chosen.vibMask, chosen.ledMask, request.allTracks != 0};
  MemBlock converted = {};
  ConversionResult result = convertBlock(file, &converted, asked);
  memBlockFree(&converted);
  *vib = result.carried.vibration;
  *led = result.carried.led;
  if (result.outcome != CONVERT_DONE || !worthSaying(result, asked, suggested)) return "";
  return carriesLine(name, result, asked, "--all-tracks", language, suggested) + "\n";
}

// The strips, and after them on standard error the line on the links that
// the file could not hold and the one on where the phone will disappoint
// (not with -q). The notes are read once: with the suggestion, where the
// request suggests channels.
void drawFile(const char *name, const MemBlock &file, const CliRequest &request, const StripLayout &layout,
              Language language, FileReading *reading) {
  ChannelMasks chosen = channelsForFile(request, file.data, file.length, reading);
  const ChannelRoles &roles = rolesOf(file.data, file.length, reading);
  const Timeline &timeline = reading->file.timeline;
  uint32_t vib = 0, led = 0;
  std::string said;
  if (timeline.formatKind != FORMAT_NONE) {
    said = linksCarried(name, file, request, chosen, suggestedDevices(request, *reading), language, &vib, &led);
    said += warningsLine(name, roles, vib, led, language);
  }
  printText(stdout, timelineText(name, timeline, roles, vib, led, layout, language));
  if (request.quiet || said.empty()) return;
  flushText(stdout);
  printText(stderr, said);
}

// Reports one file, read from `path` and named `name`; true when it was read
// and recognised whole.
bool reportFile(const char *path, const char *name, const CliRequest &request, const StripLayout &layout,
                Language language, FileReading *reading) {
  MemBlock file = {};
  if (!memBlockLoad(&file, path)) {
    std::string reason = unreadableReason(errno, request.json);
    printText(stdout, request.json ? unreadableTimelineJson(name, reason.c_str()) + "\n"
                                   : unreadableInfoText(name, reason.c_str()));
    return false;
  }
  startFile(reading);
  const Timeline &timeline = reading->file.timeline;
  if (request.json) {
    decodeTimeline(file.data, file.length, &reading->file.timeline);
    printText(stdout, timelineJson(name, timeline) + "\n");
  } else {
    drawFile(name, file, request, layout, language, reading);
  }
  memBlockFree(&file);
  return timeline.formatKind != FORMAT_NONE && timeline.stopped.stop == 0 && timeline.notesStopped.stop == 0;
}

}  // namespace

int reportTimelines(const std::vector<Job> &jobs, const CliRequest &request, Language language) {
  StripLayout layout = {lineWidth(request.width), !request.json && localeHasBlocks()};
  FileReading reading;  // its storage serves every file in turn
  bool allRead = true;
  for (size_t k = 0; k < jobs.size(); ++k) {
    if (k > 0 && !request.json) printText(stdout, "\n");
    std::string name = reportName(jobs[k], request.json, language);
    allRead = reportFile(jobs[k].input.c_str(), name.c_str(), request, layout, language, &reading) && allRead;
  }
  return allRead ? 0 : 1;
}
