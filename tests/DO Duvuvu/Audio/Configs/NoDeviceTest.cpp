// Runs with the wave backend and no file to write: the device cannot open.
#include <gtest/gtest.h>

#include <AL/al.h>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Clocks.h"
#include "Music.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "SoundChannels.h"
#include "SoundData.h"
#include "SoundEffects.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;

class NoDevice : public AudioTest {};

TEST_F(NoDevice, PoolIsEmptyWithoutWaiting) {
  StartOpenAL();
  EXPECT_TRUE(IsOpenALStarted());
  // Retrying each source would wait a tick per attempt: at least 9 ticks.
  const SInt32 start = GetTicks();
  EXPECT_EQ(CreateSourcePool(), 0u);
  SoundChannel* chan = nullptr;
  EXPECT_EQ(NewSoundChannel(&chan, 5, 0, nullptr), kErrNotEnoughHardware);
  EXPECT_EQ(chan, nullptr);
  EXPECT_EQ(GetSoundChannelList(), nullptr);
  EXPECT_LT(GetTicks() - start, 9);
  EXPECT_EQ(PickSoundSource(1), 0u);
}

TEST_F(NoDevice, FailedQueryIsNotSavedAsAnAnswer) {
  PlistTag root;
  PlistTag* dict = PlistTag::FindTag(&root, "dict", "Audio Prefs", 1);
  PlistTag::NewTag(dict, "integer", "Sample Size", "16");
  PlistTag::NewTag(dict, "boolean", "Stereo", "true/");
  PlistTag::NewTag(dict, "integer", "Sample Rate", "-1404829696");
  gAudioPrefs.deviceStereo = 7;
  ReadAudioPrefs(&root);
  EXPECT_EQ(gAudioPrefs.sampleSize, 16);
  EXPECT_EQ(gAudioPrefs.stereo, 1);
  EXPECT_EQ(gAudioPrefs.sampleRate, kRate44100);
  EXPECT_EQ(gAudioPrefs.deviceStereo, 7);  // no adjustment ran
  EXPECT_EQ(gAudioPrefs.outputFormatCode, 3);

  PlistTag saved;
  WriteAudioPrefs(&saved);
  Str255 value;
  PlistTag* out = PlistTag::FindTag(&saved, "dict", "Audio Prefs", 0);
  ASSERT_NE(PlistTag::FindTagValue(out, "integer", "Sample Size", value, 0), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value + 1), value[0]), "16");
  ASSERT_NE(PlistTag::FindTagValue(out, "boolean", "Stereo", value, 0), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value + 1), value[0]), "true/");
}

TEST_F(NoDevice, EverythingIsSilentAndSafe) {
  StartOpenAL();
  CreateSourcePool();
  testsupport::TempDir dir;
  const std::string path = dir / "tone.ogg";
  audiotest::WriteOgg(path, 2, 44100, 8820);

  SoundSample sample;
  ASSERT_EQ(LoadOggSound(&sample, path.c_str()), 0);
  ALSound sound;
  EXPECT_EQ(ALSound::LoadSample(&sound, &sample, 0, nullptr), 0);
  const Rect r{0, 0, 10, 10};
  ALSound::PlayInRect(&sound, PickSoundSource(1), &r, 1.0f, 1.0f, 0);
  PlayBufferOnSource(0, 0, 0, 0, 1.0f, 1.0f, 0);

  MusicPlayer player;
  EXPECT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  MusicPlayer::Play(&player);
  MusicPlayer::SetVolume(&player, 100);
  EXPECT_EQ(player.streamPlayer.channel, nullptr);
  EXPECT_EQ(StreamPlayer::GetState(&player.streamPlayer), StreamPlayer::kStopped);
  ServiceMusicPlayers();
  ServiceSoundChannels();
}

}  // namespace
