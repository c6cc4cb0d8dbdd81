#include "FileManager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunInChild;
using testsupport::WriteFile;

FileSpec Spec(const std::string& path) {
  FileSpec spec;
  EXPECT_EQ(noErr, MakeFileSpecFromPath(path.c_str(), &spec)) << path;
  return spec;
}

std::string Name(const FileSpec& spec) { return std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]); }

SInt16 Open(const std::string& path, SInt8 permission) {
  FileSpec spec = Spec(path);
  SInt16 refNum = -7;
  EXPECT_EQ(noErr, OpenDataFork(&spec, 0, nullptr, permission, &refNum)) << path;
  return refNum;
}

std::vector<UInt16> Units(const std::string& text) { return std::vector<UInt16>(text.begin(), text.end()); }

class FileManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"one", "two", "three", "four"}) ASSERT_TRUE(WriteFile(dir / name, "hello"));
  }
  testsupport::TempDir dir;
};

TEST_F(FileManagerTest, NumbersAreTheSmallestFree) {
  SInt16 a = Open(dir / "one", fsRdPerm);
  SInt16 b = Open(dir / "two", fsRdPerm);
  SInt16 c = Open(dir / "three", fsRdPerm);
  EXPECT_EQ(1, a);
  EXPECT_EQ(2, b);
  EXPECT_EQ(3, c);
  EXPECT_EQ(noErr, CloseFork(b));
  EXPECT_EQ(2, Open(dir / "four", fsRdPerm));
  EXPECT_EQ(kErrBadRefNum, CloseFork(b + 10));
  for (SInt16 n : {1, 2, 3}) EXPECT_EQ(noErr, CloseFile(n));
  EXPECT_EQ(0, OpenForkCountForTesting());
}

TEST_F(FileManagerTest, OpenFailures) {
  FileSpec spec = Spec(dir / "one");
  SInt16 refNum = 9;
  EXPECT_EQ(kErrFileNotFound, OpenDataFork(&spec, 0, nullptr, 0, &refNum));
  EXPECT_EQ(0, refNum);
  FileSpec missing = Spec(dir / "missing");
  EXPECT_EQ(kErrFileNotFound, OpenDataFork(&missing, 0, nullptr, fsRdPerm, &refNum));
  FileSpec unknown{0, 0xFFFFFF, {1, 'x'}};
  EXPECT_EQ(kErrFileNotFound, OpenDataFork(&unknown, 0, nullptr, fsRdPerm, &refNum));
}

TEST_F(FileManagerTest, ReadWriteAndLength) {
  SInt16 refNum = Open(dir / "one", fsRdWrPerm);
  char buffer[16] = {};
  UInt32 count = 3;
  ASSERT_EQ(noErr, ReadFork(refNum, &count, buffer));
  EXPECT_EQ(3u, count);
  EXPECT_EQ("hel", std::string(buffer, 3));
  UInt32 length = 0;
  ASSERT_EQ(noErr, GetFileEOF(refNum, &length));
  EXPECT_EQ(5u, length);
  // The length query keeps the position.
  count = 16;
  ASSERT_EQ(noErr, ReadFork(refNum, &count, buffer));
  EXPECT_EQ(2u, count);
  EXPECT_EQ("lo", std::string(buffer, 2));
  count = 16;
  EXPECT_EQ(noErr, ReadFork(refNum, &count, buffer));
  EXPECT_EQ(0u, count);

  ASSERT_EQ(noErr, SetFPos(refNum, fsFromStart, 1));
  count = 2;
  ASSERT_EQ(noErr, WriteFork(refNum, &count, "EL"));
  EXPECT_EQ(2u, count);
  EXPECT_EQ("hELlo", ReadFile(dir / "one"));
  ASSERT_EQ(noErr, SetEOF(refNum, 0));
  EXPECT_EQ("", ReadFile(dir / "one"));
  CloseFork(refNum);
}

TEST_F(FileManagerTest, UnknownNumberComesBeforeTheModeCheck) {
  UInt32 count = 1;
  char byte;
  UInt32 length;
  EXPECT_EQ(kErrBadRefNum, SetFPos(40, 2, 0));
  EXPECT_EQ(kErrBadRefNum, SetEOF(40, 5));
  EXPECT_EQ(kErrBadRefNum, ReadFork(40, &count, &byte));
  EXPECT_EQ(kErrBadRefNum, WriteFork(40, &count, &byte));
  EXPECT_EQ(kErrBadRefNum, GetFileEOF(40, &length));
}

