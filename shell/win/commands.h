// The main window's commands: Open, the conversion with its result message,
// Exit, the two channel menus and the About box.
#pragma once

#include <windows.h>

// Sets the check marks of both channel menus from the masks: "no channel"
// exactly when a mask is 0, each channel exactly when its bit is set.
void markChannelMenus(HWND window);

// WM_COMMAND: runs the command; unknown commands do nothing.
void onCommand(HWND window, int command);

// The About box: OK ends it with 1, Escape or the close box with 2.
INT_PTR CALLBACK aboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
