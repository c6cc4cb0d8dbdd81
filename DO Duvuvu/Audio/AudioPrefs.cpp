#include "AudioPrefs.h"

#include <cstring>

#include "NumberText.h"
#include "PlistTag.h"
#include "SoundChannels.h"
#include "SoundData.h"

#define AUDIO_PREFS_DEFAULTS {1, 1, 192, 192, 16, kRate44100, 1, 4, 8, 1, 0, 1, 1, 0, 0, 0, kRate44100, 3}

AudioPrefs gAudioPrefs = AUDIO_PREFS_DEFAULTS;
AudioPrefs gMixerAudioPrefs = AUDIO_PREFS_DEFAULTS;

namespace {

constexpr const char* kDictName = "Audio Prefs";

void CopyKeyedFields(const AudioPrefs& from, AudioPrefs* to) {
  to->soundOn = from.soundOn;
  to->musicOn = from.musicOn;
  to->soundVolume = from.soundVolume;
  to->musicVolume = from.musicVolume;
  to->sampleSize = from.sampleSize;
  to->sampleRate = from.sampleRate;
  to->stereo = from.stereo;
  to->preset = from.preset;
  to->numChannels = from.numChannels;
  to->interpolation = from.interpolation;
  to->smoothing = from.smoothing;
  to->soundEchos = from.soundEchos;
  to->musicEchos = from.musicEchos;
  to->fakeStereo = from.fakeStereo;
}

void WriteBoolean(PlistTag* dict, const char* key, UInt8 value) {
  PlistTag::NewTag(dict, "boolean", key, value ? "true/" : "false/");
}

void WriteInteger(PlistTag* dict, const char* key, SInt32 value) {
  char text[256];
  PlistTag::NewTag(dict, "integer", key, CStrNum(text, "%d", value));
}

void WriteRecord(const AudioPrefs& prefs, PlistTag* parent) {
  PlistTag* dict = PlistTag::FindTag(parent, "dict", kDictName, 1);
  // Rewritten whole, so the keys stand in their order.
  PlistTag::DeleteChildren(dict);
  WriteBoolean(dict, "Sound On", prefs.soundOn);
  WriteBoolean(dict, "Music On", prefs.musicOn);
  WriteInteger(dict, "Sound Volume", prefs.soundVolume);
  WriteInteger(dict, "Music Volume", prefs.musicVolume);
  WriteInteger(dict, "Sample Size", prefs.sampleSize);
  WriteInteger(dict, "Sample Rate", static_cast<SInt32>(prefs.sampleRate));
  WriteBoolean(dict, "Stereo", prefs.stereo);
  WriteInteger(dict, "Num Channels", prefs.numChannels);
  WriteBoolean(dict, "Interpolation", prefs.interpolation);
  WriteBoolean(dict, "Smoothing", prefs.smoothing);
  WriteBoolean(dict, "Sound Echos", prefs.soundEchos);
  WriteBoolean(dict, "Music Echos", prefs.musicEchos);
  WriteBoolean(dict, "Fake Stereo", prefs.fakeStereo);
  WriteInteger(dict, "Preset", prefs.preset);
}

void ReadBoolean(PlistTag* dict, const char* key, UInt8* field) {
  Str255 value;
  if (!PlistTag::FindTagValue(dict, "boolean", key, value, 0)) return;
  const size_t length = value[0];
  const char* text = reinterpret_cast<const char*>(value + 1);
  if (length == 5 && std::memcmp(text, "true/", 5) == 0) *field = 1;
  if (length == 6 && std::memcmp(text, "false/", 6) == 0) *field = 0;
}

bool ReadInteger(PlistTag* dict, const char* key, SInt32* out) {
  Str255 value;
  if (!PlistTag::FindTagValue(dict, "integer", key, value, 0)) return false;
  *out = PStrToNum(value);
  return true;
}

template <typename T>
void ReadIntegerInto(PlistTag* dict, const char* key, T* field) {
  SInt32 value;
  if (ReadInteger(dict, key, &value)) *field = static_cast<T>(value);
}

}  // namespace

