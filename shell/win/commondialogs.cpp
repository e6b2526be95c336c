#include "shell/win/commondialogs.h"

int showOpenFileDialog(OPENFILENAMEA *request) { return GetOpenFileNameA(request); }

int showSaveFileDialog(OPENFILENAMEA *request) { return GetSaveFileNameA(request); }
