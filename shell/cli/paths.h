// Paths as the native converter takes them apart and makes them.
#pragma once

#include <string>
#include <vector>

// The file name part of a path (after the last '/'), and its extension (from
// the last '.', none for "." and ".."), as offsets into the path.
size_t fileNameStart(const std::string &path);
size_t extensionStart(const std::string &path);

// A name ending in .mld or .mmf, in any case.
bool isMelodyName(const std::string &path);

// `name` inside `folder`, with one '/' between them; `name` alone when the
// folder is empty.
std::string pathInside(const std::string &folder, const std::string &name);

// Makes the folder that holds `path`, and any folder above it that is
// missing, as mkdir -p does, adding each one it made to `made`, outermost
// first; a signal that ends the program removes them again while they are
// empty (makeFolderForResults). Returns 0 with errno set when one cannot be
// made or a part of the path is no folder.
int makeParentFolders(const std::string &path, std::vector<std::string> *made);

// Removes the folders, last first, each only when it is empty; errno stays.
void removeFolders(const std::vector<std::string> &folders);
