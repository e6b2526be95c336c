#include "tests/win/fakedialogs.h"

#include <cstring>

#include "shell/win/commondialogs.h"

std::vector<FileDialogCall> fileDialogCalls;
std::deque<FileDialogAnswer> fileDialogAnswers;

void resetFileDialogs() {
  fileDialogCalls.clear();
  fileDialogAnswers.clear();
}

// A filter list: pairs of zero-terminated texts, closed by an empty one.
static std::string filterList(const char *filter) {
  if (!filter) return "";
  const char *end = filter;
  while (*end) end += std::strlen(end) + 1;
  return std::string(filter, size_t(end - filter));
}

static int answer(OPENFILENAMEA *request, bool save) {
  FileDialogCall call = {};
  call.save = save;
  call.structSize = request->lStructSize;
  call.owner = request->hwndOwner;
  call.ownerVisible = IsWindowVisible(request->hwndOwner) != 0;
  call.filter = filterList(request->lpstrFilter);
  call.filterIndex = request->nFilterIndex;
  call.file = request->lpstrFile;
  call.maxFile = request->nMaxFile;
  call.hasInitialDir = request->lpstrInitialDir != nullptr;
  call.initialDir = call.hasInitialDir ? request->lpstrInitialDir : "";
  call.hasDefExt = request->lpstrDefExt != nullptr;
  call.defExt = call.hasDefExt ? request->lpstrDefExt : "";
  call.hasTitle = request->lpstrTitle != nullptr;
  call.hasHook = request->lpfnHook != nullptr || request->lpTemplateName != nullptr;
  call.flags = request->Flags;
  fileDialogCalls.push_back(call);
  if (fileDialogAnswers.empty()) return 0;
  FileDialogAnswer next = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  if (!next.confirm || next.path.size() >= request->nMaxFile) return 0;
  std::memcpy(request->lpstrFile, next.path.c_str(), next.path.size() + 1);
  return 1;
}

int showOpenFileDialog(OPENFILENAMEA *request) { return answer(request, false); }

int showSaveFileDialog(OPENFILENAMEA *request) { return answer(request, true); }
