#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "StartupPhases.h"

namespace {

std::string Written() {
  std::FILE* file = std::tmpfile();
  WriteStartupPhases(file);
  std::string text;
  if (!file) return text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

TEST(StartupPhasesTest, WritesEachMarkOnceFromTheFirstAndStopsRecording) {
  ResetStartupPhasesForTesting();
  MarkStartupPhase("main");
  MarkStartupPhase("middle");
  MarkStartupPhase(nullptr);
  const std::string text = Written();
  EXPECT_EQ(text.rfind("phase=0 ms=0.000 clock=", 0), 0u) << text;
  EXPECT_NE(text.find(" name=main\nphase=1 ms="), std::string::npos) << text;
  EXPECT_NE(text.find(" name=middle\nphase=2 ms="), std::string::npos) << text;
  EXPECT_NE(text.find(" name=-\n"), std::string::npos) << text;

  // Written once: later marks and writes add nothing.
  MarkStartupPhase("late");
  EXPECT_EQ(Written(), "");
  ResetStartupPhasesForTesting();
}

TEST(StartupPhasesTest, AFullTableDropsTheRest) {
  ResetStartupPhasesForTesting();
  for (int i = 0; i < 1000; ++i) MarkStartupPhase("step");
  const std::string text = Written();
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_GT(lines, 32u);
  EXPECT_LT(lines, 1000u);
  ResetStartupPhasesForTesting();
}

}  // namespace
