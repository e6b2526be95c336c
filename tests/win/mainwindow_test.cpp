// The main window under Wine: its class and frame, the command line read at
// creation, batch runs, the painted hint, dropped files and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/convert.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/options.h"
#include "shell/win/dialogs.h"
#include "shell/win/mainwindow.h"
#include "tests/win/fakedialogs.h"
#include "tests/win/wintest.h"

namespace {

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

std::string windowText(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    resetFileDialogs();
    initialDir[0] = 0;
    writeFile(dir.file("in.mld"), melodyImage('2'));
  }
  void TearDown() override { closeMainWindow(window); }
  TempDir dir;
  HWND window = nullptr;
};

}  // namespace

TEST_F(MainWindow, ClassAndFrame) {
  window = openMainWindow("");
  ASSERT_NE(window, nullptr);
  WNDCLASSA registered = {};
  ASSERT_TRUE(GetClassInfoA(appInstance, "ZUDAR", &registered));
  EXPECT_EQ(registered.style, UINT(CS_DBLCLKS));
  EXPECT_EQ(registered.lpfnWndProc, mainWndProc);
  EXPECT_EQ(registered.cbClsExtra, 0);
  EXPECT_EQ(registered.cbWndExtra, 0);
  EXPECT_EQ(registered.hIcon, nullptr);
  EXPECT_EQ(registered.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(registered.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(registered.lpszMenuName, MAKEINTRESOURCEA(IDR_MAINMENU));

  EXPECT_EQ(windowText(window), "Sorbelin (V1.40)");
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.right - frame.left, 300);
  EXPECT_EQ(frame.bottom - frame.top, 150);
  EXPECT_NE(GetMenu(window), nullptr);
}

// A batch run (/sv: with /end) converts while the window is created, never
// shows a window and tells a script by its exit status whether the output
// was written.
TEST_F(MainWindow, BatchRunEndsWithoutWindowAndTellsTheOutcome) {
  writeFile(dir.file("text.mld"), ascii("no melody in here"));
  makeFolder(dir.file("folder"));
  struct Case {
    std::string input, output;
    int status;
  } cases[] = {
      {dir.file("in.mld"), dir.file("out.mld"), 0},
      {dir.file("text.mld"), dir.file("out.mld"), 1},
      {dir.file("missing.mld"), dir.file("out.mld"), 1},
      {dir.file("in.mld"), dir.file("folder"), 1},
  };
  for (const Case &c : cases) {
    std::string line = quoted(c.input) + " /vc:3 /lc:5 " + quoted("/sv:" + c.output) + " /end";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, &line[0], SW_SHOWNORMAL), c.status) << line;
    EXPECT_EQ(ownMainWindow(), nullptr) << line;
    EXPECT_EQ(fileExists(dir.file("out.mld")), c.status == 0) << line;
    if (c.status == 0) {
      EXPECT_EQ(readFile(dir.file("out.mld")), convertWithSettings(melodyImage('2'), 3, 5).bytes);
    }
    DeleteFileA(dir.file("out.mld").c_str());
    closeMainWindow(nullptr);
  }
  EXPECT_TRUE(fileDialogCalls.empty());
  EXPECT_TRUE(listFolder(dir.file("folder")).empty());
}

TEST_F(MainWindow, OutputWithoutEndConvertsSilentlyAndStaysOpen) {
  DialogAnswerer answerer;
  startAnswering(&answerer, ANSWER_OK);
  window = openMainWindow(quoted(dir.file("in.mld")) + " " + quoted("/sv:" + dir.file("out.mld")));
  EXPECT_TRUE(stopAnswering(&answerer).empty());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(readFile(dir.file("out.mld")), convertWithSettings(melodyImage('2'), 1, 1).bytes);
  EXPECT_TRUE(fileDialogCalls.empty());
}

// With an input alone (and /end then has no effect) the Save dialog comes up
// while the window is created, before it is first shown.
TEST_F(MainWindow, InputAloneAsksForTheOutputBeforeTheWindowShows) {
  for (const char *end : {"", " /end"}) {
    resetFileDialogs();
    window = openMainWindow(quoted(dir.file("in.mld")) + end);
    ASSERT_NE(window, nullptr) << end;
    ASSERT_EQ(fileDialogCalls.size(), 1u) << end;
    EXPECT_TRUE(fileDialogCalls[0].save);
    EXPECT_EQ(fileDialogCalls[0].file, "in.mld");
    EXPECT_FALSE(fileDialogCalls[0].ownerVisible) << end;
    EXPECT_EQ(fileDialogCalls[0].owner, window);
    EXPECT_TRUE(IsWindowVisible(window)) << end;
    closeMainWindow(window);
  }
  window = nullptr;
}

