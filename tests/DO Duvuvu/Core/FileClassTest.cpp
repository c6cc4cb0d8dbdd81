#include "FileClass.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>
#include <string>

#include "AppGlobals.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunInChild;
using testsupport::WriteFile;

std::string Name(const FileSpec* spec) { return std::string(reinterpret_cast<const char*>(spec->name + 1), spec->name[0]); }

std::string PText(const unsigned char* text) { return std::string(reinterpret_cast<const char*>(text + 1), text[0]); }

void SetPText(unsigned char* out, const std::string& text) {
  out[0] = static_cast<UInt8>(text.size());
  std::memcpy(out + 1, text.data(), text.size());
}

FileClass Folder(const std::string& path) {
  FileClass folder;
  std::memset(&folder, 0, sizeof folder);
  FileClassFromPath(&folder, path.c_str());
  FileClass::SetFolder(&folder);
  return folder;
}

std::string PathOf(const FileClass& file) {
  char path[kPathBufferSize];
  GetFilePath(path, file.spec());
  return path;
}

// Sets or unsets one environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class FileClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, mkdir((dir / "folder").c_str(), 0777));
    ASSERT_EQ(0, mkdir((dir / "folder/a-sub").c_str(), 0777));
    ASSERT_TRUE(WriteFile(dir / "folder/Log.txt", "1"));
    ASSERT_TRUE(WriteFile(dir / "folder/b.txt", "2"));
    folder = Folder(dir / "folder");
  }
  testsupport::TempDir dir;
  FileClass folder;
};

TEST_F(FileClassTest, EmptyNameFindsTheFirstFileAndSkipsFolders) {
  FileClass item;
  ASSERT_EQ(noErr, FindFileInFolderC(&item, "", &folder, kAnyFileType, kAnyFileType, kFindAnyItem));
  EXPECT_EQ("Log.txt", Name(item.spec()));  // 'L' sorts before 'a' and 'b'
  EXPECT_EQ(0, item.isFolder);
  EXPECT_EQ(1, item.isValid);
}

TEST_F(FileClassTest, NamesMatchExactly) {
  FileClass item;
  EXPECT_EQ(kErrFailed, FindFileInFolderC(&item, "log.txt", &folder, kAnyFileType, kAnyFileType, kFindAnyItem));
  EXPECT_EQ(noErr, FindFileInFolderC(&item, "Log.txt", &folder, kAnyFileType, kAnyFileType, kFindFilesOnly));
  EXPECT_EQ(dir / "folder/Log.txt", PathOf(item));
  EXPECT_EQ(kErrFailed, FindFileInFolderC(&item, "Log.txt", &folder, kAnyFileType, kAnyFileType, kFindFoldersOnly));
  ASSERT_EQ(noErr, FindFileInFolderC(&item, "a-sub", &folder, kAnyFileType, kAnyFileType, kFindFoldersOnly));
  EXPECT_EQ(1, item.isFolder);
  // The folder itself ("." in its listing) is no item of it.
  EXPECT_EQ(kErrFailed, FindFileInFolderC(&item, "folder", &folder, kAnyFileType, kAnyFileType, kFindAnyItem));
  const unsigned char logName[] = "\x07Log.txt";
  EXPECT_EQ(1, NameExistsInFolder(logName, &folder));
  const unsigned char other[] = "\x07log.txt";
  EXPECT_EQ(0, NameExistsInFolder(other, &folder));
}

TEST_F(FileClassTest, FindOrCreate) {
  FileClass item;
  Boolean created = 9;
  ASSERT_EQ(noErr, FindOrCreateFileC(&item, "new.dat", &folder, kAnyFileType, kAnyFileType, &created));
  EXPECT_EQ(1, created);
  EXPECT_EQ("", ReadFile(dir / "folder/new.dat"));
  ASSERT_EQ(noErr, FindOrCreateFileC(&item, "b.txt", &folder, kAnyFileType, kAnyFileType, &created));
  EXPECT_EQ(0, created);
  EXPECT_EQ("2", ReadFile(dir / "folder/b.txt"));
  FileClass sub;
  ASSERT_EQ(noErr, FindOrCreateFolderC(&sub, "made", &folder, &created));
  EXPECT_EQ(1, created);
  EXPECT_EQ(1, sub.isFolder);
  EXPECT_TRUE(IsFolderPath((dir / "folder/made").c_str()));
  ASSERT_EQ(noErr, FindOrCreateFolderC(&sub, "made", &folder, &created));
  EXPECT_EQ(0, created);
}

