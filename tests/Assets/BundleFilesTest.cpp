// The bundle's shape: every file the game opens, under its exact name, and
// nothing else below Resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kContents = std::string(DUVUVU_BUNDLE_DIR) + "/Contents";
const std::string kResources = kContents + "/Resources";

// Written from the game's own list of what it loads, not from the generators.
std::vector<std::string> ExpectedResources() {
  std::vector<std::string> paths = {
      "Background.png", "Cursor.png",
      "Graphics/Pixel.png", "Graphics/Spark.png", "Graphics/Shockwave.png", "Graphics/Boomerang.png",
      "Graphics/Blimp.png", "Graphics/Loading.png", "Graphics/Zadados.png", "Graphics/Sprites.png",
      "Graphics/Enemies.png",
      "Graphics/Interface/Radio Off.png", "Graphics/Interface/Radio On.png", "Graphics/Interface/Volume.png",
      "Graphics/Interface/Pause.png", "Graphics/Interface/Exit.png",
      "Graphics/Interface/Buttons/Play.png", "Graphics/Interface/Buttons/Help.png",
      "Graphics/Interface/Buttons/Sound.png", "Graphics/Interface/Buttons/Music.png",
      "Graphics/Interface/Buttons/Quit.png", "Graphics/Interface/Buttons/Clear.png",
      "MacPC/FullScreen.png", "MacPC/QVLogo.png", "MacPC/Fade.png", "MacPC/PressFire.png",
      "MacPC/StatusBar 1.png", "MacPC/StatusBar 2.png", "MacPC/Text Field.png", "MacPC/Field Hilite.png",
      "MacPC/InputScreen.png", "MacPC/OK.png", "MacPC/Cancel.png", "MacPC/HighScores.png",
      "MacPC/Key Border.png", "MacPC/About.png", "MacPC/About-Shadow.png",
      "Title/Title.png", "Title/Background.png", "Main/Main.png", "Main/Nebula.png",
      "Pause/PauseBox.png", "Pause/Resume.png", "Pause/Abort.png",
      "Help/Help Screen.png", "Help/Help 1.png", "Help/Help 2.png", "Help/Help 3.png", "Help/Help 4.png",
      "Help/Next.png", "Help/Prev.png", "Help/Done.png", "Help/Email.png",
      "Layouts/Zadados", "Layouts/Sprites", "Layouts/Enemies",
      "COS Table 360", "SIN Table 360",
      "Fonts/VAG Rounded BT.ttf", "Fonts/Copperplate Gothic Bold.ttf", "Fonts/Geneva.ttf", "Fonts/Chicago.ttf",
      "Fonts/Monaco.ttf", "Fonts/COPYING-quicksand.txt", "Fonts/COPYING-dejavu.txt",
  };
  for (const char* effect : {"Blip", "Dink", "Tone", "Alarm", "Metal0", "Metal1", "Shot0", "Shot2", "Shot1", "Boom0",
                             "Boom1", "Bump", "Spin", "Shield", "Tap", "Suck", "Engine", "Power", "Bounce", "Pod",
                             "Flip", "Super", "Intro_Mono"})
    paths.push_back(std::string("Audio/") + effect + ".ogg");
  for (const char* loop : {"Title", "Main", "Game", "Boss"}) paths.push_back(std::string("Music/") + loop + ".ogg");
  return paths;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

TEST(BundleFiles, ManifestCountsMatchTheGame) {
  const auto paths = ExpectedResources();
  EXPECT_EQ(53, std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return p.ends_with(".png"); }));
  EXPECT_EQ(27, std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return p.ends_with(".ogg"); }));
  EXPECT_EQ(paths.size(), std::set<std::string>(paths.begin(), paths.end()).size());
}

TEST(BundleFiles, EveryFileIsThereUnderItsExactName) {
  ASSERT_TRUE(fs::is_regular_file(kContents + "/Info.plist"));
  for (const std::string& relative : ExpectedResources()) {
    const fs::path path = fs::path(kResources) / relative;
    ASSERT_TRUE(fs::is_regular_file(path)) << relative;
    EXPECT_GT(fs::file_size(path), 0u) << relative;
    // The name as the folder lists it, byte for byte.
    bool listed = false;
    for (const auto& entry : fs::directory_iterator(path.parent_path()))
      listed = listed || entry.path().filename() == path.filename();
    EXPECT_TRUE(listed) << relative;
  }
  EXPECT_TRUE(fs::is_directory(kResources + "/Sounds"));
  EXPECT_TRUE(fs::is_empty(kResources + "/Sounds"));
}

TEST(BundleFiles, ResourcesHoldNothingElseAndNoNamesClashByCase) {
  const auto expected = ExpectedResources();
  std::set<std::string> files(expected.begin(), expected.end());
  std::set<std::string> folders = {"Sounds"};
  for (const std::string& p : expected)
    for (fs::path parent = fs::path(p).parent_path(); !parent.empty(); parent = parent.parent_path())
      folders.insert(parent.string());
  std::set<std::string> lowered;
  for (const auto& entry : fs::recursive_directory_iterator(kResources)) {
    const std::string relative = fs::relative(entry.path(), kResources).string();
    if (entry.is_directory())
      EXPECT_TRUE(folders.count(relative)) << "unexpected folder " << relative;
    else
      EXPECT_TRUE(files.count(relative)) << "unexpected file " << relative;
    EXPECT_TRUE(lowered.insert(Lower(relative)).second) << "names differ only by case: " << relative;
  }
}

}  // namespace
