// The Open and Save dialogs. Both take a 256-byte path buffer from the caller
// and leave the chosen path in it; both return nonzero when the user
// confirmed.
#pragma once

#include <windows.h>

// The drive and directory of the last file chosen in the Open dialog, ending
// with its separator; the next Open dialog starts there. Empty at first.
extern char initialDir[256];

// A path in four parts that, joined in order, give the path again.
struct PathParts {
  char drive[256];      // "C:" when the second byte is ':', else empty
  char directory[256];  // up to and including the last '\' or '/'
  char name[256];       // up to the last '.'; "." and ".." are names
  char extension[256];  // from the last '.' on, else empty
};

// A backslash byte that ends a double-byte character (in the ANSI code page)
// is part of that character, not a separator.
void splitPath(const char *path, PathParts *parts);

// Starts from the previous input path, or from the melody pattern when the
// buffer is empty; afterwards initialDir holds the chosen file's directory.
int openDialog(HWND owner, char *path);

// Proposes the name of the input path in the buffer, in the input's folder;
// a name typed without an extension gets the input's.
int saveDialog(HWND owner, char *path);
