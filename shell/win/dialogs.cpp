#include "shell/win/dialogs.h"

#include <cstddef>
#include <cstring>

#include "resources/texts.h"
#include "shell/win/commondialogs.h"

// The record's form without the later extension fields: 76 bytes for 32-bit
// Windows. Every Windows takes it, and the program needs none of the others.
static_assert(sizeof(void *) != 4 || offsetof(OPENFILENAMEA, lpTemplateName) + 4 == 76,
              "OPENFILENAME_SIZE_VERSION_400A");

char initialDir[256];

// A byte that starts a double-byte character followed by its second byte.
static bool doubleByteAt(const char *text) { return IsDBCSLeadByte(static_cast<BYTE>(text[0])) && text[1] != 0; }

// Copies `count` bytes of `from` into a part and terminates it.
static void setPart(char *part, const char *from, size_t count) {
  std::memcpy(part, from, count);
  part[count] = 0;
}

void splitPath(const char *path, PathParts *parts) {
  size_t driveLength = path[0] && path[1] == ':' ? 2 : 0;
  const char *rest = path + driveLength;
  const char *nameStart = rest;  // just past the last separator
  const char *lastDot = nullptr;
  for (const char *p = rest; *p; ++p) {
    if (doubleByteAt(p)) {
      ++p;
    } else if (*p == '\\' || *p == '/') {
      nameStart = p + 1;
      lastDot = nullptr;
    } else if (*p == '.') {
      lastDot = p;
    }
  }
  const char *end = nameStart + std::strlen(nameStart);
  if (!lastDot || !std::strcmp(nameStart, ".") || !std::strcmp(nameStart, "..")) lastDot = end;
  setPart(parts->drive, path, driveLength);
  setPart(parts->directory, rest, size_t(nameStart - rest));
  setPart(parts->name, nameStart, size_t(lastDot - nameStart));
  setPart(parts->extension, lastDot, size_t(end - lastDot));
}

// A record cleared to zero with what both dialogs share.
static OPENFILENAMEA fileDialogRequest(HWND owner, char *path, const char *filter) {
  OPENFILENAMEA request;
  std::memset(&request, 0, sizeof request);
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = owner;
  request.lpstrFilter = filter;
  request.nFilterIndex = 0;  // the first entry
  request.lpstrFile = path;
  request.nMaxFile = 256;
  return request;
}

int openDialog(HWND owner, char *path) {
  if (!path[0]) lstrcpyA(path, "*.mld;*.mmf");
  OPENFILENAMEA request = fileDialogRequest(owner, path, textOpenFilter);
  request.lpstrInitialDir = initialDir[0] ? initialDir : nullptr;  // else the system's
  request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!showOpenFileDialog(&request)) return 0;
  PathParts parts;
  splitPath(path, &parts);
  wsprintfA(initialDir, "%s%s", parts.drive, parts.directory);
  return 1;
}

int saveDialog(HWND owner, char *path) {
  bool hasInput = path[0] != 0;
  if (!hasInput) lstrcpyA(path, "*.*");
  PathParts parts;
  splitPath(path, &parts);
  char folder[256];
  wsprintfA(folder, "%s%s", parts.drive, parts.directory);
  wsprintfA(path, "%s%s", parts.name, parts.extension);
  OPENFILENAMEA request = fileDialogRequest(owner, path, textSaveFilter);
  request.lpstrInitialDir = folder[0] ? folder : nullptr;
  // The input's extension without its dot, for a name typed without one.
  request.lpstrDefExt = hasInput && parts.extension[0] ? parts.extension + 1 : nullptr;
  request.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  return showSaveFileDialog(&request);
}
