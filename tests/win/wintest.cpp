#include "tests/win/wintest.h"

#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/bytes.h"
#include "shell/win/mainwindow.h"

HWND openMainWindow(const std::string &commandLine) {
  static std::string line;  // read while the window is created
  line = commandLine;
  appInstance = GetModuleHandleA(nullptr);
  appCommandLine = line.c_str();
  WNDCLASSA registered;
  if (!GetClassInfoA(appInstance, mainClassName, &registered) && !registerMainClass()) return nullptr;
  return createMainWindow(SW_SHOWNORMAL);
}

int closeMainWindow(HWND window) {
  if (window && IsWindow(window)) DestroyWindow(window);
  int code = -1;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    if (message.message == WM_QUIT) code = int(message.wParam);
  return code;
}

static BOOL CALLBACK findMainWindow(HWND window, LPARAM found) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, mainClassName) != 0) return TRUE;
  *reinterpret_cast<HWND *>(found) = window;
  return FALSE;
}

HWND ownMainWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

ChannelMarks channelMarks(HWND window, int offCommand) {
  HMENU menu = GetMenu(window);
  ChannelMarks marks = {(GetMenuState(menu, offCommand, MF_BYCOMMAND) & MF_CHECKED) != 0, 0};
  for (int i = 0; i < 16; ++i)
    if (GetMenuState(menu, offCommand + 1 + i, MF_BYCOMMAND) & MF_CHECKED)
      marks.channels = uint16_t(marks.channels | 1u << i);
  return marks;
}

HGLOBAL makeDrop(const std::vector<std::string> &names) {
  size_t size = sizeof(DROPFILES) + 1;  // the list ends with one more zero
  for (const std::string &name : names) size += name.size() + 1;
  HGLOBAL drop = GlobalAlloc(GHND, size);  // zero-filled
  DROPFILES *header = static_cast<DROPFILES *>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char *at = reinterpret_cast<char *>(header + 1);
  for (const std::string &name : names) {
    std::memcpy(at, name.c_str(), name.size() + 1);
    at += name.size() + 1;
  }
  GlobalUnlock(drop);
  return drop;
}

std::string hexOf(const std::string &text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string bytesOf(const char *hexText) {
  Bytes bytes = hex(hexText);
  return std::string(bytes.begin(), bytes.end());
}

Bytes melodyImage(char version) {
  return hex("6D 65 6C 6F 00 00 00 28 00 0D 01 00 01  76 65 72 73 00 04 30") + Bytes{uint8_t(version)} +
         hex("30 30  74 72 61 63 00 00 00 11  07 FF FF 00 05 11 F2 04 20 01  00 12 34  00 FF DF 00");
}

static Bytes bigEndian(uint32_t value) {
  return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

Bytes smafImage(int track) {
  Bytes contents = ascii("CNTI") + bigEndian(5) + hex("01 02 03 04 05");
  if (track >= 0) {
    Bytes data = hex("00 00 02 02") + Bytes(16, 0) + hex("12 34");
    contents = contents + ascii("MTR") + Bytes{uint8_t(track)} + bigEndian(uint32_t(data.size())) + data;
  }
  Bytes image = ascii("MMMD") + bigEndian(uint32_t(contents.size() + 2)) + contents;
  uint16_t crc = crc16(image.data(), int32_t(image.size()));
  return image + Bytes{uint8_t(crc >> 8), uint8_t(crc)};
}

namespace {

std::string windowText(HWND window) {
  char text[1024] = "";
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string className(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && className(window) == "#32770")
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
  return TRUE;
}

BOOL CALLBACK collectButton(HWND window, LPARAM seen) {
  if (!IsWindowVisible(window) || lstrcmpiA(className(window).c_str(), "Button")) return TRUE;
  SeenDialog *dialog = reinterpret_cast<SeenDialog *>(seen);
  dialog->buttons.push_back(windowText(window));
  if ((GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) dialog->defaultButton = true;
  return TRUE;
}

// The name box of a file dialog: a combo box in the Explorer-style dialog,
// an edit box in the old one; null for other dialogs.
HWND fileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  return box ? box : GetDlgItem(dialog, edt1);
}

SeenDialog look(HWND dialog) {
  SeenDialog seen = {};
  seen.caption = windowText(dialog);
  char text[1024] = "";
  GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);  // a message box's message
  seen.text = text;
  if (HWND box = fileNameBox(dialog)) {
    seen.fileName = windowText(box);
    char folder[MAX_PATH] = "";
    if (SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) > 0) seen.folder = folder;
    HWND filters = GetDlgItem(dialog, cmb1);
    LRESULT count = filters ? SendMessageA(filters, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
      char label[256] = "";
      SendMessageA(filters, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(label));
      seen.filters.push_back(label);
    }
  }
  EnumChildWindows(dialog, collectButton, reinterpret_cast<LPARAM>(&seen));
  LOGFONTA font = {};
  if (HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)))
    if (GetObjectA(handle, sizeof font, &font)) seen.font = font.lfFaceName;
  seen.owner = GetWindow(dialog, GW_OWNER);
  seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
  ClientToScreen(dialog, &seen.clientOrigin);
  return seen;
}

void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void act(HWND dialog, DialogAnswer answer, const std::string &typed) {
  switch (answer) {
    case ANSWER_OK: click(dialog, IDOK); break;
    case ANSWER_CANCEL: click(dialog, IDCANCEL); break;
    case ANSWER_CLOSE_BOX: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case ANSWER_ESCAPE: PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); break;
    case ANSWER_TYPE_NAME:
      SendMessageA(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
      click(dialog, IDOK);
      break;
  }
}

struct Answered {
  HWND dialog;
  std::chrono::steady_clock::time_point when;
};

// Each new dialog is looked at once its creation has settled, then answered;
// one that is still there a while later is answered again.
void answerDialogs(DialogAnswerer *answerer) {
  using namespace std::chrono;
  std::vector<Answered> answered;
  while (!answerer->stop) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(answerer->uiThread, collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    answered.erase(
        std::remove_if(answered.begin(), answered.end(), [](const Answered &a) { return !IsWindow(a.dialog); }),
        answered.end());
    for (HWND dialog : dialogs) {
      auto known =
          std::find_if(answered.begin(), answered.end(), [&](const Answered &a) { return a.dialog == dialog; });
      if (known == answered.end()) {
        Sleep(100);
        SeenDialog seen = look(dialog);
        {
          std::lock_guard<std::mutex> hold(answerer->lock);
          answerer->seen.push_back(seen);
        }
        act(dialog, answerer->answer, answerer->typed);
        answered.push_back({dialog, steady_clock::now()});
      } else if (steady_clock::now() - known->when > seconds(2)) {
        act(dialog, answerer->answer, answerer->typed);
        known->when = steady_clock::now();
      }
    }
    Sleep(10);
  }
}

}  // namespace

void startAnswering(DialogAnswerer *answerer, DialogAnswer answer, const std::string &typed) {
  answerer->uiThread = GetCurrentThreadId();
  answerer->answer = answer;
  answerer->typed = typed;
  answerer->stop = false;
  answerer->seen.clear();
  answerer->helper = std::thread(answerDialogs, answerer);
}

std::vector<SeenDialog> stopAnswering(DialogAnswerer *answerer) {
  answerer->stop = true;
  if (answerer->helper.joinable()) answerer->helper.join();
  std::lock_guard<std::mutex> hold(answerer->lock);
  return answerer->seen;
}
