#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "AudioStartup.h"
#include "SoundData.h"
#include "SourcePool.h"
#include "SoundTestDecode.h"

namespace {

using soundtest::Decoded;
using soundtest::DecodeOgg;
using soundtest::Peak;
using soundtest::ResourcePath;
using soundtest::Rms;
using soundtest::ToDb;

struct EffectSpec {
  const char* name;
  int milliseconds;
  double peakDb;
};

// The effects with their lengths and peak levels.
constexpr EffectSpec kEffects[] = {
    {"Blip", 70, -8},     {"Dink", 90, -8},    {"Tone", 160, -8},    {"Alarm", 1500, -3},  {"Metal0", 350, -3},
    {"Metal1", 300, -3},  {"Shot0", 180, -8},  {"Shot2", 280, -3},   {"Shot1", 250, -3},   {"Boom0", 700, -3},
    {"Boom1", 1600, -6},  {"Bump", 200, -3},   {"Spin", 550, -3},    {"Shield", 450, -3},  {"Tap", 90, -8},
    {"Suck", 400, -3},    {"Engine", 700, -8}, {"Power", 600, -3},   {"Bounce", 200, -3},  {"Pod", 250, -3},
    {"Flip", 120, -8},    {"Super", 1000, -3}, {"Intro_Mono", 2000, -3},
};

constexpr long kRate = 44100;

long Ms(double ms) { return static_cast<long>(ms * kRate / 1000.0); }

std::string EffectPath(const char* name) { return ResourcePath(std::string("Audio/") + name + ".ogg"); }

TEST(SoundFilesTest, EveryEffectDecodesAtItsLengthAndLevels) {
  for (const EffectSpec& e : kEffects) {
    SCOPED_TRACE(e.name);
    const Decoded d = DecodeOgg(EffectPath(e.name));
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.channels, 1);
    EXPECT_EQ(d.rate, kRate);
    // The generator renders exactly the length at 44,100 Hz.
    const long frames = static_cast<long>(e.milliseconds) * 441 / 10;
    EXPECT_EQ(d.pcmTotal, frames);
    EXPECT_EQ(d.Frames(), frames);

    const double peak = ToDb(Peak(d, 0, d.Frames()));
    EXPECT_GE(peak, -12.0);
    EXPECT_LE(peak, -1.0);
    EXPECT_NEAR(peak, e.peakDb, 1.5);
    EXPECT_GT(ToDb(Peak(d, 0, Ms(2))), -40.0) << "starts late";
    EXPECT_LT(ToDb(Peak(d, d.Frames() - Ms(10), d.Frames())), -60.0) << "does not end in silence";
  }
}

// The pitch from the rising zero crossings of frames [from, to).
double CrossingHz(const Decoded& d, long from, long to) {
  const std::vector<float>& s = d.channel[0];
  int crossings = 0;
  for (long i = from + 1; i < to; ++i)
    if (s[static_cast<size_t>(i - 1)] < 0.0f && s[static_cast<size_t>(i)] >= 0.0f) ++crossings;
  return crossings * static_cast<double>(kRate) / static_cast<double>(to - from);
}

struct PitchSpec {
  const char* name;
  double fromMs, toMs;
  double minHz, maxHz;
};

TEST(SoundFilesTest, TonalEffectsSoundAtTheirPitches) {
  const PitchSpec kPitches[] = {
      {"Blip", 5, 40, 1150, 1600},        // 1.2 kHz bending up
      {"Tone", 10, 100, 630, 690},        // 660 Hz
      {"Alarm", 0, 40, 560, 700},         // each sweep starts low ...
      {"Alarm", 340, 380, 1100, 1250},    // ... peaks near 1200 Hz ...
      {"Alarm", 700, 740, 560, 700},      // ... and falls back
      {"Alarm", 1060, 1100, 1100, 1250},  // the second sweep
      {"Shot0", 0, 15, 1600, 2600},       // the zap falls fast from 2.5 kHz ...
      {"Shot0", 100, 140, 380, 520},      // ... to 400 Hz
  };
  for (const PitchSpec& p : kPitches) {
    SCOPED_TRACE(std::string(p.name) + " at " + std::to_string(p.fromMs) + " ms");
    const Decoded d = DecodeOgg(EffectPath(p.name));
    ASSERT_TRUE(d.opened);
    const double hz = CrossingHz(d, Ms(p.fromMs), Ms(p.toMs));
    EXPECT_GE(hz, p.minHz);
    EXPECT_LE(hz, p.maxHz);
  }
}

TEST(SoundFilesTest, EffectsHaveTheirShapes) {
  // Power's four chime notes each strike anew.
  const Decoded power = DecodeOgg(EffectPath("Power"));
  ASSERT_TRUE(power.opened);
  for (double start : {90.0, 180.0, 270.0}) {
    EXPECT_GT(Rms(power, Ms(start + 2), Ms(start + 12)), 1.5 * Rms(power, Ms(start - 12), Ms(start - 2)))
        << "note at " << start << " ms";
  }
  // Suck is a reversed swoosh: it swells to its end.
  const Decoded suck = DecodeOgg(EffectPath("Suck"));
  ASSERT_TRUE(suck.opened);
  EXPECT_GT(Rms(suck, Ms(300), Ms(340)), 4.0 * Rms(suck, Ms(0), Ms(40)));
  // Boom1 keeps rumbling where Boom0 has long gone.
  const Decoded boom0 = DecodeOgg(EffectPath("Boom0"));
  const Decoded boom1 = DecodeOgg(EffectPath("Boom1"));
  ASSERT_TRUE(boom0.opened && boom1.opened);
  EXPECT_GT(ToDb(Rms(boom1, Ms(1000), Ms(1200)) / Peak(boom1, 0, boom1.Frames())), -30.0);
  EXPECT_LT(ToDb(Rms(boom0, Ms(600), Ms(650)) / Peak(boom0, 0, boom0.Frames())), -30.0);
  // Metal0 rings on after its strike; Tap is over almost at once.
  const Decoded metal = DecodeOgg(EffectPath("Metal0"));
  const Decoded tap = DecodeOgg(EffectPath("Tap"));
  ASSERT_TRUE(metal.opened && tap.opened);
  EXPECT_GT(ToDb(Rms(metal, Ms(150), Ms(200)) / Peak(metal, 0, metal.Frames())), -30.0);
  EXPECT_LT(ToDb(Rms(tap, Ms(50), Ms(60)) / Peak(tap, 0, tap.Frames())), -40.0);
}

class SoundFilesLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitAudioGlobals();
    SetDefaultAudioPrefs(&gAudioPrefs);
  }
  void TearDown() override {
    ShutdownAudioForTesting();
    ExitAudioGlobals();
  }
};

TEST_F(SoundFilesLoadTest, EveryEffectLoadsAsMono) {
  for (const EffectSpec& e : kEffects) {
    SCOPED_TRACE(e.name);
    SoundSample sample;
    ASSERT_EQ(LoadOggSound(&sample, EffectPath(e.name).c_str()), 0);
    ASSERT_NE(sample.Header(), nullptr);
    EXPECT_EQ(GetSoundHeaderChannels(sample.Header()), 1);
    EXPECT_EQ(GetSoundHeaderRate(sample.Header()), kRate44100);
    // The loader drops the last 34 frames, which are silence here.
    EXPECT_EQ(static_cast<long>(GetSoundHeaderFrames(sample.Header())), e.milliseconds * 441 / 10 - 34);
  }
}

}  // namespace
