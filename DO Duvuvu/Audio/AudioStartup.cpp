#include "AudioStartup.h"

#include "AudioPrefs.h"
#include "AudioPrefsHooks.h"
#include "Mixer.h"
#include "SoundData.h"
#include "SourcePool.h"
#include "Startup.h"

void InitAudioGlobals() {
  GetSoundSampleList();
  InitMixerLists();
  SetDefaultAudioPrefs(&gAudioPrefs);
  CopyAudioPrefsToMixer();
  SetAudioPrefsHooks(WriteAudioPrefs, ReadAudioPrefs);
}

void ExitAudioGlobals() {
  SetAudioPrefsHooks(nullptr, nullptr);
  ExitMixerLists();
  ReleaseSoundSampleList();
  ReleaseSoundHeaderScratch();
}

void RegisterAudioStartup() {
  // Runs after the game's exits, so the music and effects are gone by then.
  AddStartupEntry({"OpenAL", nullptr, CloseOpenAL});
  AddStartupEntry({"Audio globals", InitAudioGlobals, ExitAudioGlobals});
  AddStartupEntry({"Global sound sample", InitGlobalSoundSample, ExitGlobalSoundSample});
}
