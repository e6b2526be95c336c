#include <gtest/gtest.h>

#include <sys/stat.h>

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