TEST_F(FileManagerTest, OtherPositionModesAndLengthsEndTheProgram) {
  struct Case {
    bool position;
    const char* caption;
  } cases[] = {
      {true, "for now, the only posMode accepted for SetFPos is fsFromStart"},
      {false, "for now, the only EOF accepted for SetEOF is 0"},
  };
  for (const Case& c : cases) {
    std::string path = dir / "one";
    auto child = RunInChild([&] {
      SInt16 refNum = Open(path, fsRdWrPerm);
      if (c.position)
        SetFPos(refNum, 2, 0);
      else
        SetEOF(refNum, 3);
    });
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(1, child.exitStatus);
    EXPECT_NE(std::string::npos, child.stderrText.find(std::string(c.caption) + ": \"" + c.caption + "\""))
        << child.stderrText;
  }
  EXPECT_EQ("hello", ReadFile(dir / "one"));
}

TEST_F(FileManagerTest, WriteOnlyPermissionCreatesAndEmpties) {
  SInt16 refNum = Open(dir / "two", fsWrPerm);
  EXPECT_EQ("", ReadFile(dir / "two"));
  CloseFork(refNum);
  refNum = Open(dir / "new", fsWrPerm);
  UInt32 count = 2;
  EXPECT_EQ(noErr, WriteFork(refNum, &count, "ok"));
  CloseFork(refNum);
  EXPECT_EQ("ok", ReadFile(dir / "new"));
}

// As root every file is writable, so the check runs as nobody.
void DropRoot() {
  if (geteuid() == 0) {
    ASSERT_EQ(0, setgid(65534));
    ASSERT_EQ(0, setuid(65534));
  }
}

