#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "AudioPrefsHooks.h"
#include "AudioTestSupport.h"
#include "PlistTag.h"
#include "SoundData.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;

std::string Text(const Str255 s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

PlistTag* PrefsDict(PlistTag* root) { return PlistTag::FindTag(root, "dict", "Audio Prefs", 0); }

void SetKey(PlistTag* root, const char* type, const char* key, const char* value) {
  PlistTag* dict = PlistTag::FindTag(root, "dict", "Audio Prefs", 1);
  PlistTag::FindTag(dict, type, key, 1)->SetString(value);
}

class AudioPrefsTest : public AudioTest {};

TEST_F(AudioPrefsTest, DefaultsWriteFourteenKeysInOrderWithExactTexts) {
  PlistTag root;
  CallWriteAudioPrefs(&root);  // through the core's hook
  PlistTag* dict = PrefsDict(&root);
  ASSERT_NE(dict, nullptr);
  struct Key {
    const char* type;
    const char* name;
    const char* value;
  };
  const std::vector<Key> expected = {
      {"boolean", "Sound On", "true/"},      {"boolean", "Music On", "true/"},
      {"integer", "Sound Volume", "192"},    {"integer", "Music Volume", "192"},
      {"integer", "Sample Size", "16"},      {"integer", "Sample Rate", "-1404829696"},
      {"boolean", "Stereo", "true/"},        {"integer", "Num Channels", "8"},
      {"boolean", "Interpolation", "true/"}, {"boolean", "Smoothing", "false/"},
      {"boolean", "Sound Echos", "true/"},   {"boolean", "Music Echos", "true/"},
      {"boolean", "Fake Stereo", "false/"},  {"integer", "Preset", "4"},
  };
  ASSERT_EQ(dict->child.count, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    PlistTag* tag = dict->child.data[i];
    EXPECT_EQ(Text(tag->type), expected[i].type) << i;
    EXPECT_EQ(Text(tag->name), expected[i].name) << i;
    EXPECT_EQ(Text(tag->value), expected[i].value) << i;
  }

  // Read back over a changed record: everything returns.
  gAudioPrefs.soundOn = 0;
  gAudioPrefs.sampleRate = kRate22050;
  gAudioPrefs.preset = 9;
  CallReadAudioPrefs(&root);
  AudioPrefs defaults;
  SetDefaultAudioPrefs(&defaults);
  EXPECT_EQ(gAudioPrefs.soundOn, 1);
  EXPECT_EQ(gAudioPrefs.sampleRate, 0xAC440000u);
  EXPECT_EQ(gAudioPrefs.preset, 4);
  EXPECT_EQ(gAudioPrefs.soundVolume, 192);
  EXPECT_EQ(gAudioPrefs.outputFormatCode, 3);
  EXPECT_EQ(gMixerAudioPrefs.sampleRate, 0xAC440000u);
}

TEST_F(AudioPrefsTest, OtherRatesAreWrittenAsSignedDecimal) {
  PlistTag root;
  for (auto [rate, text] : {std::pair{kRate22050, "1445068800"}, std::pair{kRate11025, "722534400"}}) {
    gAudioPrefs.sampleRate = rate;
    WriteAudioPrefs(&root);
    Str255 value;
    ASSERT_NE(PlistTag::FindTagValue(PrefsDict(&root), "integer", "Sample Rate", value, 0), nullptr);
    EXPECT_EQ(Text(value), text);
  }
}

TEST_F(AudioPrefsTest, EightBitMonoGivesCodeZeroAndKeepsEight) {
  PlistTag root;
  SetKey(&root, "integer", "Sample Size", "8");
  SetKey(&root, "boolean", "Stereo", "false/");
  ReadAudioPrefs(&root);
  EXPECT_EQ(gAudioPrefs.sampleSize, 8);
  EXPECT_EQ(gAudioPrefs.stereo, 0);
  EXPECT_EQ(gAudioPrefs.outputFormatCode, 0);
}

TEST_F(AudioPrefsTest, MissingKeysAndOddValuesLeaveFields) {
  PlistTag root;
  SetKey(&root, "integer", "Sound Volume", "300");
  SetKey(&root, "boolean", "Music On", "yes");
  ReadAudioPrefs(&root);
  EXPECT_EQ(gAudioPrefs.soundVolume, 300);  // not clamped
  EXPECT_EQ(gAudioPrefs.musicOn, 1);         // unknown boolean text
  EXPECT_EQ(gAudioPrefs.preset, 4);          // missing
}

TEST_F(AudioPrefsTest, NoDictionaryKeepsDefaults) {
  PlistTag root;
  ReadAudioPrefs(&root);
  EXPECT_EQ(gAudioPrefs.sampleSize, 16);
  EXPECT_EQ(gAudioPrefs.deviceStereo, 1);
  EXPECT_EQ(gAudioPrefs.device16Bit, 1);
  EXPECT_EQ(gAudioPrefs.deviceRate, kRate44100);
}

TEST_F(AudioPrefsTest, BadSampleRateOrSizeIsIgnoredAndEffectsStillLoad) {
  for (const char* text : {"0", "abc", "44100", "-1"}) {
    SetDefaultAudioPrefs(&gAudioPrefs);
    PlistTag root;
    SetKey(&root, "integer", "Sample Rate", text);
    SetKey(&root, "integer", "Sample Size", "12");
    ReadAudioPrefs(&root);
    EXPECT_EQ(gAudioPrefs.sampleRate, kRate44100) << text;
    EXPECT_EQ(gAudioPrefs.sampleSize, 16) << text;
  }
  testsupport::TempDir dir;
  const std::string path = dir / "blip.ogg";
  audiotest::WriteOgg(path, 1, 44100, 4410);
  SoundSample sample;
  ASSERT_EQ(LoadOggSound(&sample, path.c_str()), 0);
  EXPECT_EQ(GetSoundHeaderFrames(sample.Header()), 4410u - 34u);
}

TEST_F(AudioPrefsTest, AcceptsTheThreeRates) {
  for (UInt32 rate : {kRate11025, kRate22050, kRate44100}) {
    PlistTag root;
    SetKey(&root, "integer", "Sample Rate", std::to_string(static_cast<SInt32>(rate)).c_str());
    gAudioPrefs.sampleRate = 0;
    ReadAudioPrefs(&root);
    EXPECT_EQ(gAudioPrefs.sampleRate, rate);
  }
}

}  // namespace
