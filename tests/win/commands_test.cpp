// The main window's commands under Wine: the menu resource, the channel
// menus, the conversion with its result message (the real message box,
// answered by a helper thread), Open, and the About box (the real dialog).
#include <gtest/gtest.h>

#include <cstring>

#include "engine/convert.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/options.h"
#include "shell/win/commands.h"
#include "shell/win/dialogs.h"
#include "shell/win/mainwindow.h"
#include "tests/win/fakedialogs.h"
#include "tests/win/wintest.h"

namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    resetFileDialogs();
    initialDir[0] = 0;
    window = openMainWindow("");
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { closeMainWindow(window); }

  // Sends a command while a helper answers whatever dialog it brings up.
  std::vector<SeenDialog> command(int id, DialogAnswer answer = ANSWER_OK) {
    DialogAnswerer answerer;
    startAnswering(&answerer, answer);
    SendMessageA(window, WM_COMMAND, WPARAM(id), 0);
    return stopAnswering(&answerer);
  }

  TempDir dir;
  HWND window = nullptr;
};

std::string menuText(HMENU menu, int position) {
  char text[64] = "";
  GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

// One menu as its items read: "text=id", "-" for a separator.
std::vector<std::string> menuItems(HMENU menu) {
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_SEPARATOR)
      items.push_back("-");
    else
      items.push_back(hexOf(menuText(menu, i)) + "=" + std::to_string(GetMenuItemID(menu, i)));
  }
  return items;
}

std::vector<std::string> channelItems(const char *none, int offCommand) {
  std::vector<std::string> items = {hexOf(bytesOf(none)) + "=" + std::to_string(offCommand)};
  for (int i = 1; i <= 16; ++i) items.push_back(hexOf(std::to_string(i)) + "=" + std::to_string(offCommand + i));
  return items;
}

}  // namespace

TEST_F(Commands, MenuResourceLayoutAndShiftJisTexts) {
  const char *none = "89 F0 8F 9C";  // 解除
  struct Popup {
    const char *text;
    std::vector<std::string> items;
  } popups[] = {
      {"CC A7 B2 D9 28 26 46 29",                                                   // ﾌｧｲﾙ(&F)
       {hexOf(bytesOf("8A 4A 82 AD 28 26 4F 29")) + "=101", "-",                    // 開く(&O)
        hexOf(bytesOf("8F 49 97 B9 28 26 58 29")) + "=103"}},                       // 終了(&X)
      {"56 49 42 98 41 93 AE 43 48", channelItems(none, 200)},                      // VIB連動CH
      {"4C 45 44 98 41 93 AE 43 48", channelItems(none, 220)},                      // LED連動CH
      {"CD D9 CC DF 28 26 48 29",                                                   // ﾍﾙﾌﾟ(&H)
       {hexOf(bytesOf("CA DE B0 BC DE AE DD 8F EE 95 F1 28 26 41 29")) + "=301"}},  // ﾊﾞｰｼﾞｮﾝ情報(&A)
  };
  HMENU bar = GetMenu(window);
  ASSERT_EQ(GetMenuItemCount(bar), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(hexOf(menuText(bar, i)), popups[i].text);
    EXPECT_EQ(menuItems(GetSubMenu(bar, i)), popups[i].items) << popups[i].text;
  }

  // In the template itself nothing is checked or greyed.
  HMENU fresh = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_MAINMENU));
  ASSERT_NE(fresh, nullptr);
  for (int i = 0; i < 4; ++i) {
    HMENU popup = GetSubMenu(fresh, i);
    for (int k = 0; k < GetMenuItemCount(popup); ++k) {
      UINT state = GetMenuState(popup, UINT(k), MF_BYPOSITION);
      if (state & MF_SEPARATOR) continue;
      EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED), 0u) << i << " " << k;
    }
  }
  DestroyMenu(fresh);
}

TEST(Texts, AreShiftJisByteForByte) {
  struct Case {
    const char *text;
    const char *bytes;
  } cases[] = {
      {textTitle, "53 6F 72 62 65 6C 69 6E 20 28 56 31 2E 34 30 29"},
      {textHint, "6D 6C 64 2F 6D 6D 66 CC A7 B2 D9 82 F0 C4 DE DB AF CC DF 81 F4"},
      {textResultCaption, "95 CF 8A B7 8F EE 95 F1"},
      {textResultImelodyV2Led,
       "8E 9F 82 CC 8B 40 8E ED 82 C5 98 41 93 AE 82 C5 82 AB 82 DC 82 B7 81 42 0A 0A "
       "4E 32 31 30 69 2F 4E 35 30 33 69 2F 4E 35 30 34 69"},
      {textResultImelodyV2,
       "8E 9F 82 CC 8B 40 8E ED 82 C5 98 41 93 AE 82 C5 82 AB 82 DC 82 B7 81 42 0A 0A "
       "4E 32 31 30 69 2F 4E 32 31 31 69 2F 4E 35 30 33 69 2F 4E 35 30 34 69"},
      {textResultImelodyV3,
       "8E 9F 82 CC 8B 40 8E ED 82 C5 98 41 93 AE 82 C5 82 AB 82 DC 82 B7 81 42 0A 0A "
       "4E 35 30 34 69"},
      {textResultSmaf16, "31 36 98 61 89 B9 8B 40 8E ED 82 C5 98 41 93 AE 82 C5 82 AB 82 DC 82 B7 81 42"},
      {textResultSmaf40, "34 30 98 61 89 B9 8B 40 8E ED 82 C5 98 41 93 AE 82 C5 82 AB 82 DC 82 B7 81 42"},
  };
  for (const Case &c : cases) EXPECT_EQ(hexOf(c.text), c.bytes);
}

