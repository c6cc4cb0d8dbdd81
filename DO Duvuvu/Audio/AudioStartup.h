// The audio library's globals: its lists and the audio preferences' defaults.
#pragma once

// Makes the sample list and the mixer's lists, sets the preference defaults
// and installs the preference reader and writer into the core's hooks.
void InitAudioGlobals();
void ExitAudioGlobals();
// The one global SoundSample.
void InitGlobalSoundSample();
void ExitGlobalSoundSample();
