#include "shell/cli/suggest.h"

#include <cerrno>
#include <string>

#include "engine/format.h"
#include "engine/suggest.h"
#include "shell/cli/info.h"
#include "shell/cli/output.h"
#include "shell/memblock.h"
#include "shell/report/suggestjson.h"
#include "shell/report/suggesttext.h"

namespace {

const char *const allTracksChoice = "--all-tracks";

// Reports one file, read from `path` and named `name`; true when it was read
// and recognised whole.
bool reportFile(const char *path, const char *name, const CliRequest &request, Language language,
                FileSuggestion *file) {
  bool allTracks = request.allTracks != 0;
  MemBlock bytes = {};
  if (!memBlockLoad(&bytes, path)) {
    std::string reason = unreadableReason(errno, request.json);
    printText(stdout, request.json ? unreadableSuggestionJson(name, reason.c_str(), allTracks, language) + "\n"
                                   : unreadableSuggestionText(name, reason.c_str()));
    return false;
  }
  suggestForImage(bytes.data, bytes.length, allTracks, file);
  memBlockFree(&bytes);
  printText(stdout, request.json ? suggestionJson(name, *file, allTracks, language, allTracksChoice) + "\n"
                                 : suggestionText(name, *file, language, allTracksChoice));
  return file->info.formatKind != FORMAT_NONE && file->info.stopped.stop == 0 && file->timeline.notesStopped.stop == 0;
}

}  // namespace

int reportSuggestions(const std::vector<Job> &jobs, const CliRequest &request, Language language) {
  FileSuggestion file;  // its storage serves every file in turn
  bool allRead = true;
  for (size_t k = 0; k < jobs.size(); ++k) {
    if (k > 0 && !request.json) printText(stdout, "\n");
    std::string name = reportName(jobs[k], request.json, language);
    allRead = reportFile(jobs[k].input.c_str(), name.c_str(), request, language, &file) && allRead;
  }
  return allRead ? 0 : 1;
}
