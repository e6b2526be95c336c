// Path handling of the Open and Save dialogs, and what they ask the system
// for; the system's dialogs are replaced by fakedialogs.cpp here.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/texts.h"
#include "shell/win/dialogs.h"
#include "tests/win/fakedialogs.h"
#include "tests/win/wintest.h"

namespace {

const std::string hyou = bytesOf("95 5C");  // 表: its second byte is a backslash
const std::string so = bytesOf("83 5C");    // ソ: likewise

struct Parts {
  std::string drive, directory, name, extension;
  bool operator==(const Parts &o) const {
    return drive == o.drive && directory == o.directory && name == o.name && extension == o.extension;
  }
};

std::ostream &operator<<(std::ostream &out, const Parts &p) {
  return out << "[" << p.drive << "|" << p.directory << "|" << p.name << "|" << p.extension << "]";
}

Parts split(const std::string &path) {
  PathParts parts;
  std::memset(&parts, 0x7E, sizeof parts);
  splitPath(path.c_str(), &parts);
  return {parts.drive, parts.directory, parts.name, parts.extension};
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    resetFileDialogs();
    initialDir[0] = 0;
  }
  HWND owner = reinterpret_cast<HWND>(0x1234);  // only passed on
};

}  // namespace

TEST(SplitPath, FourPartsThatJoinToThePath) {
  ASSERT_EQ(GetACP(), 932u) << "the tests run in the Japanese code page";
  struct Case {
    std::string path;
    Parts parts;
  } cases[] = {
      {"C:\\tunes\\song.mld", {"C:", "\\tunes\\", "song", ".mld"}},
      {"C:\\tunes\\song", {"C:", "\\tunes\\", "song", ""}},
      {"song.mld", {"", "", "song", ".mld"}},
      {"C:song.mld", {"C:", "", "song", ".mld"}},
      {"C:", {"C:", "", "", ""}},
      {"\\\\srv\\share\\a.b.mmf", {"", "\\\\srv\\share\\", "a.b", ".mmf"}},
      {"Z:/tmp/dir.d/x", {"Z:", "/tmp/dir.d/", "x", ""}},
      {"C:\\x\\..", {"C:", "\\x\\", "..", ""}},
      {".", {"", "", ".", ""}},
      {".profile", {"", "", "", ".profile"}},
      {"C:\\tunes\\", {"C:", "\\tunes\\", "", ""}},
      {"", {"", "", "", ""}},
      {"*.*", {"", "", "*", ".*"}},
      // Double-byte names whose second byte is a backslash.
      {"C:\\" + hyou + so + "\\song.mld", {"C:", "\\" + hyou + so + "\\", "song", ".mld"}},
      {"C:\\" + hyou + "\\" + so + ".mmf", {"C:", "\\" + hyou + "\\", so, ".mmf"}},
      {"C:\\dir\\" + hyou, {"C:", "\\dir\\", hyou, ""}},
      {"C:\\a\\" + bytesOf("95"), {"C:", "\\a\\", bytesOf("95"), ""}},  // a lead byte at the end
  };
  for (const Case &c : cases) {
    Parts parts = split(c.path);
    EXPECT_EQ(parts, c.parts) << hexOf(c.path);
    EXPECT_EQ(parts.drive + parts.directory + parts.name + parts.extension, c.path);
  }
}