// Each case: the command line, the commands in order, and the masks after.
// The marks must show the masks exactly, "no channel" when a mask is 0,
// from the window's creation on.
TEST_F(Commands, ChannelMenusToggleAndMark) {
  struct Case {
    const char *commandLine;
    std::vector<int> commands;
    uint16_t vibMask, ledMask;
  } cases[] = {
      {"", {}, 1, 1},
      {"/vc:3 /lc:0", {}, 3, 0},
      {"", {CMD_VIB_CH1 + 2}, 0x0005, 1},
      {"", {CMD_VIB_CH1 + 2, CMD_VIB_CH1 + 2}, 0x0001, 1},
      {"", {CMD_VIB_CH1}, 0, 1},
      {"/vc:0", {CMD_VIB_OFF}, 0, 1},
      {"/vc:6", {CMD_VIB_OFF, CMD_VIB_OFF, CMD_VIB_CH16}, 0x8000, 1},
      {"", {CMD_LED_CH1 + 2}, 1, 0x0005},
      {"", {CMD_LED_CH1}, 1, 0},
      {"/lc:255", {CMD_LED_OFF, CMD_LED_CH16, CMD_LED_CH1 + 8}, 1, 0x8100},
      {"/vc:2 /lc:4", {CMD_VIB_CH1 + 15, CMD_LED_CH1 + 15, CMD_VIB_CH1 + 1}, 0x8000, 0x8004},
      {"", {104, 199, 217, 219, 237, 300, 302}, 1, 1},  // not commands
  };
  for (const Case &c : cases) {
    closeMainWindow(window);
    window = openMainWindow(c.commandLine);
    ASSERT_NE(window, nullptr);
    for (int id : c.commands) EXPECT_TRUE(command(id).empty()) << c.commandLine << " " << id;
    EXPECT_EQ(conversionSettings.vibMask, c.vibMask) << c.commandLine;
    EXPECT_EQ(conversionSettings.ledMask, c.ledMask) << c.commandLine;
    ChannelMarks vib = channelMarks(window, CMD_VIB_OFF), led = channelMarks(window, CMD_LED_OFF);
    EXPECT_EQ(vib.channels, c.vibMask) << c.commandLine;
    EXPECT_EQ(vib.none, c.vibMask == 0) << c.commandLine;
    EXPECT_EQ(led.channels, c.ledMask) << c.commandLine;
    EXPECT_EQ(led.none, c.ledMask == 0) << c.commandLine;
  }
}

