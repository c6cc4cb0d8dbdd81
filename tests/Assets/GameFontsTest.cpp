// The bundled faces open by the game's own names and fit its widest texts.
#include <gtest/gtest.h>

#include <string>

#include "TextRender.h"

namespace {

const std::string kFonts = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources/Fonts/";

// As the game looks a face up: the bare name first, then with ".ttf".
FT_Face OpenGameFont(const std::string& name) {
  FT_Face face = OpenFontFace((kFonts + name).c_str());
  if (!face) face = OpenFontFace((kFonts + name + ".ttf").c_str());
  return face;
}

class GameFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitTextRenderer(); }
};

TEST_F(GameFonts, BothGameFacesMapEveryPrintableByte) {
  for (const char* name : {"VAG Rounded BT", "Copperplate Gothic Bold"}) {
    FT_Face face = OpenGameFont(name);
    ASSERT_NE(nullptr, face) << name;
    ASSERT_GT(face->num_charmaps, 0) << name;
    ASSERT_EQ(0, FT_Set_Charmap(face, face->charmaps[0]));
    for (int c = 32; c <= 126; ++c) EXPECT_NE(0u, FT_Get_Char_Index(face, static_cast<FT_ULong>(c))) << name << " " << c;
    FT_Done_Face(face);
  }
}

TEST_F(GameFonts, QuitQuestionFitsTheTextArea) {
  FT_Face face = OpenGameFont("VAG Rounded BT");
  ASSERT_NE(nullptr, face);
  EXPECT_LE(MeasureText("Are you sure you want to quit the game in progress?", face, 28.8f), 736);
  FT_Done_Face(face);
}

TEST_F(GameFonts, EveryKeyNameFitsTheKeyImage) {
  FT_Face face = OpenGameFont("Copperplate Gothic Bold");
  ASSERT_NE(nullptr, face);
  // Single characters show upper-cased.
  const char* names[] = {"A", "S", "D", "F", "H", "G", "Z", "X", "C", "V", "B", "Q", "W", "E", "R", "Y", "T",
                         "1", "2", "3", "4", "6", "5", "+", "9", "7", "-", "8", "0", "]", "O", "U", "[", "I",
                         "P", "L", "J", "'", "K", ";", "\\", ",", "/", "N", "M", ".", "`", "*", "=",
                         "rtn", "tab", "spc", "del", "esc", "clr", "ent", "hlp", "hom", "pgu", "fde", "end",
                         "pgd", "lft", "rgt", "dwn", "up", "cmd", "sft", "cap", "opt", "ctl", "pow",
                         "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", "f11", "f12", "f13",
                         "f14", "f15", "???"};
  for (const char* name : names) EXPECT_LE(MeasureText(name, face, 22.4f), 49) << name;
  FT_Done_Face(face);
}

TEST_F(GameFonts, EngineFacesOpen) {
  for (const char* name : {"Geneva.ttf", "Chicago.ttf", "Monaco.ttf"}) {
    FT_Face face = OpenFontFace((kFonts + name).c_str());
    EXPECT_NE(nullptr, face) << name;
    if (face) FT_Done_Face(face);
  }
}

}  // namespace
