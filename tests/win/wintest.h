// Helpers for tests of the real main window under Wine: opening and closing
// it, reading its check marks, dropping files on it, and answering the modal
// dialogs and message boxes that it shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/testing.h"

// Opens the main window as start-up does, with this command line (the text
// after the program's name). Null when no window exists afterwards.
HWND openMainWindow(const std::string &commandLine);

// Destroys the window if it still exists, and takes the quit message that
// its end posted: left in the queue, it would end the test's next modal loop
// at once. Returns the quit message's exit code, or -1 when none was posted.
int closeMainWindow(HWND window);

// A main window that this thread still has, or null. Other test programs
// running at the same time share the display: a search by class alone
// (FindWindowA) would see their windows too.
HWND ownMainWindow();

// The check marks of one channel menu: "no channel", and channel i + 1 as bit i.
struct ChannelMarks {
  bool none;
  uint16_t channels;
};
ChannelMarks channelMarks(HWND window, int offCommand);

// A drop of files (ANSI names) as the shell hands it to the window.
HGLOBAL makeDrop(const std::vector<std::string> &names);

// How the helper answers a dialog.
enum DialogAnswer {
  ANSWER_OK,         // clicks the OK button
  ANSWER_CLOSE_BOX,  // the close box (SC_CLOSE)
  ANSWER_ESCAPE,     // the Escape key
  ANSWER_CANCEL,     // clicks Cancel
  ANSWER_TYPE_NAME,  // types `typed` into a file dialog's name box, then OK
};

// What the helper saw of one dialog, before it answered.
struct SeenDialog {
  std::string caption;
  std::string text;                  // a message box's message
  std::string fileName;              // a file dialog's name box
  std::string folder;                // a file dialog's current folder
  std::vector<std::string> filters;  // a file dialog's filter labels
  std::vector<std::string> buttons;  // visible buttons, in child order
  bool defaultButton;                // one of them is the default button
  std::string font;                  // the dialog's font face
  HWND owner;
  bool ownerEnabled;
  POINT clientOrigin;  // on the screen
};

// A helper thread that waits for dialogs of the test's own thread (which is
// inside a modal loop meanwhile) and answers each one as told.
struct DialogAnswerer {
  DWORD uiThread;
  DialogAnswer answer;
  std::string typed;
  std::atomic<bool> stop;
  std::mutex lock;
  std::vector<SeenDialog> seen;
  std::thread helper;
};

void startAnswering(DialogAnswerer *answerer, DialogAnswer answer, const std::string &typed = "");
std::vector<SeenDialog> stopAnswering(DialogAnswerer *answerer);

// The bytes of a text, as hex pairs, for readable failures on Shift-JIS.
std::string hexOf(const std::string &text);
// The text of hex pairs ("95 5C" is the Shift-JIS 表).
std::string bytesOf(const char *hexText);

// Melody files for conversions: an i-melody of version '1', '2' or '3' with
// one note, and a SMAF file whose one score track has this number (type 2
// for tracks 1 to 4, type 3 for track 5; no track, -1, gives type 1).
Bytes melodyImage(char version);
Bytes smafImage(int track);
