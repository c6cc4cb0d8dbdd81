#include "SafeSaveStream.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestSupport.h"

namespace {

size_t FilesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(SafeSaveStreamTest, FcloseReplacesTheFile) {
  testsupport::TempDir dir;
  const std::string path = dir / "scores.plist";
  ASSERT_TRUE(testsupport::WriteFile(path, "old"));
  FILE* out = OpenSafeSaveStream(path.c_str());
  ASSERT_NE(nullptr, out);
  std::fputs("new text", out);
  std::fflush(out);
  // Nothing reaches the file before fclose.
  EXPECT_EQ("old", testsupport::ReadFile(path));
  EXPECT_EQ(0, std::fclose(out));
  EXPECT_EQ("new text", testsupport::ReadFile(path));
  EXPECT_EQ(1u, FilesIn(dir.path()));

  EXPECT_EQ(nullptr, OpenSafeSaveStream((dir / "missing/file").c_str()));
}

TEST(SafeSaveStreamTest, FailedWriteKeepsTheOldFile) {
  testsupport::TempDir dir;
  const std::string path = dir / "scores.plist";
  ASSERT_TRUE(testsupport::WriteFile(path, "old"));
  auto child = testsupport::RunInChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    FILE* out = OpenSafeSaveStream(path.c_str());
    if (!out) std::exit(3);
    std::string big(100000, 'x');
    std::fwrite(big.data(), 1, big.size(), out);
    std::exit(std::fclose(out) == EOF ? 0 : 4);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(0, child.exitStatus);
  EXPECT_EQ("old", testsupport::ReadFile(path));
  EXPECT_EQ(1u, FilesIn(dir.path()));
}

}  // namespace
