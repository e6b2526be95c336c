// Whole-file writes with the Windows file functions: through a temporary
// file beside the target, renamed over it.
#include <gtest/gtest.h>

#include <windows.h>

#include "shell/wholefile.h"
#include "tests/testing.h"
#include "tests/win/wintest.h"

namespace {

const uint8_t newBytes[] = {1, 2, 3};

}  // namespace

// A target that cannot be replaced keeps its content, and the temporary
// file goes again.
TEST(WholeFileOnWindows, FailedReplaceLeavesTheTargetAndNoTemporary) {
  TempDir dir;
  const Bytes old = ascii("old content");
  writeFile(dir.file("readonly.mld"), old);
  SetFileAttributesA(dir.file("readonly.mld").c_str(), FILE_ATTRIBUTE_READONLY);
  writeFile(dir.file("held.mld"), old);
  HANDLE held = CreateFileA(dir.file("held.mld").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const char *name : {"readonly.mld", "held.mld"}) {
    EXPECT_EQ(writeWholeFile(dir.file(name).c_str(), newBytes, 3), 0) << name;
    EXPECT_EQ(listFolder(dir.path).size(), 2u) << name;
  }
  CloseHandle(held);
  EXPECT_EQ(readFile(dir.file("held.mld")), old);
  EXPECT_EQ(readFile(dir.file("readonly.mld")), old);
}

// The temporary file lands in the target's own folder, also when the
// folder's name holds backslash bytes inside double-byte characters, and
// relative paths start from the current folder.
TEST(WholeFileOnWindows, WritesIntoDoubleByteFoldersAndRelativePaths) {
  TempDir dir;
  std::string folder = dir.file(bytesOf("95 5C 83 5C"));  // 表ソ
  ASSERT_TRUE(makeFolder(folder));
  EXPECT_EQ(writeWholeFile((folder + "\\out.mld").c_str(), newBytes, 3), 1);
  EXPECT_EQ(readFile(folder + "\\out.mld"), Bytes(newBytes, newBytes + 3));
  EXPECT_EQ(listFolder(folder), std::vector<std::string>{"out.mld"});
  EXPECT_EQ(listFolder(dir.path).size(), 1u);

  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  EXPECT_EQ(writeWholeFile("relative.mld", newBytes, 2), 1);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(readFile(folder + "\\relative.mld"), Bytes(newBytes, newBytes + 2));
  EXPECT_EQ(listFolder(folder).size(), 2u);
}
