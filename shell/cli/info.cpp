#include "shell/cli/info.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/channelroles.h"
#include "engine/format.h"
#include "engine/inspect.h"
#include "engine/timeline.h"
#include "resources/clitexts.h"
#include "shell/cli/output.h"
#include "shell/memblock.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"

namespace {

// Reports one file, read from `path` and named `name`; true when it was read
// and recognised whole.
bool reportFile(const char *path, const char *name, bool json, Language language) {
  MemBlock file = {};
  if (!memBlockLoad(&file, path)) {
    std::string reason = unreadableReason(errno, json);
    printText(stdout,
              json ? unreadableInfoJson(name, reason.c_str()) + "\n" : unreadableInfoText(name, reason.c_str()));
    return false;
  }
  // One reading of the notes counts them and gives each channel's role.
  Timeline timeline;
  decodeTimeline(file.data, file.length, &timeline);
  MelodyInfo info;
  inspectWithTimeline(file.data, file.length, timeline, &info);
  ChannelRoles roles;
  readChannelRoles(timeline, &roles);
  std::string report =
      json ? infoJson(name, info, file.data, &roles) + "\n" : infoText(name, info, file.data, &roles, language);
  printText(stdout, report);
  memBlockFree(&file);
  return info.formatKind != FORMAT_NONE && info.stopped.stop == 0 && info.notesStopped.stop == 0;
}

}  // namespace

std::string unreadableReason(int reason, bool english) {
  locale_t c = english ? newlocale(LC_ALL_MASK, "C", locale_t(0)) : locale_t(0);
  std::string text = std::string("cannot read: ") + (c ? strerror_l(reason, c) : std::strerror(reason));
  if (c) freelocale(c);
  return text;
}

std::string reportName(const Job &job, bool json, Language language) {
  return job.standardInput ? inLanguage(msgStandardInput, json ? LANGUAGE_ENGLISH : language) : job.inputName;
}

int reportFiles(const std::vector<Job> &jobs, bool json, Language language) {
  bool allRead = true;
  for (size_t k = 0; k < jobs.size(); ++k) {
    if (k > 0 && !json) printText(stdout, "\n");
    std::string name = reportName(jobs[k], json, language);
    allRead = reportFile(jobs[k].input.c_str(), name.c_str(), json, language) && allRead;
  }
  return allRead ? 0 : 1;
}
