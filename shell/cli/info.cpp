#include "shell/cli/info.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/convert.h"
#include "engine/inspect.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"
#include "resources/clitexts.h"
#include "shell/cli/output.h"
#include "shell/memblock.h"

namespace {

// Why a file could not be read: the system's reason in the user's language
// for the text report, and in English, the C locale's, for JSON, whatever
// the locale.
std::string unreadable(int reason, bool json) {
  locale_t english = json ? newlocale(LC_ALL_MASK, "C", locale_t(0)) : locale_t(0);
  std::string text = std::string("cannot read: ") + (english ? strerror_l(reason, english) : std::strerror(reason));
  if (english) freelocale(english);
  return text;
}

// Reports one file, read from `path` and named `name`; true when it was read
// and recognised whole.
bool reportFile(const char *path, const char *name, bool json, Language language) {
  MemBlock file = {};
  if (!memBlockLoad(&file, path)) {
    std::string reason = unreadable(errno, json);
    printText(stdout, json ? unreadableInfoJson(name, reason.c_str()) + "\n" : unreadableInfoText(name, reason.c_str()));
    return false;
  }
  MelodyInfo info;
  inspectImage(file.data, file.length, &info);
  std::string report = json ? infoJson(name, info, file.data) + "\n" : infoText(name, info, file.data, language);
  printText(stdout, report);
  memBlockFree(&file);
  return info.formatKind != FORMAT_NONE && info.stopped.stop == 0;
}

}  // namespace

int reportFiles(const std::vector<Job> &jobs, bool json, Language language) {
  bool allRead = true;
  for (size_t k = 0; k < jobs.size(); ++k) {
    if (k > 0 && !json) printText(stdout, "\n");
    const Job &job = jobs[k];
    std::string name =
        job.standardInput ? inLanguage(msgStandardInput, json ? LANGUAGE_ENGLISH : language) : job.inputName;
    allRead = reportFile(job.input.c_str(), name.c_str(), json, language) && allRead;
  }
  return allRead ? 0 : 1;
}
