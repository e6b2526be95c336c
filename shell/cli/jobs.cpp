#include "shell/cli/jobs.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "resources/clitexts.h"
#include "shell/cli/language.h"
#include "shell/cli/paths.h"

namespace {

// The output of an input found at `below`, its path under the folder named
// (its file name for an input named itself).
Job jobFor(const CliRequest &request, const std::string &input, const std::string &below) {
  if (request.outputMode == OUTPUT_FOLDER) return makeJob(input, pathInside(request.output, below), true);
  if (request.outputMode == OUTPUT_FILE) return makeJob(input, request.output, true);
  return makeJob(input, input, true);
}

bool isFolder(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names in a folder, "." and ".." left out, sorted; false when it cannot
// be read.
bool folderNames(const std::string &folder, std::vector<std::string> *names) {
  DIR *dir = opendir(folder.c_str());
  if (!dir) return false;
  errno = 0;
  while (const dirent *entry = readdir(dir))
    if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, "..")) names->push_back(entry->d_name);
  int saved = errno;
  closedir(dir);
  errno = saved;
  std::sort(names->begin(), names->end());
  return saved == 0;
}

// Every melody file in `folder`, which is at `below` under the folder named.
// Symbolic links are not followed: a link to a folder could lead out of the
// tree or round in a circle, and a link to a file in the tree would convert
// that file twice.
bool walk(const CliRequest &request, const std::string &folder, const std::string &below, std::vector<Job> *jobs) {
  std::vector<std::string> names;
  if (!folderNames(folder, &names)) {
    std::fprintf(stderr, say(msgCannotReadFolder), folder.c_str(), std::strerror(errno));
    return false;
  }
  bool whole = true;
  for (const std::string &name : names) {
    std::string path = pathInside(folder, name);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;  // gone meanwhile
    if (S_ISDIR(info.st_mode))
      whole = walk(request, path, pathInside(below, name), jobs) && whole;
    else if (S_ISREG(info.st_mode) && isMelodyName(name))
      jobs->push_back(jobFor(request, path, pathInside(below, name)));
  }
  return whole;
}

}  // namespace

const char *pathToRead(const char *input) { return std::strcmp(input, "-") ? input : "/dev/stdin"; }

Job makeJob(const std::string &input, const std::string &output, bool dashes) {
  Job job = {input, output, input, output, dashes && input == "-"};
  if (job.standardInput) job.input = pathToRead("-"), job.inputName = say(msgStandardInput);
  if (dashes && output == "-") job.output = "/dev/stdout", job.outputName = say(msgStandardOutput);
  return job;
}

bool addJobs(const CliRequest &request, const char *input, std::vector<Job> *jobs) {
  std::string named = input;
  if (request.recursive && named != "-" && isFolder(named)) return walk(request, named, "", jobs);
  jobs->push_back(jobFor(request, named, named.substr(fileNameStart(named))));
  return true;
}
