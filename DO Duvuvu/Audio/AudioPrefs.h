// The audio settings: one global record, kept as the "Audio Prefs" dictionary
// of the preferences file.
#pragma once

#include "MacTypes.h"

class PlistTag;

struct AudioPrefs {
  UInt8 soundOn;
  UInt8 musicOn;
  SInt16 soundVolume;  // 0..255
  SInt16 musicVolume;  // 0..255
  UInt8 sampleSize;    // 8 or 16
  UInt32 sampleRate;   // 16.16
  UInt8 stereo;
  UInt8 preset;
  UInt8 numChannels;
  UInt8 interpolation;
  UInt8 smoothing;
  UInt8 soundEchos;
  UInt8 musicEchos;
  UInt8 fakeStereo;
  // What the device can do; not stored.
  UInt8 deviceStereo;
  UInt8 device16Bit;
  UInt32 deviceRate;
  UInt8 outputFormatCode;  // 0 mono 8, 1 stereo 8, 2 mono 16, 3 stereo 16
};

extern AudioPrefs gAudioPrefs;
// The mixer's copy of the fourteen keyed fields.
extern AudioPrefs gMixerAudioPrefs;

// The fourteen keyed fields and the device fields at their defaults.
void SetDefaultAudioPrefs(AudioPrefs* prefs);
void WriteAudioPrefs(PlistTag* parent);
void ReadAudioPrefs(PlistTag* parent);
void AdjustAudioPrefsToDevice(AudioPrefs* prefs);
void SetOutputFormatCode(AudioPrefs* prefs);
void CopyAudioPrefsToMixer();
void ResetAudioPrefs(AudioPrefs* prefs, PlistTag* parent);
void RestoreAudioPrefsFromMixer(AudioPrefs* prefs);
