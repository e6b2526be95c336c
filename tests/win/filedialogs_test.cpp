// The system's own Open and Save dialogs (comdlg32 under Wine), answered by
// a helper thread that reads them and types into their name box.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/win/dialogs.h"
#include "tests/win/wintest.h"

namespace {

const std::string hyouSo = bytesOf("95 5C 83 5C");  // 表ソ: both end in a backslash byte

class SystemDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    initialDir[0] = 0;
    window = openMainWindow("");
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { closeMainWindow(window); }

  std::vector<SeenDialog> answered(int (*dialog)(HWND, char *), char *path, DialogAnswer answer,
                                   const std::string &typed, int *result) {
    DialogAnswerer answerer;
    startAnswering(&answerer, answer, typed);
    *result = dialog(window, path);
    return stopAnswering(&answerer);
  }

  TempDir dir;
  HWND window = nullptr;
};

}  // namespace

// The dialog takes the record as filled in (no size error), shows the
// input's name in the input's folder and gives a typed name without an
// extension the input's one.
TEST_F(SystemDialogs, SaveProposesTheNameAndAddsTheInputsExtension) {
  struct Case {
    const char *input, *proposed, *typed, *result;
  } cases[] = {
      {"song.mld", "song.mld", "out", "out.mld"},
      {"song", "song", "out", "out"},
      {"song.mld", "song.mld", "other.mmf", "other.mmf"},
  };
  for (const Case &c : cases) {
    char path[256];
    std::strcpy(path, dir.file(c.input).c_str());
    int result = 0;
    std::vector<SeenDialog> seen = answered(saveDialog, path, ANSWER_TYPE_NAME, c.typed, &result);
    EXPECT_EQ(result, 1) << c.input << " error " << CommDlgExtendedError();
    EXPECT_EQ(std::string(path), dir.file(c.result));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileName, c.proposed);
    EXPECT_EQ(seen[0].folder, dir.path);
    EXPECT_EQ(seen[0].filters, std::vector<std::string>{bytesOf("91 53 82 C4 82 CC CC A7 B2 D9")});
    EXPECT_EQ(seen[0].owner, window);
    EXPECT_FALSE(seen[0].ownerEnabled);
  }
}

// Confirmed in a folder whose name ends its double-byte characters in
// backslash bytes: the folder is remembered whole, and the next Open starts
// in it.
TEST_F(SystemDialogs, OpenRemembersADoubleByteFolder) {
  std::string folder = dir.file(hyouSo);
  ASSERT_TRUE(makeFolder(folder));
  std::string song = folder + "\\" + bytesOf("83 5C") + ".mld";  // ソ.mld
  writeFile(song, melodyImage('2'));

  char path[256] = "";
  int result = 0;
  std::vector<SeenDialog> seen = answered(openDialog, path, ANSWER_TYPE_NAME, song, &result);
  EXPECT_EQ(result, 1) << "error " << CommDlgExtendedError();
  EXPECT_EQ(hexOf(path), hexOf(song));
  EXPECT_EQ(hexOf(initialDir), hexOf(folder + "\\"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].fileName, "*.mld;*.mmf");
  EXPECT_EQ(seen[0].filters,
            (std::vector<std::string>{bytesOf("91 53 82 C4 82 CC D2 DB C3 DE A8 CC A7 B2 D9"),
                                      bytesOf("69 D2 DB C3 DE A8 CC A7 B2 D9") + "(*.mld)",
                                      "J-SKY/EZweb" + bytesOf("97 70") + "SMAF" + bytesOf("CC A7 B2 D9") + "(*.mmf)"}));

  // The system would also start in the folder of a path in the buffer, in
  // the current folder (which a confirmed dialog moves) or in the folder of
  // the last dialog confirmed: none of these may be that folder here.
  char elsewhere[256];
  std::strcpy(elsewhere, dir.file("x.mld").c_str());
  answered(saveDialog, elsewhere, ANSWER_TYPE_NAME, "x.mld", &result);
  ASSERT_EQ(result, 1);
  SetCurrentDirectoryA(dir.path.c_str());
  path[0] = 0;
  seen = answered(openDialog, path, ANSWER_CANCEL, "", &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(hexOf(seen[0].folder), hexOf(folder));
  EXPECT_EQ(hexOf(initialDir), hexOf(folder + "\\"));
}
