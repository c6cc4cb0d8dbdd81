#include "GamePrefs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Bundle.h"
#include "GameGlobals.h"
#include "KeyTables.h"
#include "MainPrefs.h"
#include "PlistTag.h"
#include "Screens/KeyPanel.h"
#include "Strings.h"
#include "TestSupport.h"

namespace {

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

std::vector<UInt8> Keys() { return std::vector<UInt8>(&KeyBindings[0][0], &KeyBindings[0][0] + 10); }

// The preferences folder is a fresh temporary one; the globals start as at
// program start.
class GamePrefsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("AppData");
    hadAppData_ = old != nullptr;
    if (old) savedAppData_ = old;
    setenv("AppData", dir_.path().c_str(), 1);
    gMainPrefs.SetFileName("Kestrova Preferences");
    InitGamePrefsGlobals();
    SetDefaultKeys();
    gWindowSizes[1] = WindowSizePair{640, 480};
  }
  void TearDown() override {
    if (hadAppData_)
      setenv("AppData", savedAppData_.c_str(), 1);
    else
      unsetenv("AppData");
    SetDefaultKeys();
    gWindowSizes[1] = WindowSizePair{640, 480};
  }

  std::string PrefsPath() const { return dir_ / "Kestrova Preferences.plist"; }
  // A preferences file whose root dict holds body.
  void WritePrefs(const std::string& body) {
    ASSERT_TRUE(testsupport::WriteFile(PrefsPath(), "<plist version=\"1.0\">\r<dict>\r" + body + "</dict>\r</plist>\r"));
  }
  // The saved file read back as a tree.
  void ReadSaved(PlistTag* root) {
    FILE* file = std::fopen(PrefsPath().c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PlistTag::ReadStdFile(root, file), 0);
    std::fclose(file);
  }

  testsupport::TempDir dir_;

 private:
  bool hadAppData_ = false;
  std::string savedAppData_;
};

TEST_F(GamePrefsTest, SaveThenLoadGivesEveryValueBack) {
  const UInt8 keys[2][5] = {{0, 137, 14, 125, 49}, {86, 88, 140, 87, 36}};
  std::memcpy(KeyBindings, keys, sizeof keys);
  FirstPlay = 0;
  AdScreen = -7;
  CToPStr("fire & <forget>", LastCommand);
  CToPStr("ACE", LastPlayerName[0]);
  gWindowSizes[1] = WindowSizePair{1024, 768};
  SaveGamePrefs();

  InitGamePrefsGlobals();
  SetDefaultKeys();
  gWindowSizes[1] = WindowSizePair{640, 480};
  LoadGamePrefs();

  EXPECT_EQ(Keys(), std::vector<UInt8>(&keys[0][0], &keys[0][0] + 10));
  EXPECT_EQ(FirstPlay, 0);
  EXPECT_EQ(AdScreen, -7);
  EXPECT_EQ(Text(LastCommand), "fire & <forget>");
  EXPECT_EQ(gWindowSizes[1].width, 1024);
  EXPECT_EQ(gWindowSizes[1].height, 768);
  // The last names are written for the record, never read.
  EXPECT_EQ(Text(LastPlayerName[0]), "");
}

TEST_F(GamePrefsTest, FileListsTheGameKeysFirstThenTheEngineAndAudio) {
  KeyBindings[0][1] = 137;
  CToPStr("ACE", LastPlayerName[0]);
  SaveGamePrefs();
  PlistTag root;
  ReadSaved(&root);

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Last Player 1", "string"}, {"Last Player 2", "string"}, {"Last Command", "string"},
      {"First Play", "boolean"},   {"Ad Screen", "integer"},    {"Window Size", "dict"},
      {"Custom Keys", "dict"},     {"Monitor Mode", "integer"}, {"Full Screen", "boolean"},
      {"Graphics Mode", "boolean"}, {"Audio Prefs", "dict"}};
  ASSERT_EQ(root.child.count, expected.size());
  for (UInt32 i = 0; i < root.child.count; ++i) {
    EXPECT_EQ(Text(root.child.data[i]->name), expected[i].first);
    EXPECT_EQ(Text(root.child.data[i]->type), expected[i].second);
  }
  EXPECT_EQ(Text(root.child.data[0]->value), "ACE");
  EXPECT_EQ(Text(root.child.data[2]->value), "");  // an empty command is still written
  EXPECT_EQ(Text(root.child.data[3]->value), "true/");

  PlistTag* size = root.child.data[5];
  ASSERT_EQ(size->child.count, 2u);
  EXPECT_EQ(Text(size->child.data[0]->name), "H");
  EXPECT_EQ(Text(size->child.data[0]->value), "640");
  EXPECT_EQ(Text(size->child.data[1]->name), "V");
  EXPECT_EQ(Text(size->child.data[1]->value), "480");

  PlistTag* keys = root.child.data[6];
  ASSERT_EQ(keys->child.count, 2u);
  for (UInt32 p = 0; p < 2; ++p) {
    PlistTag* player = keys->child.data[p];
    EXPECT_EQ(Text(player->name), "Player " + std::to_string(p));
    ASSERT_EQ(player->child.count, 5u);
    for (UInt32 k = 0; k < 5; ++k) EXPECT_EQ(Text(player->child.data[k]->name), "Key " + std::to_string(k));
  }
  // Codes above 127 go out as the byte read as signed.
  EXPECT_EQ(Text(keys->child.data[0]->child.data[1]->value), "-119");
  EXPECT_EQ(Text(keys->child.data[0]->child.data[0]->value), "123");
}

