#include "FileSpec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

std::string Name(const FileSpec& spec) { return std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]); }

std::string SpecPath(const FileSpec& spec) {
  char path[kPathBufferSize];
  if (GetFileSpecPath(&spec, path, sizeof path) != noErr) return "<error>";
  return path;
}

class FileSpecTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, mkdir((dir / "a").c_str(), 0777)); }
  testsupport::TempDir dir;
};

TEST_F(FileSpecTest, MissingFileNamesItsFolderAndLeaf) {
  FileSpec spec;
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/b.txt").c_str(), &spec));
  EXPECT_EQ(GetDirectoryID((dir / "a/b.txt").c_str()), spec.parID);
  EXPECT_STREQ((dir / "a").c_str(), GetDirectoryPath(spec.parID));
  EXPECT_EQ("b.txt", Name(spec));
  EXPECT_EQ(0, spec.vRefNum);
  EXPECT_EQ(dir / "a/b.txt", SpecPath(spec));
}

TEST_F(FileSpecTest, DotsAndRepeatedSeparatorsGiveTheSameSpec) {
  FileSpec plain, dotted;
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/b.txt").c_str(), &plain));
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/./c/..//b.txt").c_str(), &dotted));
  EXPECT_EQ(plain.parID, dotted.parID);
  EXPECT_EQ(Name(plain), Name(dotted));
}

TEST_F(FileSpecTest, ExistingFolderWithTrailingSeparator) {
  FileSpec spec;
  Boolean isFolder = 0;
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/").c_str(), &spec, &isFolder));
  EXPECT_EQ(1, isFolder);
  EXPECT_STREQ(dir.path().c_str(), GetDirectoryPath(spec.parID));
  EXPECT_EQ("a", Name(spec));
  EXPECT_EQ(dir / "a", SpecPath(spec));
}

TEST(FileSpecRoot, RootNamesItself) {
  FileSpec spec;
  ASSERT_EQ(noErr, MakeFileSpecFromPath("/", &spec));
  EXPECT_STREQ("/", GetDirectoryPath(spec.parID));
  EXPECT_EQ("", Name(spec));
  EXPECT_EQ("/", SpecPath(spec));
  // ".." at the root stays at the root.
  FileSpec above;
  ASSERT_EQ(noErr, MakeFileSpecFromPath("/../..", &above));
  EXPECT_EQ(spec.parID, above.parID);
  FileSpec top;
  ASSERT_EQ(noErr, MakeFileSpecFromPath("/usr", &top));
  EXPECT_STREQ("/", GetDirectoryPath(top.parID));
}

TEST(FileSpecRelative, RelativePathHasNoFolder) {
  FileSpec spec;
  spec.parID = 77;
  EXPECT_EQ(kErrDirNotFound, MakeFileSpecFromPath("readme", &spec));
  EXPECT_EQ(0u, spec.parID);
  EXPECT_EQ(0, spec.name[0]);
}

TEST_F(FileSpecTest, IDsAreStableAndCaseSensitive) {
  UInt32 first = GetDirectoryID((dir / "a/x").c_str());
  UInt32 again = GetDirectoryID((dir / "a/y/").c_str());
  UInt32 upper = GetDirectoryID((dir / "A/x").c_str());
  EXPECT_EQ(first, again);
  EXPECT_NE(first, upper);
  EXPECT_NE(0u, first);
}

TEST_F(FileSpecTest, LongNamesAreRefusedNeverCut) {
  FileSpec spec;
  std::string name63(63, 'n');
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / name63).c_str(), &spec));
  EXPECT_EQ(63, spec.name[0]);
  std::string name64(64, 'n');
  EXPECT_EQ(kErrBadName, MakeFileSpecFromPath((dir / name64).c_str(), &spec));
  EXPECT_EQ(0u, spec.parID);
  EXPECT_EQ(0, spec.name[0]);
  std::string longPath = "/" + std::string(4095, 'p');
  EXPECT_EQ(kErrBadName, MakeFileSpecFromPath(longPath.c_str(), &spec));
}

TEST_F(FileSpecTest, RelativeNameInAKnownFolder) {
  FileSpec folder;
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/file").c_str(), &folder));
  FileSpec spec;
  const unsigned char name[] = "\x09sub/f.txt";
  ASSERT_EQ(noErr, MakeFileSpec(0, folder.parID, name, &spec));
  EXPECT_STREQ((dir / "a/sub").c_str(), GetDirectoryPath(spec.parID));
  EXPECT_EQ("f.txt", Name(spec));
  EXPECT_EQ(kErrNoSuchVolume, MakeFileSpec(3, folder.parID, name, &spec));
  EXPECT_EQ(kErrDirNotFound, MakeFileSpec(0, 0xFFFFFF, name, &spec));
}

