#include "shell/cli/info.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/convert.h"
#include "engine/inspect.h"
#include "shell/report/infojson.h"
#include "shell/report/infotext.h"
#include "shell/memblock.h"

namespace {

// Reports one file; true when it was read and recognised whole.
bool reportFile(const char *path, bool json, Language language) {
  MemBlock file = {};
  if (!memBlockLoad(&file, path)) {
    std::string reason = std::string("cannot read: ") + std::strerror(errno);
    std::fputs((json ? unreadableInfoJson(path, reason.c_str()) + "\n" : unreadableInfoText(path, reason.c_str())).c_str(),
               stdout);
    return false;
  }
  MelodyInfo info;
  inspectImage(file.data, file.length, &info);
  std::string report = json ? infoJson(path, info, file.data) + "\n" : infoText(path, info, file.data, language);
  std::fputs(report.c_str(), stdout);
  memBlockFree(&file);
  return info.formatKind != FORMAT_NONE && info.stopped.stop == 0 && info.notesStopped.stop == 0;
}

}  // namespace

int reportFiles(const std::vector<const char *> &paths, bool json, Language language) {
  bool allRead = true;
  for (size_t k = 0; k < paths.size(); ++k) {
    if (k > 0 && !json) std::fputs("\n", stdout);
    allRead = reportFile(paths[k], json, language) && allRead;
  }
  std::fflush(stdout);
  return allRead ? 0 : 1;
}
