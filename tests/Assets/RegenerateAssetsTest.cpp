// Every generator, run again into an empty folder, makes the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Generators() {
  std::ifstream in(DUVUVU_ASSET_GENERATOR_LIST);
  std::vector<std::string> programs;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) programs.push_back(line);
  return programs;
}

std::vector<char> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(RegenerateAssets, EmptyFolderGetsByteIdenticalFiles) {
  const auto programs = Generators();
  ASSERT_GE(programs.size(), 2u);
  testsupport::TempDir dir;
  const std::string contents = dir / "Kestrova/Contents";
  const std::string review = dir / "review";
  for (const std::string& program : programs) {
    const std::string command = Quoted(program) + " " + Quoted(contents) + " " + Quoted(review) + " " +
                                Quoted(DUVUVU_FONT_FIRST_FACE) + " " + Quoted(DUVUVU_FONT_SECOND_FACE);
    ASSERT_EQ(0, std::system(command.c_str())) << program;
  }
  const fs::path built = fs::path(DUVUVU_BUNDLE_DIR) / "Contents";
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(contents)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), contents);
    const fs::path original = built / relative;
    ASSERT_TRUE(fs::exists(original)) << relative;
    EXPECT_TRUE(FileBytes(entry.path()) == FileBytes(original)) << relative << " differs";
    ++compared;
  }
  // Info.plist, the tables, three sheets and three layouts at the least.
  EXPECT_GE(compared, 9);
  for (const auto& entry : fs::recursive_directory_iterator(review)) {
    if (!entry.is_regular_file()) continue;
    const fs::path original = fs::path(DUVUVU_ASSET_REVIEW_DIR) / fs::relative(entry.path(), review);
    EXPECT_TRUE(FileBytes(entry.path()) == FileBytes(original)) << original << " differs";
  }
}

}  // namespace