TEST_F(FileClassTest, OpenCloseAndTheOpenSet) {
  FileClass item;
  ASSERT_EQ(noErr, FindFileInFolderC(&item, "b.txt", &folder, kAnyFileType, kAnyFileType, kFindFilesOnly));
  SInt32 before = GetOpenFileCount();
  ASSERT_EQ(noErr, FileClass::Open(&item, 1));
  SInt16 number = item.forkRefNum;
  EXPECT_EQ(noErr, FileClass::Open(&item, 1));
  EXPECT_EQ(number, item.forkRefNum);
  EXPECT_EQ(before + 1, GetOpenFileCount());
  EXPECT_EQ(noErr, FileClass::Close(&item));
  EXPECT_EQ(noErr, FileClass::Close(&item));
  EXPECT_EQ(before, GetOpenFileCount());
  EXPECT_EQ(1, FileClass::Open(nullptr, 0));
  EXPECT_EQ(1, FileClass::Close(nullptr));
  FileClass missing;
  std::memset(&missing, 0, sizeof missing);
  FileClassFromPath(&missing, (dir / "folder/none").c_str());
  EXPECT_EQ(kErrFileNotFound, FileClass::Open(&missing, 0));
  EXPECT_EQ(1, FileExists(&missing));  // the reference test never fails
}

struct UniqueCase {
  std::vector<std::string> present;
  std::string name;
  bool numbering;
  std::string expected;
};

TEST_F(FileClassTest, UniqueFileNames) {
  const UniqueCase cases[] = {
      {{"Log.txt", "Log copy.txt"}, "Log.txt", false, "Log copy 1.txt"},
      {{"Report"}, "Report", false, "Report copy"},
      {{"Report", "Report copy", "Report copy 1"}, "Report", false, "Report copy 2"},
      {{"Report"}, "Report", true, "Report 2"},
      {{"Report", "Report 2"}, "Report", true, "Report 3"},
      {{"a.txt"}, "a.txt", false, "a copy.txt"},
      {{}, "free.txt", false, "free.txt"},
  };
  for (const UniqueCase& c : cases) {
    testsupport::TempDir scratch;
    for (const std::string& name : c.present) ASSERT_TRUE(WriteFile(scratch / name, ""));
    FileClass where = Folder(scratch.path());
    unsigned char name[32];
    SetPText(name, c.name);
    ASSERT_EQ(noErr, UniqueFileName(name, &where, c.numbering)) << c.name;
    EXPECT_EQ(c.expected, PText(name)) << c.name;
  }
}

TEST_F(FileClassTest, UniqueFileNameNearTheLimitEnds) {
  std::string base(30, 'n');
  ASSERT_TRUE(WriteFile(dir / base, ""));
  FileClass where = Folder(dir.path());
  unsigned char name[32];
  for (int round = 0; round < 4; ++round) {
    SetPText(name, base);
    ASSERT_EQ(noErr, UniqueFileName(name, &where, 0));
    std::string made = PText(name);
    EXPECT_LE(made.size(), 31u);
    EXPECT_FALSE(IsFolderPath((dir / made).c_str()));
    EXPECT_TRUE(ReadFile(dir / made).empty());
    ASSERT_TRUE(WriteFile(dir / made, "x")) << made;
  }
  // An extension that leaves no room for a number gives up.
  std::string wide = "a." + std::string(29, 'e');
  ASSERT_TRUE(WriteFile(dir / wide, ""));
  SetPText(name, wide);
  EXPECT_EQ(kErrFailed, UniqueFileName(name, &where, 0));
}

TEST(ParseCopyNumberTest, Table) {
  struct Case {
    const char* name;
    bool numbering;
    SInt32 number;
    const char* left;
  } cases[] = {
      {"Report copy", false, -1, "Report copy"}, {"Report copy 7", false, 7, "Report copy "},
      {"Report 7", false, 0, "Report 7"},        {"Report 7", true, 7, "Report "},
      {"Log", false, 0, "Log"},                  {"12345678", true, 0, "12345678"},
  };
  for (const Case& c : cases) {
    unsigned char name[32];
    SetPText(name, c.name);
    EXPECT_EQ(c.number, ParseCopyNumber(name, c.numbering)) << c.name;
    EXPECT_EQ(c.left, PText(name)) << c.name;
  }
}

