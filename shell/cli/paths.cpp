#include "shell/cli/paths.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "shell/wholefile.h"

size_t fileNameStart(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

size_t extensionStart(const std::string &path) {
  size_t name = fileNameStart(path);
  std::string fileName = path.substr(name);
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < name || fileName == "." || fileName == "..") return path.size();
  return dot;
}

bool isMelodyName(const std::string &path) {
  const char *extension = path.c_str() + extensionStart(path);
  return !strcasecmp(extension, ".mld") || !strcasecmp(extension, ".mmf");
}

std::string pathInside(const std::string &folder, const std::string &name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Each prefix of the folder that ends before a '/' is made in turn; one that
// exists already must be a folder (or lead to one). A signal that ends the
// program removes the folders made, while they are empty.
int makeParentFolders(const std::string &path, std::vector<std::string> *made) {
  size_t end = fileNameStart(path);
  for (size_t slash = path.find('/', 1); slash != std::string::npos && slash < end; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    struct stat info;
    if (makeFolderForResults(folder.c_str())) {
      made->push_back(folder);
      continue;
    }
    if (errno == EEXIST && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
    if (errno == EEXIST) errno = ENOTDIR;
    return 0;
  }
  return 1;
}

// rmdir removes a folder only while it is empty.
void removeFolders(const std::vector<std::string> &folders) {
  int saved = errno;
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) rmdir(folder->c_str());
  errno = saved;
}
