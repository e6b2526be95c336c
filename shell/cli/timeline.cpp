#include "shell/cli/timeline.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

#include "engine/convert.h"
#include "engine/inspect.h"
#include "shell/cli/linkwarning.h"
#include "shell/memblock.h"
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

// The links that the file would carry once converted with the masks asked
// for, as the inspector reads them back from a converted copy: none when it
// cannot be converted. Returns the line that a conversion prints when they
// fall short of the request, or "".
std::string linksCarried(const char *path, MemBlock *file, const CliRequest &request, uint32_t *vib, uint32_t *led) {
  conversionSettings.vibMask = request.vibMask;
  conversionSettings.ledMask = request.ledMask;
  MemBlock converted = {};
  std::string warning;
  *vib = *led = 0;
  if (memBlockCreate(&converted, 1024) && convertBufferOutcome(file, &converted) == CONVERT_DONE) {
    MelodyInfo info;
    inspectWithoutNotes(converted.data, converted.length, &info);
    *vib = info.vibLinks;
    *led = ledChannelsCarried(info);
    warning = linkWarning(path, converted.data, converted.length, request.vibMask, request.ledMask);
  }
  memBlockFree(&converted);
  return warning;
}

// The strips, and after them on standard error the line on the links that
// the file could not hold (not with -q).
void drawFile(const char *path, MemBlock *file, const Timeline &timeline, const CliRequest &request,
              const StripLayout &layout, Language language) {
  uint32_t vib = 0, led = 0;
  std::string warning;
  if (timeline.formatKind != FORMAT_NONE) warning = linksCarried(path, file, request, &vib, &led);
  std::fputs(timelineText(path, timeline, vib, led, layout, language).c_str(), stdout);
  if (request.quiet || warning.empty()) return;
  std::fflush(stdout);
  std::fputs(warning.c_str(), stderr);
}

// Reports one file; true when it was read and recognised whole.
bool reportFile(const char *path, const CliRequest &request, const StripLayout &layout, Language language) {
  MemBlock file = {};
  if (!memBlockLoad(&file, path)) {
    std::string reason = std::string("cannot read: ") + std::strerror(errno);
    std::string report = request.json ? unreadableTimelineJson(path, reason.c_str()) + "\n"
                                      : unreadableInfoText(path, reason.c_str());
    std::fputs(report.c_str(), stdout);
    return false;
  }
  Timeline timeline;
  decodeTimeline(file.data, file.length, &timeline);
  if (request.json) {
    std::fputs(timelineJson(path, timeline).c_str(), stdout);
    std::fputs("\n", stdout);
  } else {
    drawFile(path, &file, timeline, request, layout, language);
  }
  memBlockFree(&file);
  return timeline.formatKind != FORMAT_NONE && timeline.stopped.stop == 0 && timeline.notesStopped.stop == 0;
}

}  // namespace

int reportTimelines(const std::vector<const char *> &paths, const CliRequest &request, Language language) {
  StripLayout layout = {lineWidth(request.width), !request.json && localeHasBlocks()};
  bool allRead = true;
  for (size_t k = 0; k < paths.size(); ++k) {
    if (k > 0 && !request.json) std::fputs("\n", stdout);
    allRead = reportFile(paths[k], request, layout, language) && allRead;
  }
  std::fflush(stdout);
  return allRead ? 0 : 1;
}