TEST_F(FileClassTest, ParentFolder) {
  FileClass item;
  ASSERT_EQ(noErr, FindFileInFolderC(&item, "b.txt", &folder, kAnyFileType, kAnyFileType, kFindFilesOnly));
  FileClass parent;
  ASSERT_EQ(noErr, GetParentFolderClass(&item, &parent));
  EXPECT_EQ(dir / "folder", PathOf(parent));
  EXPECT_EQ(1, parent.isFolder);
}

TEST_F(FileClassTest, WorkingFolderAndItsStack) {
  char start[kPathBufferSize];
  ASSERT_NE(nullptr, getcwd(start, sizeof start));
  PushWorkingFolder();
  ASSERT_EQ(1, SetWorkingFolder(&folder));
  char now[kPathBufferSize];
  ASSERT_NE(nullptr, getcwd(now, sizeof now));
  EXPECT_EQ(dir / "folder", now);
  SInt16 volume;
  UInt32 id;
  GetDefaultDirectory(nullptr, &volume, &id);
  EXPECT_STREQ((dir / "folder").c_str(), GetDirectoryPath(id));

  // A file is no folder: the default stays.
  FileClass file = Folder(dir / "folder/b.txt");
  FileSpec previous;
  EXPECT_EQ(kErrDirNotFound, SetDefaultFolder(file.spec(), &previous));
  EXPECT_EQ(kErrParam, SetDefaultFolder(nullptr, nullptr));
  GetDefaultDirectory(nullptr, &volume, &id);
  EXPECT_STREQ((dir / "folder").c_str(), GetDirectoryPath(id));

  PushWorkingFolder();
  ASSERT_EQ(1, SetWorkingFolderPath((dir / "folder/a-sub").c_str()));
  ASSERT_NE(nullptr, getcwd(now, sizeof now));
  EXPECT_EQ(dir / "folder/a-sub", now);
  PopWorkingFolder();
  ASSERT_NE(nullptr, getcwd(now, sizeof now));
  EXPECT_EQ(dir / "folder", now);
  GetDefaultDirectory(nullptr, &volume, &id);
  EXPECT_STREQ((dir / "folder").c_str(), GetDirectoryPath(id));
  PopWorkingFolder();
  ASSERT_NE(nullptr, getcwd(now, sizeof now));
  EXPECT_STREQ(start, now);
}

TEST_F(FileClassTest, NormalizePathText) {
  char out[1024];
  NormalizePathText(out, "C\\Games\\x", sizeof out);
  EXPECT_STREQ("C/Games/x", out);
  NormalizePathText(out, "", sizeof out);
  EXPECT_STREQ("", out);
}

// AppData ------------------------------------------------------------------------

struct AppDataCase {
  const char* label;
  bool appData;
  bool xdg;
  bool home;
  std::string expected;  // relative to the temp folder
};

TEST_F(FileClassTest, AppDataFolderChoice) {
  const AppDataCase cases[] = {
      {"AppData wins", true, true, true, "appdata"},
      {"XDG_DATA_HOME", false, true, true, "xdg"},
      {"HOME", false, false, true, "home/.local/share"},
  };
  for (const AppDataCase& c : cases) {
    testsupport::TempDir root;
    ScopedEnv appData("AppData", c.appData ? std::optional<std::string>(root / "appdata") : std::nullopt);
    ScopedEnv xdg("XDG_DATA_HOME", c.xdg ? std::optional<std::string>(root / "xdg") : std::nullopt);
    ScopedEnv home("HOME", c.home ? std::optional<std::string>(root / "home") : std::nullopt);
    FileClass prefs;
    std::memset(&prefs, 0, sizeof prefs);
    FindPreferencesFolder(&prefs, 0);
    EXPECT_EQ(root / c.expected, PathOf(prefs)) << c.label;
    EXPECT_TRUE(IsFolderPath((root / c.expected).c_str())) << c.label;
    EXPECT_EQ(1, prefs.isFolder);
    FileClass support;
    std::memset(&support, 0, sizeof support);
    EXPECT_EQ(1, FindApplicationSupportFolder(&support, 0));
    EXPECT_EQ(root / c.expected, PathOf(support)) << c.label;
  }
}

TEST_F(FileClassTest, AppDataEmptyOrRelativeIsPassedOver) {
  testsupport::TempDir root;
  ScopedEnv appData("AppData", std::string());
  ScopedEnv xdg("XDG_DATA_HOME", std::string("relative/xdg"));
  ScopedEnv home("HOME", root / "home");
  char path[kPathBufferSize];
  ASSERT_TRUE(GetAppDataFolderPath(path, sizeof path));
  EXPECT_EQ(root / "home/.local/share", path);
  struct stat info;
  ASSERT_EQ(0, stat(path, &info));
  EXPECT_EQ(0700u, info.st_mode & 0777);
}