TEST_F(GamePrefsTest, OnlyTheKeysPresentInTheFileChange) {
  WritePrefs(
      "<key>Custom Keys</key><dict><key>Player 1</key><dict>"
      "<key>Key 0</key><integer>0</integer><key>Key 4</key><integer>-120</integer>"
      "</dict></dict>"
      "<key>First Play</key><boolean>yes</boolean>");
  FirstPlay = 0;
  CToPStr("old", LastCommand);
  LoadGamePrefs();

  const std::vector<UInt8> expected = {123, 124, 126, 125, 49, 0, 88, 91, 87, 136};
  EXPECT_EQ(Keys(), expected);
  EXPECT_EQ(FirstPlay, 0);  // neither true nor false: left alone
  EXPECT_EQ(Text(LastCommand), "old");
  EXPECT_EQ(gWindowSizes[1].width, 640);
}

// A code no key gives could never be pressed: that key would be lost until
// rebound. It takes its default instead, and the file gets the default back.
// So does a value that is no whole number, rather than the code 0 (the "a"
// key) that the number's reader would make of it.
TEST_F(GamePrefsTest, KeyCodesNoKeyGivesFallBackToTheirDefaults) {
  struct Case {
    const char* text;  // as the file holds it
    bool held;         // a key of the key table
    UInt8 code;        // the code when held
  };
  const Case cases[] = {
      {"54", false, 0},   {"144", false, 0}, {"-1", false, 0},       {"255", false, 0},
      {"56", false, 0},   {"300", false, 0}, {"-129", false, 0},     {"99999999999", false, 0},
      {"0", true, 0},     {"137", true, 137}, {"-120", true, 136},   {"126", true, 126},
      {"abc", false, 0},  {"", false, 0},     {"12abc", false, 0},   {"0x31", false, 0},
      {"1.5", false, 0},  {"-", false, 0},    {"+49", true, 49},
  };
  const UInt8 defaults[10] = {123, 124, 126, 125, 49, 86, 88, 91, 87, 82};
  for (size_t first = 0; first < std::size(cases); first += 10) {
    std::string body = "<key>Custom Keys</key><dict>";
    std::vector<UInt8> expected(defaults, defaults + 10);
    for (int p = 0; p < 2; ++p) {
      body += "<key>Player " + std::to_string(p) + "</key><dict>";
      for (int k = 0; k < 5; ++k) {
        const size_t i = first + static_cast<size_t>(p * 5 + k);
        if (i >= std::size(cases)) {
          expected[static_cast<size_t>(p * 5 + k)] = 0;  // a missing key keeps its code
          continue;
        }
        const Case& c = cases[i];
        if (c.held) {
          ASSERT_NE(KeyCodeToKeyBit(c.code), kNoKeyCode) << c.text;
        }
        body += "<key>Key " + std::to_string(k) + "</key><integer>" + c.text + "</integer>";
        if (c.held) expected[static_cast<size_t>(p * 5 + k)] = c.code;
      }
      body += "</dict>";
    }
    WritePrefs(body + "</dict>");
    // Codes held before the load do not stand in for the defaults.
    std::memset(KeyBindings, 0, sizeof KeyBindings);
    LoadGamePrefs();
    EXPECT_EQ(Keys(), expected) << body;
    SaveGamePrefs();
    std::memset(KeyBindings, 0, sizeof KeyBindings);
    LoadGamePrefs();
    EXPECT_EQ(Keys(), expected) << "written back";
  }
}

// Preferences as a hand edit leaves them: player 1's fire no number, player
// 2's fire the "a" key, player 2's up and down both on one valid key.
const char kHandEditedPrefs[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Custom Keys</key>
	<dict>
		<key>Player 0</key>
		<dict>
			<key>Key 0</key>
			<integer>123</integer>
			<key>Key 1</key>
			<integer>124</integer>
			<key>Key 2</key>
			<integer>126</integer>
			<key>Key 3</key>
			<integer>125</integer>
			<key>Key 4</key>
			<integer>abc</integer>
		</dict>
		<key>Player 1</key>
		<dict>
			<key>Key 0</key>
			<integer>86</integer>
			<key>Key 1</key>
			<integer>88</integer>
			<key>Key 2</key>
			<integer>91</integer>
			<key>Key 3</key>
			<integer>91</integer>
			<key>Key 4</key>
			<integer>0</integer>
		</dict>
	</dict>
</dict>
</plist>
)";

