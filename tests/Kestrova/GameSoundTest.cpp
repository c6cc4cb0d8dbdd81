#include <gtest/gtest.h>

#include <AL/al.h>

#include <vector>

#include "AudioPrefs.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameSound.h"
#include "SourcePool.h"

namespace {

class GameSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // An earlier driver in this process may have left its pool's count
    // behind; start from no audio so this driver makes real sources.
    ShutdownAudioForTesting();
    driver_ = std::make_unique<gametest::GameDriver>(3);
    sink_ = GetGameSoundSink(&context_);
  }
  void TearDown() override {
    SetGameSoundSink(sink_, context_);
    driver_.reset();
  }

  std::unique_ptr<gametest::GameDriver> driver_;
  GameSoundSink sink_ = nullptr;
  void* context_ = nullptr;
};

TEST_F(GameSoundTest, TheRequestNamesTheSoundAndTheRectsCentre) {
  const Rect rect = {101, 10, 120, 31};
  PlayGameSound(&gSounds->power, 0, &rect, 1.0f, 0.5f, 0);
  PlayGameSound(&gSounds->boom1, 0, nullptr, 0.75f, 1.0f, 0);
  ASSERT_EQ(driver_->sounds().size(), 2u);
  EXPECT_EQ(driver_->sounds()[0].name, "Power");
  EXPECT_EQ(driver_->sounds()[0].point.v, 110);
  EXPECT_EQ(driver_->sounds()[0].point.h, 20);
  EXPECT_FLOAT_EQ(driver_->sounds()[0].pitch, 0.5f);
  // No rect: the sound field's centre.
  EXPECT_EQ(driver_->sounds()[1].name, "Boom1");
  EXPECT_EQ(driver_->sounds()[1].point.h, 320);
  EXPECT_EQ(driver_->sounds()[1].point.v, 240);
  EXPECT_FLOAT_EQ(driver_->sounds()[1].volume, 0.75f);
}

TEST_F(GameSoundTest, SoundsArePannedByWhereTheyHappen) {
  SetGameSoundSink(nullptr, nullptr);
  gAudioPrefs.soundOn = 1;
  ASSERT_GT(gSourcePool.count, 0);
  const Rect leftEdge = {200, -1, 232, 1};
  const Rect rightEdge = {200, 639, 232, 641};
  const struct {
    const Rect* rect;
    float x;
  } cases[] = {{nullptr, 0.0f}, {&leftEdge, -1.0f}, {&rightEdge, 1.0f}};
  for (const auto& c : cases) {
    const UInt32 source = GetGameSource();
    ASSERT_NE(source, 0u);
    PlayGameSound(&gSounds->tap, source, c.rect, 1.0f, 1.0f, 0);
    ALfloat x = 9, y = 9, z = 9;
    alGetSource3f(source, AL_POSITION, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, c.x);
  }
}

TEST_F(GameSoundTest, NoIdleSourceWhileEverySourcePlays) {
  const SInt32 n = gSourcePool.count;
  ASSERT_GT(n, 1);
  std::vector<ALshort> silence(44100);
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, silence.data(), static_cast<ALsizei>(silence.size() * 2), 44100);
  for (SInt32 i = 0; i < n; ++i) {
    alSourceStop(gSourcePool.sources[i]);
    alSourcei(gSourcePool.sources[i], AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(gSourcePool.sources[i], AL_LOOPING, AL_TRUE);
    alSourcePlay(gSourcePool.sources[i]);
  }
  gSourcePool.lastPicked = 1;
  EXPECT_EQ(GetIdleSource(), 0u);
  EXPECT_EQ(gSourcePool.lastPicked, 1);

  // One stopped source is found, unless it is reserved.
  alSourceStop(gSourcePool.sources[n - 1]);
  SetSourceReserved(static_cast<UInt32>(n - 1), 1);
  EXPECT_EQ(GetIdleSource(), 0u);
  SetSourceReserved(static_cast<UInt32>(n - 1), 0);
  EXPECT_EQ(GetIdleSource(), gSourcePool.sources[n - 1]);
  EXPECT_EQ(gSourcePool.lastPicked, n - 1);

  for (SInt32 i = 0; i < n; ++i) {
    alSourceStop(gSourcePool.sources[i]);
    alSourcei(gSourcePool.sources[i], AL_BUFFER, 0);
    alSourcei(gSourcePool.sources[i], AL_LOOPING, AL_FALSE);
  }
  alDeleteBuffers(1, &buffer);
}

}  // namespace