void SetDefaultAudioPrefs(AudioPrefs* prefs) { *prefs = AUDIO_PREFS_DEFAULTS; }

void CopyAudioPrefsToMixer() { CopyKeyedFields(gAudioPrefs, &gMixerAudioPrefs); }

void WriteAudioPrefs(PlistTag* parent) {
  WriteRecord(gAudioPrefs, parent);
  CopyAudioPrefsToMixer();
}

void ReadAudioPrefs(PlistTag* parent) {
  if (PlistTag* dict = PlistTag::FindTag(parent, "dict", kDictName, 0)) {
    AudioPrefs& p = gAudioPrefs;
    ReadBoolean(dict, "Sound On", &p.soundOn);
    ReadBoolean(dict, "Music On", &p.musicOn);
    ReadIntegerInto(dict, "Sound Volume", &p.soundVolume);
    ReadIntegerInto(dict, "Music Volume", &p.musicVolume);
    SInt32 value;
    // Anything else would stall or divide by zero in the converters.
    if (ReadInteger(dict, "Sample Size", &value) && (value == 8 || value == 16))
      p.sampleSize = static_cast<UInt8>(value);
    if (ReadInteger(dict, "Sample Rate", &value)) {
      const UInt32 rate = static_cast<UInt32>(value);
      if (rate == kRate11025 || rate == kRate22050 || rate == kRate44100) p.sampleRate = rate;
    }
    ReadBoolean(dict, "Stereo", &p.stereo);
    ReadIntegerInto(dict, "Num Channels", &p.numChannels);
    ReadBoolean(dict, "Interpolation", &p.interpolation);
    ReadBoolean(dict, "Smoothing", &p.smoothing);
    ReadBoolean(dict, "Sound Echos", &p.soundEchos);
    ReadBoolean(dict, "Music Echos", &p.musicEchos);
    ReadBoolean(dict, "Fake Stereo", &p.fakeStereo);
    ReadIntegerInto(dict, "Preset", &p.preset);
  }
  AdjustAudioPrefsToDevice(&gAudioPrefs);
  SetOutputFormatCode(&gAudioPrefs);
  CopyAudioPrefsToMixer();
}

void AdjustAudioPrefsToDevice(AudioPrefs* prefs) {
  // A failed query writes nothing: it must not pass for an answer.
  UInt16 channels = 2;
  UInt16 sampleSize = 16;
  UInt32 rate = kRate44100;
  if (QueryOutputDevice(&channels, &sampleSize, &rate) != 0) return;
  prefs->deviceStereo = channels == 2;
  prefs->device16Bit = sampleSize == 16;
  prefs->deviceRate = rate == kRate44100 ? kRate44100 : kRate22050;
  if (!prefs->device16Bit) prefs->sampleSize = 8;
  if (prefs->sampleRate > prefs->deviceRate) {
    if (prefs->deviceRate < kRate44100) prefs->sampleRate = kRate22050;
    if (prefs->deviceRate < kRate22050) prefs->sampleRate = kRate11025;
  }
  if (!prefs->deviceStereo) prefs->stereo = 0;
}

void SetOutputFormatCode(AudioPrefs* prefs) {
  if (prefs->sampleSize == 8)
    prefs->outputFormatCode = prefs->stereo ? 1 : 0;
  else if (prefs->sampleSize == 16)
    prefs->outputFormatCode = prefs->stereo ? 3 : 2;
}

void ResetAudioPrefs(AudioPrefs* prefs, PlistTag* parent) {
  AudioPrefs defaults = AUDIO_PREFS_DEFAULTS;
  CopyKeyedFields(defaults, prefs);
  WriteRecord(*prefs, parent);
  AdjustAudioPrefsToDevice(prefs);
}

void RestoreAudioPrefsFromMixer(AudioPrefs* prefs) {
  CopyKeyedFields(gMixerAudioPrefs, prefs);
  AdjustAudioPrefsToDevice(prefs);
  SetOutputFormatCode(prefs);
}
