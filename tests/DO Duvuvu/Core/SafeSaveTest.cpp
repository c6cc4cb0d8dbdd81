#include "SafeSave.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileSpec.h"
#include "TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunInChild;
using testsupport::WriteFile;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SafeSave, ReplacesTheWholeFileAndKeepsItsMode) {
  testsupport::TempDir dir;
  std::string path = dir / "prefs.plist";
  ASSERT_TRUE(WriteFile(path, "an old and much longer text"));
  ASSERT_EQ(0, chmod(path.c_str(), 0640));
  EXPECT_EQ(noErr, SafeSaveBytes(path.c_str(), "new", 3));
  EXPECT_EQ("new", ReadFile(path));
  struct stat info;
  ASSERT_EQ(0, stat(path.c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 0777);
  EXPECT_EQ(std::vector<std::string>{"prefs.plist"}, Names(dir.path()));
}

TEST(SafeSave, CreatesAMissingFile) {
  testsupport::TempDir dir;
  SafeSave save;
  std::FILE* stream = save.Open((dir / "fresh").c_str());
  ASSERT_NE(nullptr, stream);
  std::fputs("text", stream);
  EXPECT_EQ("", ReadFile(dir / "fresh"));
  EXPECT_EQ(noErr, save.Commit());
  EXPECT_EQ("text", ReadFile(dir / "fresh"));
  EXPECT_EQ(kErrIO, save.Commit());
}

TEST(SafeSave, AbandonLeavesTheOldFile) {
  testsupport::TempDir dir;
  std::string path = dir / "keep";
  ASSERT_TRUE(WriteFile(path, "old"));
  {
    SafeSave save;
    std::FILE* stream = save.Open(path.c_str());
    ASSERT_NE(nullptr, stream);
    std::fputs("half", stream);
  }
  EXPECT_EQ("old", ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"keep"}, Names(dir.path()));
}

TEST(SafeSave, FailuresReportAndLeaveNothingBehind) {
  testsupport::TempDir dir;
  EXPECT_EQ(kErrIO, SafeSaveBytes((dir / "no/such/folder/file").c_str(), "x", 1));
  EXPECT_EQ(kErrIO, SafeSaveBytes("", "x", 1));
  std::string path = dir / "big";
  std::string old(10, 'o');
  ASSERT_TRUE(WriteFile(path, old));
  auto child = RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string text(5000, 'n');
    std::exit(SafeSaveBytes(path.c_str(), text.data(), text.size()) == kErrIO ? 0 : 2);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(0, child.exitStatus);
  EXPECT_EQ(old, ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"big"}, Names(dir.path()));
}

// A save killed mid-write leaves its temporary file; the next save of the
// same target clears them, and nothing that only looks alike.
TEST(SafeSave, ASaveRemovesStaleTemporaryFilesOfItsTarget) {
  testsupport::TempDir dir;
  std::string path = dir / "prefs.plist";
  ASSERT_TRUE(WriteFile(path, "old"));
  for (const char* stale : {".prefs.plist.a1B2c3", ".prefs.plist.XXXXXX", ".prefs.plist.zzzzzz"})
    ASSERT_TRUE(WriteFile(dir / stale, "half"));
  const std::vector<std::string> kept = {
      ".other.plist.a1B2c3",   // another target's
      ".prefs.plist.a1B2c",    // too short
      ".prefs.plist.a1B2c3d",  // too long
      ".prefs.plist.a1-2c3",   // a character the pattern never makes
      "prefs.plist.a1B2c3",    // not hidden
  };
  for (const std::string& name : kept) ASSERT_TRUE(WriteFile(dir / name, "keep"));
  ASSERT_EQ(0, mkdir((dir / ".prefs.plist.Folder").c_str(), 0755));
  ASSERT_EQ(0, symlink("prefs.plist", (dir / ".prefs.plist.Linked").c_str()));

  EXPECT_EQ(noErr, SafeSaveBytes(path.c_str(), "new", 3));
  EXPECT_EQ("new", ReadFile(path));
  std::vector<std::string> expected = kept;
  expected.push_back(".prefs.plist.Folder");
  expected.push_back(".prefs.plist.Linked");
  expected.push_back("prefs.plist");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, Names(dir.path()));
  EXPECT_EQ("new", ReadFile(dir / ".prefs.plist.Linked"));  // the link still points at the target

  // The plain case: only the target is left.
  testsupport::TempDir plain;
  std::string target = plain / "Kestrova Scores.plist";
  for (const char* stale : {".Kestrova Scores.plist.Ab12Cd", ".Kestrova Scores.plist.000000",
                            ".Kestrova Scores.plist.qwerty"})
    ASSERT_TRUE(WriteFile(plain / stale, "half"));
  EXPECT_EQ(noErr, SafeSaveBytes(target.c_str(), "table", 5));
  EXPECT_EQ(std::vector<std::string>{"Kestrova Scores.plist"}, Names(plain.path()));
  EXPECT_EQ("table", ReadFile(target));
}

}  // namespace
