// The program's frame: start-up, the main window ZUDAR with its hint, dropped
// files, and the message loop.
#pragma once

#include <windows.h>

// The program's module and its command line (the text after the program's
// own name), kept by WinMain; the command line is read while the main window
// is created.
extern HINSTANCE appInstance;
extern const char *appCommandLine;

extern const char mainClassName[];

// Registers the window class of the main window; nonzero on success.
int registerMainClass();

// Creates the main window, shows it and has it painted at once. Returns the
// window, or null when none exists afterwards: it could not be created, or a
// batch conversion (/sv: with /end) ended it during its own creation.
HWND createMainWindow(int show);

LRESULT CALLBACK mainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What WinMain returns when it runs no message loop: 0 after a successful
// batch conversion, 1 when that conversion failed or no window could be made.
int startStatus();
