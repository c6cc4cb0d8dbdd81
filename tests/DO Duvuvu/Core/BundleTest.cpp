#include "Bundle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "AppGlobals.h"
#include "FileClass.h"
#include "ProcessBundle.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

using testsupport::RunInChild;
using testsupport::WriteFile;

std::string PText(const unsigned char* text) { return std::string(reinterpret_cast<const char*>(text + 1), text[0]); }

std::string InfoPlist(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
         "\t<key>CFBundleVersion</key>\n\t<string>" +
         version + "</string>\n</dict>\n</plist>\n";
}

FileSpec gHookSpec;
int gHookCalls = 0;

OSErr RecordFontFolder(const FileSpec* folder) {
  gHookSpec = *folder;
  ++gHookCalls;
  return noErr;
}

// T/Kestrova/Contents/{MacOS/Kestrova, Info.plist, Resources/{Fonts,...}} with
// the executable path pointing into it.
class BundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedExe_ = ExecutablePath();
    ASSERT_NE(nullptr, getcwd(savedCwd_, sizeof savedCwd_));
    bundle = dir / "Kestrova";
    for (const char* sub : {"", "/Contents", "/Contents/MacOS", "/Contents/Resources", "/Contents/Resources/Fonts",
                            "/Contents/Resources/Sounds", "/Contents/Resources/Music", "/Contents/Resources/Layouts"})
      ASSERT_EQ(0, mkdir((bundle + sub).c_str(), 0777)) << sub;
    ASSERT_TRUE(WriteFile(bundle + "/Contents/MacOS/Kestrova", "#!"));
    SetExecutablePathForTesting(bundle + "/Contents/MacOS/Kestrova");
  }
  void TearDown() override {
    SetExecutablePathForTesting(savedExe_);
    ReleaseBundleResources();
    SetFontFolderHook(nullptr);
    ASSERT_EQ(0, chdir(savedCwd_));
  }
  void WriteVersion(const std::string& version) {
    ASSERT_TRUE(WriteFile(bundle + "/Contents/Info.plist", InfoPlist(version)));
  }

  testsupport::TempDir dir;
  std::string bundle;

 private:
  std::string savedExe_;
  char savedCwd_[kPathBufferSize];
};

TEST_F(BundleTest, PathsComeFromTheExecutable) {
  char path[kPathBufferSize];
  GetApplicationBundlePath(path);
  EXPECT_EQ(bundle, path);
  GetBundleResourcesPath(path);
  EXPECT_EQ(bundle + "/Contents/Resources", path);
  EXPECT_STREQ("/", GetPathSeparatorString());
  char small[8];
  GetApplicationBundlePath(small, sizeof small);
  EXPECT_STREQ("", small);
}

TEST_F(BundleTest, ActivateMakesResourcesTheWorkingFolderAndHandsOverFonts) {
  SetFontFolderHook(RecordFontFolder);
  gHookCalls = 0;
  ASSERT_EQ(noErr, ActivateBundleResources(nullptr));
  char cwd[kPathBufferSize];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  EXPECT_EQ(bundle + "/Contents/Resources", cwd);
  EXPECT_EQ(1, gHookCalls);
  char fonts[kPathBufferSize];
  ASSERT_EQ(noErr, GetFileSpecPath(&gHookSpec, fonts, sizeof fonts));
  EXPECT_EQ(bundle + "/Contents/Resources/Fonts", fonts);
  char resources[kPathBufferSize];
  GetFilePath(resources, gResourcesFolder.spec());
  EXPECT_EQ(bundle + "/Contents/Resources", resources);
  SInt16 volume;
  UInt32 id;
  GetDefaultDirectory(nullptr, &volume, &id);
  EXPECT_EQ(bundle + "/Contents/Resources", GetDirectoryPath(id));
}

struct VersionCase {
  const char* text;
  const char* longForm;
  const char* shortForm;
};

TEST_F(BundleTest, VersionFromInfoPlist) {
  const VersionCase cases[] = {
      {"1.0b4", "1.0 - Beta 4", "1.0b4"},
      {"2.1.3a7", "2.1.3 - Alpha 7", "2.1.3a7"},
      {"2.1fc2", "2.1 - Final Candidate 2", "2.1fc2"},
      {"1.0d3", "1.0 - Developer 3", "1.0d3"},
      {"3", "3.0", "3.0"},
      {"1.0", "1.0", "1.0"},
      {"1.2.3.4.5", "1.2.3 - Final Candidate 4", "1.2.3fc4"},
  };
  for (const VersionCase& c : cases) {
    WriteVersion(c.text);
    VersionNumber version = 0;
    Str255 text;
    GetApplicationVersion(&version, text, 1);
    EXPECT_EQ(c.longForm, PText(text)) << c.text;
    VersionToString(version, text, 0);
    EXPECT_EQ(c.shortForm, PText(text)) << c.text;
  }
}

TEST_F(BundleTest, VersionWithoutTheKeyIsZero) {
  ASSERT_TRUE(WriteFile(bundle + "/Contents/Info.plist", "<dict>\r<key>Other</key>\r<string>9</string>\r</dict>"));
  VersionNumber version = 7;
  Str255 text;
  GetApplicationVersion(&version, text, 1);
  EXPECT_EQ("0.0", PText(text));
  EXPECT_EQ(0x00008000u, version);
}