TEST_F(FileManagerTest, ReadOnlyFileOpenedForWritingRefusesWrites) {
  std::string path = dir / "locked";
  ASSERT_TRUE(WriteFile(path, "keep"));
  ASSERT_EQ(0, chmod(path.c_str(), 0444));
  chmod(dir.path().c_str(), 0755);
  auto child = RunInChild([&] {
    DropRoot();
    FileSpec spec;
    if (MakeFileSpecFromPath(path.c_str(), &spec) != noErr) std::exit(10);
    SInt16 refNum = 0;
    if (OpenDataFork(&spec, 0, nullptr, fsWrPerm, &refNum) != noErr || refNum < 1) std::exit(11);
    UInt32 count = 3;
    if (WriteFork(refNum, &count, "bad") != kErrIO || count != 0) std::exit(12);
    if (SetEOF(refNum, 0) != kErrIO) std::exit(13);
    char buffer[8];
    count = 8;
    if (ReadFork(refNum, &count, buffer) != noErr || count != 4) std::exit(14);
    if (ReplaceForkContents(refNum, "new", 3) != kErrIO) std::exit(15);
    std::exit(0);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(0, child.exitStatus) << child.stderrText;
  EXPECT_EQ("keep", ReadFile(path));
}

TEST_F(FileManagerTest, ReplaceForkContentsReopensAtTheEnd) {
  ASSERT_TRUE(WriteFile(dir / "long", "a much longer old text"));
  SInt16 refNum = Open(dir / "long", fsRdWrPerm);
  ASSERT_EQ(noErr, ReplaceForkContents(refNum, "short", 5));
  EXPECT_EQ("short", ReadFile(dir / "long"));
  UInt32 count = 1;
  ASSERT_EQ(noErr, WriteFork(refNum, &count, "!"));
  EXPECT_EQ("short!", ReadFile(dir / "long"));
  EXPECT_EQ(kErrBadRefNum, ReplaceForkContents(99, "x", 1));
  CloseFork(refNum);
}

TEST_F(FileManagerTest, EmptyFolderListsDotsThenEnds) {
  ASSERT_EQ(0, mkdir((dir / "empty").c_str(), 0777));
  FileSpec folder = Spec(dir / "empty");
  FolderIterator* iterator = nullptr;
  ASSERT_EQ(noErr, OpenFolderIterator(&folder, 0, &iterator));
  FileSpec item;
  FSRef ref;
  ASSERT_EQ(noErr, NextFolderItem(iterator, 1, nullptr, nullptr, 0, nullptr, &ref, &item));
  EXPECT_EQ("empty", Name(item));  // "." is the folder itself
  ASSERT_EQ(noErr, NextFolderItem(iterator, 1, nullptr, nullptr, 0, nullptr, &ref, &item));
  FileSpec parent = item;  // ".." is the folder above
  EXPECT_EQ(dir.path().substr(dir.path().rfind('/') + 1), Name(parent));
  EXPECT_EQ(kErrNoMoreItems, NextFolderItem(iterator, 1, nullptr, nullptr, 0, nullptr, &ref, &item));
  EXPECT_EQ(parent.parID, item.parID);
  EXPECT_EQ(Name(parent), Name(item));
  EXPECT_EQ(parent.parID, ref.spec.parID);
  CloseFolderIterator(iterator);
}

TEST_F(FileManagerTest, ListingIsSortedAndSkipsLongNames) {
  ASSERT_EQ(0, mkdir((dir / "list").c_str(), 0777));
  for (const std::string& name : {std::string("b"), std::string("B"), std::string("a"), std::string(64, 'z')})
    ASSERT_TRUE(WriteFile(dir / ("list/" + name), ""));
  FileSpec folder = Spec(dir / "list");
  FolderIterator* iterator = nullptr;
  ASSERT_EQ(noErr, OpenFolderIterator(&folder, 0, &iterator));
  std::vector<std::string> names;
  FileSpec item;
  while (NextFolderItem(iterator, 1, nullptr, nullptr, 0, nullptr, nullptr, &item) == noErr) names.push_back(Name(item));
  CloseFolderIterator(iterator);
  ASSERT_EQ(5u, names.size());
  EXPECT_EQ((std::vector<std::string>{"B", "a", "b"}), std::vector<std::string>(names.begin() + 2, names.end()));
  FileSpec missing = Spec(dir / "nothing");
  EXPECT_EQ(kErrFileNotFound, OpenFolderIterator(&missing, 0, &iterator));
  EXPECT_EQ(nullptr, iterator);
}

TEST_F(FileManagerTest, CreateFilesAndFolders) {
  FileSpec folder = Spec(dir.path());
  std::vector<UInt16> name = Units("made");
  FileSpec made;
  ASSERT_EQ(noErr, CreateFolderInFolder(&folder, 4, name.data(), 0, nullptr, &made));
  EXPECT_TRUE(IsFolderPath((dir / "made").c_str()));
  EXPECT_EQ("made", Name(made));
  EXPECT_EQ(kErrFailed, CreateFolderInFolder(&folder, 4, name.data(), 0, nullptr, nullptr));
  // An existing file is emptied.
  std::vector<UInt16> one = Units("one");
  ASSERT_EQ(noErr, CreateFileInFolder(&folder, 3, one.data(), 0, nullptr, nullptr));
  EXPECT_EQ("", ReadFile(dir / "one"));
  std::vector<UInt16> longName = Units(std::string(64, 'q'));
  EXPECT_EQ(kErrBadName, CreateFileInFolder(&folder, 64, longName.data(), 0, nullptr, nullptr));
}

TEST_F(FileManagerTest, CatalogueInfo) {
  ASSERT_EQ(0, mkdir((dir / "sub").c_str(), 0777));
  FSCatalogInfo info;
  std::memset(&info, 0xAB, sizeof info);
  FileSpec folder = Spec(dir / "sub");
  FileSpec copy;
  UniStr255 name;
  ASSERT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoNodeFlags | kFSCatInfoVolume | kFSCatInfoNodeID |
                                                 kFSCatInfoTextEncoding,
                                    &info, &name, &copy));
  EXPECT_EQ(kFSNodeIsDirectoryMask, info.nodeFlags);
  EXPECT_EQ(0, info.volume);
  EXPECT_STREQ((dir / "sub").c_str(), GetDirectoryPath(info.nodeID));
  EXPECT_EQ(0u, info.textEncodingHint);
  EXPECT_EQ(3, name.length);
  EXPECT_EQ('s', name.unicode[0]);
  EXPECT_EQ(folder.parID, copy.parID);
  FileSpec file = Spec(dir / "one");
  ASSERT_EQ(noErr, FSGetCatalogInfo(&file, kFSCatInfoNodeFlags, &info, nullptr, nullptr));
  EXPECT_EQ(0, info.nodeFlags);
  FileSpec unknown{0, 0xFFFFFF, {0}};
  EXPECT_EQ(noErr, FSGetCatalogInfo(&unknown, 0, nullptr, nullptr, nullptr));
  Boolean alias = 1, isFolder = 0;
  EXPECT_EQ(noErr, IsAliasFile(&folder, &alias, &isFolder));
  EXPECT_EQ(0, alias);
  EXPECT_EQ(1, isFolder);
  EXPECT_EQ(kErrFileNotFound, ResolveAliasFile(&unknown, 1, &isFolder, &alias));
}

}  // namespace
