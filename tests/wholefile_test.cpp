#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "shell/memblock.h"
#include "shell/wholefile.h"
#include "tests/testing.h"

TEST(MemBlock, EmptyFileLoadsWithAHandle) {
  TempDir dir;
  writeFile(dir.file("empty"), {});
  MemBlock block = {};
  EXPECT_NE(memBlockLoad(&block, dir.file("empty").c_str()), 0);
  EXPECT_NE(block.handle, nullptr);
  EXPECT_EQ(block.length, 0u);
  memBlockFree(&block);
}

TEST(MemBlock, MissingOrFolderFailsAndFreeingNothingIsHarmless) {
  TempDir dir;
  for (const std::string &path : {dir.file("missing"), dir.path}) {
    MemBlock block = {};
    EXPECT_EQ(memBlockLoad(&block, path.c_str()), 0) << path;
    EXPECT_EQ(block.handle, nullptr);
    memBlockFree(&block);
    memBlockFree(&block);
  }
}

TEST(MemBlock, LoadsEveryByte) {
  TempDir dir;
  Bytes content(100000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 7);
  writeFile(dir.file("f"), content);
  MemBlock block = {};
  ASSERT_NE(memBlockLoad(&block, dir.file("f").c_str()), 0);
  EXPECT_EQ(Bytes(block.data, block.data + block.length), content);
  memBlockFree(&block);
}

TEST(MemBlock, CreatesZeroFilledAndResizeKeepsFirstBytes) {
  MemBlock block = {};
  ASSERT_NE(memBlockCreate(&block, 1024), 0);
  EXPECT_EQ(Bytes(block.data, block.data + 1024), Bytes(1024, 0));
  block.data[0] = 1, block.data[1] = 2, block.data[2] = 3;
  ASSERT_NE(memBlockResize(&block, 11264), 0);
  EXPECT_EQ(toHex(Bytes(block.data, block.data + 3)), "01 02 03");
  block.data[11263] = 9;  // the new size is usable
  memBlockFree(&block);

  MemBlock none = {};
  EXPECT_NE(memBlockCreate(&none, 0), 0);
  EXPECT_NE(none.handle, nullptr);
  memBlockFree(&none);
}

TEST(MemBlock, SaveReplacesWholeContent) {
  TempDir dir;
  writeFile(dir.file("f"), Bytes(5000, 0x55));
  MemBlock block = {};
  memBlockCreate(&block, 16);
  block.data[0] = 0xAB;
  block.length = 1;
  EXPECT_NE(memBlockSave(&block, dir.file("f").c_str()), 0);
  EXPECT_EQ(toHex(readFile(dir.file("f"))), "AB");
  block.length = 0;
  EXPECT_NE(memBlockSave(&block, dir.file("f").c_str()), 0);
  EXPECT_TRUE(readFile(dir.file("f")).empty());
  EXPECT_TRUE(fileExists(dir.file("f")));
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  memBlockFree(&block);
}

TEST(WholeFile, FailedWriteReportsZeroAndLeavesNothing) {
  TempDir dir;
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_EQ(writeWholeFile(dir.file("no/such/folder/f").c_str(), bytes, 3), 0);
  mkdir(dir.file("folder").c_str(), 0755);
  writeFile(dir.file("folder/inside"), {});
  EXPECT_EQ(writeWholeFile(dir.file("folder").c_str(), bytes, 3), 0);
  EXPECT_EQ(listFolder(dir.path).size(), 1u);
  EXPECT_EQ(listFolder(dir.file("folder")).size(), 1u);
}

// A device or a pipe named as the output keeps its place: a pipe or a
// character device gets the bytes, a block device is refused. Renaming a
// file over them would have replaced, say, /dev/null for every program.
TEST(WholeFile, SpecialFilesAreNeverReplaced) {
  TempDir dir;
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
  int reader = open(dir.file("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_NE(writeWholeFile(dir.file("pipe").c_str(), bytes, 3), 0);
  uint8_t got[4] = {};
  EXPECT_EQ(read(reader, got, sizeof got), 3);
  EXPECT_EQ(toHex(Bytes(got, got + 3)), "01 02 03");
  close(reader);
  struct stat info;
  ASSERT_EQ(lstat(dir.file("pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  // Device nodes of the memory driver's "null" and of an unused block
  // device number, made where only root may make them.
  if (mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      mknod(dir.file("disk").c_str(), S_IFBLK | 0600, makedev(240, 77)) != 0)
    GTEST_SKIP() << "device nodes can be made by root only";
  EXPECT_NE(writeWholeFile(dir.file("null").c_str(), bytes, 3), 0);
  ASSERT_EQ(lstat(dir.file("null").c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  errno = 0;
  EXPECT_EQ(writeWholeFile(dir.file("disk").c_str(), bytes, 3), 0);
  EXPECT_EQ(errno, ENOTSUP);
  ASSERT_EQ(lstat(dir.file("disk").c_str(), &info), 0);
  EXPECT_TRUE(S_ISBLK(info.st_mode));
  EXPECT_EQ(listFolder(dir.path).size(), 3u);
}
