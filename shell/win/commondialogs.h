// The system's Open and Save dialogs, behind one seam: the program links
// commondialogs.cpp, which calls comdlg32; tests may link a stand-in that
// answers without a dialog.
#pragma once

#include <windows.h>

int showOpenFileDialog(OPENFILENAMEA *request);
int showSaveFileDialog(OPENFILENAMEA *request);