// A path longer than the 255 bytes of its slot is not cut into another
// name: nothing is converted, a batch run ends with 1 and no window, and
// without /end the window opens as if no input were named.
TEST_F(MainWindow, PathTooLongForItsSlotConvertsNothing) {
  std::string cutInput = dir.file(std::string(255 - dir.file("").size(), 'c'));
  ASSERT_EQ(cutInput.size(), 255u);
  writeFile(cutInput, melodyImage('2'));  // what the cut input would name
  std::string longOutput = dir.file(std::string(260 - dir.file("").size(), 'o'));
  std::vector<std::string> before = listFolder(dir.path);
  std::string batches[] = {
      quoted(cutInput + ".mld") + " " + quoted("/sv:" + dir.file("out.mld")) + " /end",
      quoted(dir.file("in.mld")) + " " + quoted("/sv:" + longOutput) + " /end",
  };
  for (std::string &line : batches) {
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, &line[0], SW_SHOWNORMAL), 1) << line;
    EXPECT_EQ(ownMainWindow(), nullptr) << line;
    closeMainWindow(nullptr);
  }
  window = openMainWindow(quoted(cutInput + ".mld") + " /vc:3");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_STREQ(inputPath, "");
  EXPECT_TRUE(fileDialogCalls.empty());
  EXPECT_EQ(listFolder(dir.path), before);
  EXPECT_EQ(readFile(cutInput), melodyImage('2'));
}

TEST_F(MainWindow, OutputOrEndWithoutInputConvertNothing) {
  for (std::string line : {"/sv:" + dir.file("out.mld") + " /end", std::string("/end")}) {
    window = openMainWindow(line);
    ASSERT_NE(window, nullptr) << line;
    EXPECT_TRUE(IsWindowVisible(window));
    closeMainWindow(window);
  }
  window = nullptr;
  EXPECT_TRUE(fileDialogCalls.empty());
  EXPECT_FALSE(fileExists(dir.file("out.mld")));
}

// The hint is drawn from the top left corner, one line high and as wide as
// its 21 bytes, over the window's own background: the rest stays that.
TEST_F(MainWindow, PaintsTheHintAtTheTopLeft) {
  EXPECT_EQ(std::strlen(textHint), 21u);
  window = openMainWindow("");
  ASSERT_NE(window, nullptr);
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  SIZE extent;
  GetTextExtentPoint32A(dc, textHint, int(std::strlen(textHint)), &extent);
  COLORREF background = GetSysColor(COLOR_BTNFACE);
  int right = -1, bottom = -1, backgroundInText = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      bool isBackground = GetPixel(dc, x, y) == background;
      if (!isBackground) right = std::max(right, x), bottom = std::max(bottom, y);
      if (isBackground && x < extent.cx && y < extent.cy) ++backgroundInText;
    }
  }
  ReleaseDC(window, dc);
  EXPECT_GT(right, extent.cx * 3 / 4);
  EXPECT_LT(right, extent.cx);
  EXPECT_GT(bottom, 0);
  EXPECT_LT(bottom, extent.cy);
  EXPECT_GT(backgroundInText, extent.cx * extent.cy / 2) << "the text cells are filled";
}

TEST_F(MainWindow, DropTakesTheFirstFileFreesTheDropAndConverts) {
  writeFile(dir.file("second.mld"), melodyImage('3'));
  window = openMainWindow("");
  ASSERT_NE(window, nullptr);
  fileDialogAnswers.push_back({true, dir.file("out.mld")});
  HGLOBAL drop = makeDrop({dir.file("in.mld"), dir.file("second.mld")});
  DialogAnswerer answerer;
  startAnswering(&answerer, ANSWER_OK);
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  std::vector<SeenDialog> seen = stopAnswering(&answerer);

  EXPECT_EQ(GlobalFlags(drop), UINT(GMEM_INVALID_HANDLE));
  EXPECT_STREQ(inputPath, dir.file("in.mld").c_str());
  ASSERT_EQ(fileDialogCalls.size(), 1u);
  EXPECT_EQ(fileDialogCalls[0].file, "in.mld");
  EXPECT_EQ(readFile(dir.file("out.mld")), convertWithSettings(melodyImage('2'), 1, 1).bytes);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, textResultImelodyV2Led);
}

// A name that does not fit inputPath would, cut, name another file.
TEST_F(MainWindow, DroppedNameTooLongIsNotTaken) {
  window = openMainWindow("");
  ASSERT_NE(window, nullptr);
  std::strcpy(inputPath, "before");
  for (size_t length : {256u, 300u}) {
    HGLOBAL drop = makeDrop({"C:\\" + std::string(length - 3, 'a'), dir.file("in.mld")});
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(GlobalFlags(drop), UINT(GMEM_INVALID_HANDLE)) << length;
  }
  EXPECT_STREQ(inputPath, "before");
  EXPECT_TRUE(fileDialogCalls.empty());

  std::string longest = dir.file(std::string(255 - dir.file("").size(), 'b'));
  ASSERT_EQ(longest.size(), 255u);
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({longest})), 0);
  EXPECT_EQ(inputPath, longest);
  EXPECT_EQ(fileDialogCalls.size(), 1u);
}

// Exit, the close box and Alt+F4 destroy the window; its end posts the quit
// message with exit code 0, which ends the message loop.
TEST_F(MainWindow, ClosingEndsWithZero) {
  struct Case {
    UINT message;
    WPARAM wParam;
  } cases[] = {{WM_COMMAND, CMD_EXIT}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}};
  for (const Case &c : cases) {
    window = openMainWindow("");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindow(window)) << c.message;
    EXPECT_EQ(closeMainWindow(nullptr), 0) << c.message;
  }
  window = nullptr;
}