TEST(FileSpecPaths, PathTextRoutines) {
  char path[64] = "/a/b//";
  EXPECT_STREQ("/a/b", StripTrailingBackslashes(path));
  char root[8] = "///";
  EXPECT_STREQ("/", StripTrailingBackslashes(root));
  char leaf[8] = "/x";
  EXPECT_NE(nullptr, CutLastPathComponent(leaf));
  EXPECT_STREQ("/", leaf);
  char bare[8] = "name";
  EXPECT_EQ(nullptr, CutLastPathComponent(bare));
  EXPECT_STREQ("readme", GetPathLeafName("readme"));
  EXPECT_EQ(nullptr, GetPathLeafName("/"));
  EXPECT_TRUE(IsAbsolutePath("/"));
  EXPECT_FALSE(IsAbsolutePath("a/b"));
  EXPECT_STREQ("/", GetVolumeRootPath(0));
  EXPECT_EQ(nullptr, GetVolumeRootPath(1));
  EXPECT_EQ(1u, GetLogicalDrives());
}

TEST(FileSpecPaths, FullPathNameIsLexical) {
  char buffer[kPathBufferSize];
  ASSERT_TRUE(GetFullPathName("/a/./b/../c//d/", buffer, sizeof buffer));
  EXPECT_STREQ("/a/c/d", buffer);
  char cwd[kPathBufferSize];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  ASSERT_TRUE(GetFullPathName("x/y", buffer, sizeof buffer));
  EXPECT_EQ(std::string(cwd) + "/x/y", buffer);
  EXPECT_FALSE(GetFullPathName("/abc", buffer, 4));
}

TEST_F(FileSpecTest, DefaultDirectoryFollowsSetDefaultDirectory) {
  FileSpec folder;
  ASSERT_EQ(noErr, MakeFileSpecFromPath((dir / "a/.").c_str(), &folder));
  UInt32 ownID = GetDirectoryID((dir / "a/.").c_str());
  ASSERT_EQ(noErr, SetDefaultDirectory(nullptr, 0, ownID));
  SInt16 volume = -5;
  UInt32 id = 0;
  unsigned char name[4] = {3, 'x', 'y', 'z'};
  EXPECT_EQ(noErr, GetDefaultDirectory(name, &volume, &id));
  EXPECT_EQ(0, name[0]);
  EXPECT_EQ(0, volume);
  EXPECT_STREQ((dir / "a").c_str(), GetDirectoryPath(id));
  // Directory ID 0 never exists, so this leaves the default alone.
  EXPECT_EQ(kErrDirNotFound, SetDefaultDirectory(nullptr, 0, 0));
  GetDefaultDirectory(nullptr, &volume, &id);
  EXPECT_STREQ((dir / "a").c_str(), GetDirectoryPath(id));
}

TEST_F(FileSpecTest, CatalogueParamBlock) {
  unsigned char name[256];
  std::string folder = dir / "a";
  name[0] = static_cast<UInt8>(folder.size());
  std::memcpy(name + 1, folder.data(), folder.size());
  CatInfoParamBlock block{name, 0, 0, 0, 0};
  ASSERT_EQ(noErr, GetCatInfoParamBlock(&block));
  EXPECT_EQ(16, block.attributes & 16);
  EXPECT_STREQ(folder.c_str(), GetDirectoryPath(block.dirID));
  EXPECT_STREQ(dir.path().c_str(), GetDirectoryPath(block.parID));
  EXPECT_EQ(1, name[0]);
  EXPECT_EQ('a', name[1]);
  block.index = 3;
  EXPECT_EQ(kErrFailed, GetCatInfoParamBlock(&block));
}

TEST(FileSpecStartup, InitDefaultDirectoryLeavesTheDefaultZero) {
  auto child = testsupport::RunInChild([] {
    SetExecutablePathForTesting("/opt/game/Kestrova/Contents/MacOS/Kestrova");
    ExitDirectoryIDTable();  // what earlier tests registered
    InitDirectoryIDTable();
    InitDefaultDirectory();
    SInt16 volume = 7;
    UInt32 id = 7;
    GetDefaultDirectory(nullptr, &volume, &id);
    if (volume != 0 || id != 0) std::exit(2);
    // The executable's folder was registered first.
    if (std::string(GetDirectoryPath(1)) != "/opt/game/Kestrova/Contents/MacOS") std::exit(3);
    ExitDirectoryIDTable();
    if (GetDirectoryPath(1) != nullptr) std::exit(4);
  });
  EXPECT_EQ(0, child.exitStatus) << child.stderrText;
}

}  // namespace
