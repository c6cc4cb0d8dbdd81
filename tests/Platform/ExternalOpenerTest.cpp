#include <sys/stat.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "Backend.h"
#include "ScriptedBackend.h"
#include "TestSupport.h"

namespace {

// Puts a fake xdg-open first on PATH for the test's lifetime.
class FakeXdgOpen {
 public:
  explicit FakeXdgOpen(const std::string& script) {
    std::string path = dir_ / "xdg-open";
    testsupport::WriteFile(path, "#!/bin/sh\n" + script);
    chmod(path.c_str(), 0755);
    const char* old = std::getenv("PATH");
    oldPath_ = old ? old : "";
    setenv("PATH", (dir_.path() + ":" + oldPath_).c_str(), 1);
  }
  ~FakeXdgOpen() { setenv("PATH", oldPath_.c_str(), 1); }
  const testsupport::TempDir& dir() const { return dir_; }

 private:
  testsupport::TempDir dir_;
  std::string oldPath_;
};

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    std::string text = testsupport::ReadFile(path);
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return testsupport::ReadFile(path);
}

}  // namespace

TEST(ExternalOpener, PassesTheTextAsOneArgumentAndReturnsAtOnce) {
  testsupport::TempDir out;
  std::string record = out / "args";
  // Writes its argument count and arguments, then lingers.
  FakeXdgOpen fake("printf '%s|%s\\n' \"$#\" \"$1\" > '" + record + "'\nsleep 1\n");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DefaultExternalOpener("a b\"c", nullptr), 0);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
  EXPECT_EQ(WaitForFile(record), "1|a b\"c\n");
}

TEST(ExternalOpener, NoShellInterpretsTheText) {
  testsupport::TempDir out;
  std::string record = out / "args";
  std::string marker = out / "injected";
  FakeXdgOpen fake("printf '%s\\n' \"$1\" > '" + record + "'\n");
  std::string text = "x; touch " + marker + " $(touch " + marker + ")";
  EXPECT_EQ(DefaultExternalOpener(text.c_str(), nullptr), 0);
  EXPECT_EQ(WaitForFile(record), text + "\n");
  EXPECT_TRUE(testsupport::ReadFile(marker).empty());
  struct stat st;
  EXPECT_NE(stat(marker.c_str(), &st), 0);
}

TEST(ExternalOpener, ReplaceableSinkIsUsedByTheBackend) {
  struct Seen {
    std::string text;
  } seen;
  auto sink = [](const char* text, void* context) {
    static_cast<Seen*>(context)->text = text;
    return 5;
  };
  ExternalOpener previous = SetExternalOpener(sink, &seen);
  // The SDL backend's OpenExternal is the base one; no video is needed.
  EXPECT_EQ(GetBackend().OpenExternal("http://example.invalid/"), 5);
  EXPECT_EQ(seen.text, "http://example.invalid/");
  SetExternalOpener(previous, nullptr);
}