TEST_F(BundleTest, MissingInfoPlistEndsTheProgram) {
  auto child = RunInChild([] {
    VersionNumber version;
    Str255 text;
    GetApplicationVersion(&version, text, 1);
  });
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos, child.stderrText.find("FSRefIsValid(): Error: Unable to determine the application version."))
      << child.stderrText;
}

TEST_F(BundleTest, FrameworksFolderAndProcessIdentity) {
  StringObject name("Carbon.framework");
  BundleObject* framework = nullptr;
  EXPECT_EQ(noErr, LoadFrameworkBundle(&name, &framework));
  ASSERT_NE(nullptr, framework);
  ReleaseObject(framework);

  ProcessSerialNumber current;
  GetCurrentProcessSerial(&current);
  FileSpec spec;
  ASSERT_EQ(noErr, GetProcessBundleSpec(&current, &spec));
  char path[kPathBufferSize];
  ASSERT_EQ(noErr, GetFileSpecPath(&spec, path, sizeof path));
  EXPECT_EQ(bundle, path);
  unsigned char processName[64];
  ProcessInfoRec info{processName, &spec};
  ASSERT_EQ(noErr, GetProcessInfo(&current, &info));
  EXPECT_EQ("Kestrova", PText(processName));
  ProcessSerialNumber other{1, current.low};
  EXPECT_EQ(kErrFileNotFound, GetProcessBundleSpec(&other, &spec));
}

TEST_F(BundleTest, FrameworksNeedTheMacOSFolder) {
  SetExecutablePathForTesting(dir / "Elsewhere/Contents/MacOS/Kestrova");
  StringObject name("Carbon.framework");
  BundleObject* framework = nullptr;
  EXPECT_EQ(-4960, LoadFrameworkBundle(&name, &framework));
  EXPECT_EQ(nullptr, framework);
  SetExecutablePathForTesting("/kestrova");
  EXPECT_EQ(kErrMemFull, LoadFrameworkBundle(&name, &framework));
}

TEST_F(BundleTest, InitApplicationFoldersTakesTheBundle) {
  testsupport::TempDir data;
  setenv("AppData", data.path().c_str(), 1);
  InitFileClassGlobals();
  InitBundleDefaults();
  std::memcpy(ApplicationName, "\x08Kestrova", 9);
  InitApplicationFolders();
  char path[kPathBufferSize];
  GetFilePath(path, gApplicationFile.spec());
  EXPECT_EQ(bundle, path);
  GetFilePath(path, gApplicationFolder.spec());
  EXPECT_EQ(dir.path(), path);
  GetFilePath(path, gLaunchFile.spec());
  EXPECT_EQ(bundle, path);
  ResetApplicationFoldersForTesting();
  unsetenv("AppData");
  EXPECT_EQ(640, gWindowSizes[0].width);
  EXPECT_EQ(480, gWindowSizes[1].height);
  EXPECT_EQ(1, gUseBundle);
}

TEST(Versions, ParseAndFormat) {
  const unsigned char fifteen[] = "\x03" "1.5";
  VersionNumber v = StringToVersion(fifteen);
  EXPECT_EQ(MakeVersion(1, 5, 0, 0), v);
  const unsigned char three[] = "\x05" "2.3.4";
  EXPECT_EQ(MakeVersion(2, 3, 4, 0), StringToVersion(three));
  VersionNumber beta = MakeVersion(1, 2, 0, kBetaStage) | 1;
  VersionNumber final = MakeVersion(1, 2, 0, kFinalStage);
  EXPECT_EQ(0, CompareVersions(&beta, &final));
  VersionNumber newer = MakeVersion(1, 2, 1, 0);
  EXPECT_EQ(1, CompareVersions(&newer, &final));
  EXPECT_EQ(-1, CompareVersions(&final, &newer));
  Str255 text;
  VersionToString(MakeVersion(1, 0, 1, kFinalStage), text, 1);
  EXPECT_EQ("1.0.1", PText(text));
  VersionToString(MakeVersion(1, 2, 0, 0x10) | 5, text, 1);
  EXPECT_EQ("1.2 -  5", PText(text));
  VersionToString(MakeVersion(1, 2, 0, 0x10) | 5, text, 0);
  EXPECT_EQ("1.25", PText(text));
}

TEST(Versions, BadFormatEndsTheProgram) {
  auto child = RunInChild([] {
    const unsigned char text[] = "\x04" "1.5.";
    StringToVersion(text);
  });
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos,
            child.stderrText.find("Error: Version string must be in the format \"X\" or \"X.X\" or \"X.X.X\""))
      << child.stderrText;
}

TEST(Versions, PathFileName) {
  char name[64];
  GetPathFileName(name, "Music/Title.ogg", 0);
  EXPECT_STREQ("Title", name);
  GetPathFileName(name, "Music/Title.ogg", 1);
  EXPECT_STREQ("Title.ogg", name);
  GetPathFileName(name, ".hidden", 0);
  EXPECT_STREQ(".hidden", name);
}

}  // namespace
