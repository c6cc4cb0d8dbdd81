#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "AudioPrefsHooks.h"
#include "MainPrefs.h"
#include "PlistTag.h"
#include "Strings.h"
#include "TestSupport.h"

namespace {

std::string Text(ConstStringPtr s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

// AppData points into a fresh folder for each test.
class MainPrefsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("AppData");
    if (old) savedAppData_ = old;
    hadAppData_ = old != nullptr;
    appData_ = dir_ / "appdata";
    setenv("AppData", appData_.c_str(), 1);
    prefs_.SetFileName("Kestrova Preferences");
  }
  void TearDown() override {
    if (hadAppData_)
      setenv("AppData", savedAppData_.c_str(), 1);
    else
      unsetenv("AppData");
    SetAudioPrefsHooks(nullptr, nullptr);
    EngineSettings[kSettingOnlinePrefs] = 0;
  }
  std::string PrefsPath() const { return appData_ + "/Kestrova Preferences.plist"; }

  testsupport::TempDir dir_;
  std::string appData_;
  MainPrefs prefs_{};

 private:
  std::string savedAppData_;
  bool hadAppData_ = false;
};

TEST_F(MainPrefsTest, SaveThenLoadGivesTheValuesBack) {
  PlistTag root;
  PlistTag::NewTag(&root, "string", "Player", "R&D <1>");
  prefs_.monitorMode = 2;
  prefs_.fullScreen = 0;
  prefs_.graphicsMode = 1;
  ASSERT_EQ(prefs_.Save(&root), 0);
  const std::string text = testsupport::ReadFile(PrefsPath());
  EXPECT_NE(text.find("<key>Monitor Mode</key>\r\t<integer>2</integer>"), std::string::npos) << text;
  EXPECT_NE(text.find("<key>Audio Prefs</key>\r\t<dict>"), std::string::npos) << "the audio stand-in's dict";
  EXPECT_EQ(text.find("Online Prefs"), std::string::npos);

  MainPrefs loaded{};
  loaded.SetFileName("Kestrova Preferences");
  PlistTag back;
  ASSERT_EQ(loaded.Load(&back), 0);
  EXPECT_EQ(loaded.monitorMode, 2);
  EXPECT_EQ(loaded.fullScreen, 0);
  EXPECT_EQ(loaded.graphicsMode, 1);
  PlistTag* player = PlistTag::FindTag(&back, "string", "Player", 0);
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(Text(player->value), "R&D <1>");
  EXPECT_EQ(ListFolder(appData_), std::vector<std::string>{"Kestrova Preferences.plist"});
}

TEST_F(MainPrefsTest, LoadWithoutAFileSetsTheDefaults) {
  PlistTag root;
  PlistTag::NewTag(&root, "string", "Kept", "");
  prefs_.monitorMode = 0;
  EXPECT_EQ(prefs_.Load(&root), -3);
  EXPECT_EQ(prefs_.monitorMode, 1);
  EXPECT_EQ(prefs_.fullScreen, 1);
  EXPECT_EQ(prefs_.graphicsMode, 1);
  EXPECT_EQ(root.child.count, 1u) << "the root is untouched";
}

// A <boolean> element with text in it reads as a boolean whose text is
// neither "true/" nor "false/": such a flag, like a missing key, keeps the
// value it had, whichever that was.
TEST_F(MainPrefsTest, UnknownTextsAndMissingKeysLeaveTheValues) {
  PlistTag root;
  prefs_.Save(&root);  // makes the folder
  ASSERT_TRUE(testsupport::WriteFile(
      PrefsPath(), "<dict><key>Full Screen</key><boolean>yes</boolean><key>Graphics Mode</key><false/></dict>"));
  for (UInt8 before : {UInt8{0}, UInt8{1}}) {
    SCOPED_TRACE(int(before));
    prefs_.monitorMode = 7;
    prefs_.fullScreen = before;
    prefs_.graphicsMode = 1;
    EXPECT_EQ(prefs_.Load(&root), 0);
    PlistTag* odd = PlistTag::FindTag(&root, "boolean", "Full Screen", 0);
    ASSERT_NE(odd, nullptr) << "the file holds a Full Screen boolean";
    EXPECT_NE(Text(odd->value), "true/");
    EXPECT_NE(Text(odd->value), "false/");
    EXPECT_EQ(prefs_.monitorMode, 7);
    EXPECT_EQ(prefs_.fullScreen, before);
    EXPECT_EQ(prefs_.graphicsMode, 0);
  }
}

TEST_F(MainPrefsTest, HooksAndTheOnlineSwitch) {
  static int writes;
  static int reads;
  writes = reads = 0;
  SetAudioPrefsHooks([](PlistTag*) { ++writes; }, [](PlistTag*) { ++reads; });
  EngineSettings[kSettingOnlinePrefs] = 1;
  PlistTag root;
  ASSERT_EQ(prefs_.Save(&root), 0);
  EXPECT_NE(PlistTag::FindTag(&root, "dict", "Online Prefs", 0), nullptr);
  EXPECT_EQ(PlistTag::FindTag(&root, "dict", "Audio Prefs", 0), nullptr) << "the installed writer replaces the stand-in";
  PlistTag back;
  ASSERT_EQ(prefs_.Load(&back), 0);
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(reads, 1);
}

TEST_F(MainPrefsTest, AFailedSaveKeepsTheOldFile) {
  PlistTag root;
  ASSERT_EQ(prefs_.Save(&root), 0);
  const std::string before = testsupport::ReadFile(PrefsPath());
  ASSERT_GT(before.size(), 16u);
  auto result = testsupport::RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    PlistTag tree;
    PlistTag::NewTag(&tree, "string", "Big", std::string(200, 'b').c_str());
    std::exit(prefs_.Save(&tree) == -3 ? 0 : 2);
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
  EXPECT_EQ(testsupport::ReadFile(PrefsPath()), before);
  EXPECT_EQ(ListFolder(appData_), std::vector<std::string>{"Kestrova Preferences.plist"}) << "no temporary file left";
}

TEST_F(MainPrefsTest, MisuseIsFatal) {
  struct Case {
    bool named;
    bool withRoot;
    const char* line;
  } cases[] = {
      {false, true, "Error: Must call MainPrefs::SetFileName() before MainPrefs:Load()"},
      {true, false, "Error: MainPrefs:Load() requires a valid PLIST dictionary to return custom prefs."},
  };
  for (const Case& c : cases) {
    for (bool save : {false, true}) {
      auto result = testsupport::RunInChild([&] {
        MainPrefs prefs{};
        if (c.named) prefs.SetFileName("P");
        PlistTag root;
        PlistTag* tree = c.withRoot ? &root : nullptr;
        if (save)
          prefs.Save(tree);
        else
          prefs.Load(tree);
      });
      EXPECT_EQ(result.exitStatus, 1);
      EXPECT_NE(result.stderrText.find(c.line), std::string::npos) << result.stderrText;
    }
  }
}

TEST(MainPrefsDefaultsTest, SetDefaultsTurnsFullScreenOnlyOn) {
  MainPrefs prefs{};
  prefs.fullScreen = 0;
  prefs.SetDefaults(0);
  EXPECT_EQ(prefs.monitorMode, 1);
  EXPECT_EQ(prefs.graphicsMode, 1);
  EXPECT_EQ(prefs.fullScreen, 0);
  prefs.SetDefaults(1);
  EXPECT_EQ(prefs.fullScreen, 1);
}

}  // namespace