TEST_F(Dialogs, OpenAsksForAnExistingMelody) {
  char path[256] = "";
  EXPECT_EQ(openDialog(owner, path), 0);
  ASSERT_EQ(fileDialogCalls.size(), 1u);
  const FileDialogCall &call = fileDialogCalls[0];
  EXPECT_FALSE(call.save);
  EXPECT_EQ(call.structSize, DWORD(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(call.structSize, sizeof(void *) == 4 ? 76u : 136u);
  EXPECT_EQ(call.owner, owner);
  EXPECT_EQ(call.file, "*.mld;*.mmf");
  EXPECT_EQ(call.maxFile, 256u);
  EXPECT_EQ(hexOf(call.filter),
            hexOf(bytesOf("91 53 82 C4 82 CC D2 DB C3 DE A8 CC A7 B2 D9") + '\0' + "*.mld;*.mmf" + '\0' +
                  bytesOf("69 D2 DB C3 DE A8 CC A7 B2 D9") + "(*.mld)" + '\0' + "*.mld" + '\0' + "J-SKY/EZweb" +
                  bytesOf("97 70") + "SMAF" + bytesOf("CC A7 B2 D9") + "(*.mmf)" + '\0' + "*.mmf" + '\0'));
  EXPECT_EQ(call.filterIndex, 0u);
  EXPECT_FALSE(call.hasInitialDir);
  EXPECT_FALSE(call.hasDefExt);
  EXPECT_FALSE(call.hasTitle);
  EXPECT_FALSE(call.hasHook);
  EXPECT_EQ(call.flags, DWORD(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));
  EXPECT_EQ(call.flags, 0x1804u);
}

// A confirmed Open remembers the chosen file's folder, with its closing
// separator, and the next Open starts there with the previous path; a
// cancelled one changes nothing.
TEST_F(Dialogs, OpenRemembersTheChosenFolder) {
  struct Case {
    std::string chosen, folder;
  } cases[] = {
      {"C:\\tunes\\song.mld", "C:\\tunes\\"},
      {"C:\\" + hyou + so + "\\" + so + ".mld", "C:\\" + hyou + so + "\\"},
      {"\\\\srv\\music\\a.mmf", "\\\\srv\\music\\"},
  };
  for (const Case &c : cases) {
    char path[256] = "C:\\old\\x.mld";
    fileDialogAnswers.push_back({true, c.chosen});
    EXPECT_EQ(openDialog(owner, path), 1);
    EXPECT_EQ(std::string(path), c.chosen);
    EXPECT_EQ(std::string(initialDir), c.folder) << hexOf(initialDir);

    fileDialogAnswers.push_back({false, ""});
    EXPECT_EQ(openDialog(owner, path), 0);
    EXPECT_EQ(std::string(initialDir), c.folder);
    EXPECT_EQ(fileDialogCalls.back().initialDir, c.folder);
    EXPECT_EQ(fileDialogCalls.back().file, c.chosen);
  }
}

// The Save dialog proposes the input's own name in the input's folder, and
// gives a typed name without an extension the input's extension.
TEST_F(Dialogs, SaveProposesTheInputsName) {
  struct Case {
    std::string input, proposed, folder;
    const char *defExt;
  } cases[] = {
      {"C:\\tunes\\song.mld", "song.mld", "C:\\tunes\\", "mld"},
      {"C:\\tunes\\song", "song", "C:\\tunes\\", nullptr},
      {"C:\\" + hyou + "\\" + so + ".mmf", so + ".mmf", "C:\\" + hyou + "\\", "mmf"},
      {"tune.v2.mld", "tune.v2.mld", "", "mld"},
      {"", "*.*", "", nullptr},
  };
  for (const Case &c : cases) {
    resetFileDialogs();
    char path[256];
    std::strcpy(path, c.input.c_str());
    EXPECT_EQ(saveDialog(owner, path), 0);
    ASSERT_EQ(fileDialogCalls.size(), 1u);
    const FileDialogCall &call = fileDialogCalls[0];
    EXPECT_TRUE(call.save);
    EXPECT_EQ(call.file, c.proposed) << c.input;
    EXPECT_EQ(call.hasInitialDir, !c.folder.empty()) << c.input;
    EXPECT_EQ(call.initialDir, c.folder) << c.input;
    EXPECT_EQ(call.hasDefExt, c.defExt != nullptr) << c.input;
    if (c.defExt) {
      EXPECT_EQ(call.defExt, c.defExt);
    }
    EXPECT_EQ(call.structSize, DWORD(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(call.owner, owner);
    EXPECT_EQ(call.maxFile, 256u);
    EXPECT_EQ(hexOf(call.filter), hexOf(bytesOf("91 53 82 C4 82 CC CC A7 B2 D9") + '\0' + "*.*" + '\0'));
    EXPECT_EQ(call.filterIndex, 0u);
    EXPECT_FALSE(call.hasTitle);
    EXPECT_FALSE(call.hasHook);
    EXPECT_EQ(call.flags, 0x806u);
  }

  char path[256] = "C:\\tunes\\song.mld";
  fileDialogAnswers.push_back({true, "D:\\out\\new.mld"});
  EXPECT_EQ(saveDialog(owner, path), 1);
  EXPECT_STREQ(path, "D:\\out\\new.mld");
  EXPECT_EQ(initialDir[0], 0);  // only Open remembers a folder
}