// No value that is no number gives a second player's key: each fire key
// stays a key of its own. A double binding with valid codes is the editor's
// choice and stays.
TEST_F(GamePrefsTest, AHandEditedFileBindsNoKeyTwiceThroughAValueThatIsNoNumber) {
  ASSERT_TRUE(testsupport::WriteFile(PrefsPath(), kHandEditedPrefs));
  std::memset(KeyBindings, 0, sizeof KeyBindings);
  LoadGamePrefs();
  const std::vector<UInt8> expected = {123, 124, 126, 125, 49, 86, 88, 91, 91, 0};
  EXPECT_EQ(Keys(), expected);
  // The file saved next holds two fire keys of their own for another reader.
  SaveGamePrefs();
  const testsupport::PlistlibResult read = testsupport::ReadWithPlistlib(
      PrefsPath(), "[d['Custom Keys']['Player %d' % p]['Key 4'] for p in (0, 1)]");
  if (!read.available) GTEST_SKIP() << "python3 is not installed";
  ASSERT_EQ(read.status, 0) << read.out;
  EXPECT_EQ(read.out, "[49, 0]");
}

TEST_F(GamePrefsTest, FirstPlayTakesOnlyTrueOrFalse) {
  struct Case {
    const char* value;
    UInt8 before;
    UInt8 after;
  };
  const Case cases[] = {{"<true/>", 0, 1}, {"<false/>", 1, 0}, {"<boolean>maybe</boolean>", 1, 1},
                        {"<boolean>maybe</boolean>", 0, 0}, {"<string>false/</string>", 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    WritePrefs(std::string("<key>First Play</key>") + c.value);
    FirstPlay = c.before;
    LoadGamePrefs();
    EXPECT_EQ(FirstPlay, c.after);
  }
}

TEST_F(GamePrefsTest, OnlyTheTwoWindowSizesAreTaken) {
  struct Case {
    const char* body;
    WindowSizePair before;
    WindowSizePair after;
  };
  const Case cases[] = {
      {"<key>H</key><integer>0</integer><key>V</key><integer>0</integer>", {640, 480}, {640, 480}},
      {"<key>H</key><integer>800</integer><key>V</key><integer>600</integer>", {640, 480}, {640, 480}},
      {"<key>H</key><integer>30000</integer><key>V</key><integer>30000</integer>", {640, 480}, {640, 480}},
      {"<key>H</key><integer>-640</integer><key>V</key><integer>480</integer>", {1024, 768}, {1024, 768}},
      {"<key>H</key><integer>1024</integer><key>V</key><integer>768</integer>", {640, 480}, {1024, 768}},
      {"<key>H</key><integer>640</integer><key>V</key><integer>480</integer>", {1024, 768}, {640, 480}},
      // Low 16 bits, as a 16-bit size would keep them.
      {"<key>H</key><integer>66560</integer><key>V</key><integer>66304</integer>", {640, 480}, {1024, 768}},
      // One half of a pair meets the other half already held.
      {"<key>H</key><integer>1024</integer>", {640, 480}, {640, 480}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    WritePrefs(std::string("<key>Window Size</key><dict>") + c.body + "</dict>");
    gWindowSizes[1] = c.before;
    LoadGamePrefs();
    EXPECT_EQ(gWindowSizes[1].width, c.after.width);
    EXPECT_EQ(gWindowSizes[1].height, c.after.height);
  }
}

TEST_F(GamePrefsTest, NoFileGivesTheDefaultsAndKeepsTheWindowSize) {
  SparksOn = 0;
  FirstPlay = 0;
  AdScreen = 9;
  CToPStr("x", LastPlayerName[1]);
  CToPStr("y", LastCommand);
  KeyBindings[1][4] = 7;
  gWindowSizes[1] = WindowSizePair{1024, 768};
  LoadGamePrefs();

  EXPECT_EQ(SparksOn, 1);
  EXPECT_EQ(SharedScore, 0);
  EXPECT_EQ(FirstPlay, 1);
  EXPECT_EQ(AdScreen, 0);
  EXPECT_EQ(Text(LastPlayerName[1]), "");
  EXPECT_EQ(Text(LastCommand), "");
  const std::vector<UInt8> defaults = {123, 124, 126, 125, 49, 86, 88, 91, 87, 82};
  EXPECT_EQ(Keys(), defaults);
  EXPECT_EQ(gWindowSizes[1].width, 1024);
}

TEST_F(GamePrefsTest, MissingLastCommandLoadsEmptyAndSavesEmpty) {
  WritePrefs("<key>Ad Screen</key><integer>3</integer>");
  LoadGamePrefs();
  EXPECT_EQ(Text(LastCommand), "");
  EXPECT_EQ(AdScreen, 3);
  SaveGamePrefs();
  const std::string saved = testsupport::ReadFile(PrefsPath());
  const size_t key = saved.find("<key>Last Command</key>");
  ASSERT_NE(key, std::string::npos) << saved;
  const size_t value = saved.find_first_not_of(" \t\r\n", key + std::strlen("<key>Last Command</key>"));
  EXPECT_EQ(saved.compare(value, 17, "<string></string>"), 0) << saved;
}

}  // namespace
