#include "shell/win/mainwindow.h"

#include <shellapi.h>

#include "engine/convert.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/options.h"
#include "shell/win/commands.h"

HINSTANCE appInstance;
const char *appCommandLine = "";
const char mainClassName[] = "ZUDAR";

// Only a batch conversion at start-up that writes its output makes it 0.
static int batchStatus;

int startStatus() { return batchStatus; }

//  registerMainClass() - the class ZUDAR, with the menu and no icon
int registerMainClass() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = mainWndProc;
  windowClass.hInstance = appInstance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
  windowClass.lpszClassName = mainClassName;
  return RegisterClassA(&windowClass) != 0;
}

//  createMainWindow() - 300 by 150 pixels, files may be dropped on it
HWND createMainWindow(int show) {
  HWND window = CreateWindowExA(WS_EX_ACCEPTFILES, mainClassName, textTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 150, nullptr, nullptr, appInstance, nullptr);
  if (!window) return nullptr;
  ShowWindow(window, show);
  UpdateWindow(window);
  return window;
}

//  onCreate() - WM_CREATE: the command line, the check marks, and a
//  conversion at start-up when the command line names an input. An input or
//  /sv: path too long for its slot converts nothing; with /end the program
//  then ends with 1 at once.
static void onCreate(HWND window) {
  int whole = readOptions(appCommandLine);
  markChannelMenus(window);
  if (!whole && exitAfterConvert) {
    DestroyWindow(window);
    return;
  }
  if (!inputPath[0]) return;
  if (!outputPath[0]) {
    // The Save dialog and the result message come up before the window is
    // first shown.
    SendMessageA(window, WM_COMMAND, CMD_CONVERT, 0);
    return;
  }
  int converted = convertFile(inputPath, outputPath);
  if (exitAfterConvert) {
    batchStatus = converted ? 0 : 1;  // so that a script can tell
    DestroyWindow(window);
  }
}

//  onPaint() - WM_PAINT: the hint at the top left corner
static void onPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 0, 0, textHint, sizeof textHint - 1);
  EndPaint(window, &paint);
}

//  onDropFiles() - WM_DROPFILES: the first dropped file is converted, the
//  others are ignored. A name too long for inputPath is not taken: a cut
//  name would name another file.
static void onDropFiles(HWND window, HDROP drop) {
  UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  bool taken =
      length > 0 && length < sizeof inputPath && DragQueryFileA(drop, 0, inputPath, sizeof inputPath) == length;
  DragFinish(drop);
  if (taken) SendMessageA(window, WM_COMMAND, CMD_CONVERT, 0);
}

//  mainWndProc() - the main window's messages
LRESULT CALLBACK mainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: onCreate(window); break;
    case WM_PAINT: onPaint(window); return 0;
    case WM_DROPFILES: onDropFiles(window, reinterpret_cast<HDROP>(wParam)); break;
    case WM_COMMAND: onCommand(window, LOWORD(wParam)); break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

//  WinMain() - interactive use ends with 0 once the window is closed; a batch
//  run (/sv: with /end) never shows a window and ends with startStatus()
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  appInstance = instance;
  appCommandLine = commandLine ? commandLine : "";
  batchStatus = 1;
  registerMainClass();  // if it fails, so does the window
  if (!createMainWindow(show)) return startStatus();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