TEST_F(FileClassTest, NoAppDataEndsThePreferencesSearch) {
  auto child = RunInChild([] {
    unsetenv("AppData");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    FileSpec spec;
    if (FindSpecialFolder(kUserDomain, FOUR_CHAR_CODE("asup"), 1, &spec) != kErrMemFull) std::exit(3);
    FileClass support;
    std::memset(&support, 0, sizeof support);
    if (FindApplicationSupportFolder(&support, 0) != 0) std::exit(4);
    FileClass prefs;
    FindPreferencesFolder(&prefs, 0);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos, child.stderrText.find("-108: Error: Unable to locate the Preferences folder."))
      << child.stderrText;
}

TEST_F(FileClassTest, OtherSpecialFoldersEndTheProgram) {
  FileSpec spec;
  EXPECT_EQ(kErrMemFull, FindSpecialFolder(kUserDomain, FOUR_CHAR_CODE("desk"), 1, &spec));
  struct Case {
    void (*find)(FileClass*);
    const char* message;
  } cases[] = {
      {FindDesktopFolder, "-108: Error: Unable to locate the Desktop folder."},
      {FindTemporaryFolder, "-108: Error: Unable to locate the Temporary folder."},
      {FindSharedFolder, "-108: Error: Unable to locate the Shared folder."},
      {[](FileClass* f) { MoveToTrash(f); }, "MoveToTrash(): Error: Unable to locate the trash folder."},
  };
  for (const Case& c : cases) {
    auto child = RunInChild([&] {
      FileClass file;
      std::memset(&file, 0, sizeof file);
      c.find(&file);
    });
    EXPECT_EQ(1, child.exitStatus);
    EXPECT_NE(std::string::npos, child.stderrText.find(c.message)) << child.stderrText;
  }
}

TEST_F(FileClassTest, InitApplicationFoldersMakesTheApplicationFolder) {
  ScopedEnv appData("AppData", dir / "appdata");
  InitFileClassGlobals();
  SetPText(ApplicationName, "Kestrova");
  InitApplicationFolders();
  EXPECT_TRUE(IsFolderPath((dir / "appdata/Kestrova").c_str()));
  EXPECT_EQ(dir / "appdata/Kestrova", PathOf(gApplicationDataFolder));
  EXPECT_EQ(1, gApplicationDataFolder.isFolder);
  // Once only.
  ASSERT_EQ(0, rmdir((dir / "appdata/Kestrova").c_str()));
  InitApplicationFolders();
  EXPECT_FALSE(IsFolderPath((dir / "appdata/Kestrova").c_str()));
  ResetApplicationFoldersForTesting();
}

TEST(FileClassRecord, ClearKeepsTheReferenceAndCopySkipsTheCatalogue) {
  FileClass a;
  std::memset(&a, 0x5A, sizeof a);
  FileClass::Clear(&a);
  EXPECT_EQ(0, a.isOpen);
  EXPECT_EQ(0, a.isValid);
  EXPECT_EQ(0u, a.state);
  EXPECT_EQ(0x5A, a.reference.spec.name[0]);
  FileClass b;
  std::memset(&b, 0, sizeof b);
  FileClass::Copy(&b, &a);
  EXPECT_EQ(0x5A, b.reference.spec.name[0]);
  EXPECT_EQ(0, b.catalogInfo.nodeFlags);
  EXPECT_EQ(&a, FileClass::Copy(&a, &a));
}

TEST(FileClassRecord, GetSubDirectoryOfAFileEndsTheProgram) {
  auto child = RunInChild([] {
    FileClass file;
    std::memset(&file, 0, sizeof file);
    GetSubDirectory(&file);
  });
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos, child.stderrText.find("GetSubDirectory(): Error: The FileClass is not a folder."));
}

TEST(FileClassRecord, TypeListIsBigEndian) {
  ApplicationCreator = FOUR_CHAR_CODE("KSTV");
  OSType types[2] = {FOUR_CHAR_CODE("TEXT"), FOUR_CHAR_CODE("PNGf")};
  Handle list = NewTypeList(types, 2);
  ASSERT_NE(nullptr, list);
  const unsigned char expected[] = {'K', 'S', 'T', 'V', 0, 0, 0, 2, 'T', 'E', 'X', 'T', 'P', 'N', 'G', 'f'};
  EXPECT_EQ(0, std::memcmp(expected, *list, sizeof expected));
  DisposeHandleBlock(list);
}

}  // namespace
