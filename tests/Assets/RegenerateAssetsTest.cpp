// Every generator, run again into an empty folder, makes the same bytes.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GeneratorWaves.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

extern "C" char** environ;

TEST(RegenerateAssets, EmptyFolderGetsByteIdenticalFiles) {
  const auto waves = ReadGeneratorWaves(DUVUVU_ASSET_GENERATOR_LIST);
  size_t programCount = 0;
  for (const auto& wave : waves) programCount += wave.size();
  ASSERT_GE(programCount, 2u);
  testsupport::TempDir dir;
  const std::string contents = dir / "Kestrova/Contents";
  const std::string review = dir / "review";
  // The programs of one wave share no file, so they run side by side, as the build runs them.
  for (const auto& wave : waves) {
    std::vector<std::pair<pid_t, std::string>> running;
    for (const std::string& program : wave) {
      std::vector<std::string> args = {program, contents, review, DUVUVU_FONT_FIRST_FACE, DUVUVU_FONT_SECOND_FACE};
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      pid_t pid = 0;
      const int error = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
      EXPECT_EQ(error, 0) << program;
      if (error == 0) running.emplace_back(pid, program);
    }
    for (const auto& [pid, program] : running) {
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid) << program;
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << program << " ended with status " << status;
    }
    ASSERT_FALSE(HasFailure());
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
