// A stand-in for the system's Open and Save dialogs, linked into tests in
// place of shell/win/commondialogs.cpp: it records each request and answers
// from a script, without showing anything.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

// One request, as the dialog would have received it.
struct FileDialogCall {
  bool save;
  DWORD structSize;
  HWND owner;
  bool ownerVisible;   // whether the owner was on the screen by then
  std::string filter;  // the whole list, zeros included, up to its closing zero
  DWORD filterIndex;
  std::string file;  // the path buffer's text on entry
  DWORD maxFile;
  bool hasInitialDir;
  std::string initialDir;
  bool hasDefExt;
  std::string defExt;
  bool hasTitle;
  bool hasHook;
  DWORD flags;
};

// An answer: confirm with a path, or cancel.
struct FileDialogAnswer {
  bool confirm;
  std::string path;
};

extern std::vector<FileDialogCall> fileDialogCalls;
// Taken in order; when none is left, the dialog is cancelled.
extern std::deque<FileDialogAnswer> fileDialogAnswers;

void resetFileDialogs();