// The message is chosen by what the conversion did and by the LED channel,
// and shown in a box with one OK button that the main window owns.
TEST_F(Commands, ConvertShowsTheMessageOfItsRow) {
  struct Case {
    const char *name;
    Bytes image;
    uint16_t ledMask;
    const char *message;
  } cases[] = {
      {"i-melody 2 with an LED channel", melodyImage('2'), 0x0004, textResultImelodyV2Led},
      {"i-melody 2 without", melodyImage('2'), 0, textResultImelodyV2},
      {"i-melody 3", melodyImage('3'), 0x0002, textResultImelodyV3},
      {"i-melody 3 without LED", melodyImage('3'), 0, textResultImelodyV3},
      {"SMAF type 2", smafImage(1), 1, textResultSmaf16},
      {"SMAF type 3", smafImage(5), 0, textResultSmaf40},
      {"i-melody 1", melodyImage('1'), 1, nullptr},
      {"SMAF type 1", smafImage(-1), 1, nullptr},
  };
  for (const Case &c : cases) {
    writeFile(dir.file("in"), c.image);
    std::strcpy(inputPath, dir.file("in").c_str());
    conversionSettings.vibMask = 0x0003;
    conversionSettings.ledMask = c.ledMask;
    fileDialogAnswers.push_back({true, dir.file("out")});
    std::vector<SeenDialog> seen = command(CMD_CONVERT);

    EXPECT_EQ(readFile(dir.file("out")), convertWithSettings(c.image, 0x0003, c.ledMask).bytes) << c.name;
    if (!c.message) {
      EXPECT_TRUE(seen.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(seen.size(), 1u) << c.name;
    EXPECT_EQ(hexOf(seen[0].caption), hexOf(textResultCaption)) << c.name;
    EXPECT_EQ(hexOf(seen[0].text), hexOf(c.message)) << c.name;
    EXPECT_EQ(seen[0].buttons.size(), 1u) << c.name;
    EXPECT_EQ(seen[0].owner, window) << c.name;
    EXPECT_FALSE(seen[0].ownerEnabled) << c.name;
  }
  EXPECT_TRUE(IsWindowEnabled(window));
}

// Cancelled, or nothing written: no file changes and no message claims a
// link. That includes a melody that converts but cannot be written.
TEST_F(Commands, ConvertWithoutResultShowsNothing) {
  writeFile(dir.file("in.mld"), melodyImage('2'));
  writeFile(dir.file("text.mld"), ascii("no melody"));
  writeFile(dir.file("old.mld"), ascii("old"));
  makeFolder(dir.file("folder"));
  struct Case {
    const char *name;
    std::string input;
    FileDialogAnswer answer;
  } cases[] = {
      {"Save cancelled", dir.file("in.mld"), {false, ""}},
      {"not a melody", dir.file("text.mld"), {true, dir.file("old.mld")}},
      {"input gone", dir.file("gone.mld"), {true, dir.file("old.mld")}},
      {"output not writable", dir.file("in.mld"), {true, dir.file("folder")}},
  };
  for (const Case &c : cases) {
    std::strcpy(inputPath, c.input.c_str());
    fileDialogAnswers.push_back(c.answer);
    EXPECT_TRUE(command(CMD_CONVERT).empty()) << c.name;
    EXPECT_EQ(readFile(dir.file("old.mld")), ascii("old")) << c.name;
    EXPECT_EQ(listFolder(dir.path).size(), 4u) << c.name;
    EXPECT_TRUE(listFolder(dir.file("folder")).empty()) << c.name;
  }
  EXPECT_EQ(fileDialogCalls.size(), 4u);
}

TEST_F(Commands, OpenLeadsThroughSaveToTheConversion) {
  writeFile(dir.file("song.mld"), melodyImage('3'));
  fileDialogAnswers.push_back({true, dir.file("song.mld")});
  fileDialogAnswers.push_back({true, dir.file("out.mld")});
  std::vector<SeenDialog> seen = command(CMD_OPEN);
  ASSERT_EQ(fileDialogCalls.size(), 2u);
  EXPECT_FALSE(fileDialogCalls[0].save);
  EXPECT_EQ(fileDialogCalls[0].owner, window);
  EXPECT_TRUE(fileDialogCalls[1].save);
  EXPECT_EQ(fileDialogCalls[1].file, "song.mld");
  EXPECT_STREQ(inputPath, dir.file("song.mld").c_str());
  EXPECT_EQ(readFile(dir.file("out.mld")), convertWithSettings(melodyImage('3'), 1, 1).bytes);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, textResultImelodyV3);

  resetFileDialogs();  // a cancelled Open shows no Save dialog
  EXPECT_TRUE(command(CMD_OPEN).empty());
  EXPECT_EQ(fileDialogCalls.size(), 1u);
}

// The About box opens at the top left of the main window's client area, in
// its own font, and blocks the main window until it is closed. Its OK button
// is not the default button.
TEST_F(Commands, AboutIsModalAtTheTopLeftOfTheClientArea) {
  std::vector<SeenDialog> seen = command(CMD_ABOUT);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "About");
  EXPECT_EQ(seen[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(hexOf(seen[0].font), "82 6C 82 72 20 82 6F 83 53 83 56 83 62 83 4E");  // ＭＳ Ｐゴシック
  EXPECT_FALSE(seen[0].defaultButton);
  EXPECT_EQ(seen[0].owner, window);
  EXPECT_FALSE(seen[0].ownerEnabled);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(seen[0].clientOrigin.x, origin.x);
  EXPECT_EQ(seen[0].clientOrigin.y, origin.y);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(Commands, AboutEndsWithOneOnOkAndTwoOtherwise) {
  struct Case {
    DialogAnswer answer;
    INT_PTR result;
  } cases[] = {{ANSWER_OK, 1}, {ANSWER_CLOSE_BOX, 2}, {ANSWER_ESCAPE, 2}};
  for (const Case &c : cases) {
    DialogAnswerer answerer;
    startAnswering(&answerer, c.answer);
    INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, aboutDlgProc, 0);
    EXPECT_EQ(stopAnswering(&answerer).size(), 1u);
    EXPECT_EQ(result, c.result) << c.answer;
  }
}
