#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "SoundData.h"
#include "SoundTestDecode.h"

namespace {

using soundtest::Decoded;
using soundtest::DecodeOgg;
using soundtest::Peak;
using soundtest::ResourcePath;
using soundtest::Rms;
using soundtest::ToDb;

struct MusicSpec {
  const char* name;
  long frames;  // whole bars at the tempo
};

constexpr MusicSpec kMusic[] = {
    {"Title", 1270080},  // 100 bpm, 12 bars
    {"Main", 1612800},   // 105 bpm, 16 bars
    {"Game", 2016000},   // 126 bpm, 24 bars
    {"Boss", 1209600},   // 140 bpm, 16 bars
};

std::string MusicPath(const char* name) { return ResourcePath(std::string("Music/") + name + ".ogg"); }

// The decoded loops, shared by the tests: decoding them is the slow part.
class MusicFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    loops_ = new std::vector<Decoded>;
    for (const MusicSpec& m : kMusic) loops_->push_back(DecodeOgg(MusicPath(m.name)));
  }
  static void TearDownTestSuite() {
    delete loops_;
    loops_ = nullptr;
  }
  static std::vector<Decoded>* loops_;
};

std::vector<Decoded>* MusicFilesTest::loops_ = nullptr;

TEST_F(MusicFilesTest, LoopsAreStereoAtTheirExactLengthsAndLevels) {
  for (size_t k = 0; k < std::size(kMusic); ++k) {
    SCOPED_TRACE(kMusic[k].name);
    const Decoded& d = (*loops_)[k];
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.pcmTotal, kMusic[k].frames);
    ASSERT_EQ(d.Frames(), kMusic[k].frames);

    const double rms = ToDb(Rms(d, 0, d.Frames()));
    EXPECT_GE(rms, -20.0);
    EXPECT_LE(rms, -14.0);
    EXPECT_LE(ToDb(Peak(d, 0, d.Frames())), -1.0);
    // Never a gap: every 50-ms window (at 10-ms hops) above -60 dBFS.
    constexpr long kWindow = 2205, kHop = 441;
    double quietest = 1.0;
    for (long at = 0; at + kWindow <= d.Frames(); at += kHop) quietest = std::min(quietest, Rms(d, at, at + kWindow));
    EXPECT_GT(ToDb(quietest), -60.0);
  }
}

// The 99.9th percentile of the sample-to-sample steps of a channel.
double StepPercentile(const std::vector<float>& s) {
  std::vector<float> steps(s.size() - 1);
  for (size_t i = 1; i < s.size(); ++i) steps[i - 1] = std::fabs(s[i] - s[i - 1]);
  const size_t k = steps.size() * 999 / 1000;
  std::nth_element(steps.begin(), steps.begin() + static_cast<long>(k), steps.end());
  return steps[k];
}

TEST_F(MusicFilesTest, LoopsJoinWithoutASeam) {
  for (size_t k = 0; k < std::size(kMusic); ++k) {
    SCOPED_TRACE(kMusic[k].name);
    const Decoded& d = (*loops_)[k];
    ASSERT_EQ(d.Frames(), kMusic[k].frames);
    // Played twice: the 10-ms window across the join (the windows wrap) lies
    // within 3 dB of the range its two neighbours span, so neither a click
    // nor a drop-out.
    constexpr long kHalf = 220, kWindow = 441;
    const double join = ToDb(Rms(d, -kHalf, kWindow - kHalf));
    const double before = ToDb(Rms(d, -kHalf - kWindow, -kHalf));
    const double after = ToDb(Rms(d, kWindow - kHalf, 2 * kWindow - kHalf));
    EXPECT_LE(join, std::max(before, after) + 3.0);
    EXPECT_GE(join, std::min(before, after) - 3.0);
    for (int c = 0; c < 2; ++c) {
      const std::vector<float>& s = d.channel[static_cast<size_t>(c)];
      EXPECT_LE(std::fabs(s.front() - s.back()), StepPercentile(s)) << "channel " << c;
    }
  }
}

TEST(MusicFilesOpenTest, EveryLoopOpensAsAStream) {
  for (const MusicSpec& m : kMusic) {
    SCOPED_TRACE(m.name);
    OggStream stream;
    ASSERT_EQ(stream.Open(MusicPath(m.name).c_str()), 1);
    EXPECT_EQ(stream.Rate(), 44100u << 16);
    EXPECT_EQ(stream.Channels(), 2);
    EXPECT_EQ(stream.TotalBytes64(), m.frames * 4);
    stream.Close();
  }
}

}  // namespace
