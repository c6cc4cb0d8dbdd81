// MainPrefs reaches the audio preferences through these hooks; the audio
// library installs its WriteAudioPrefs/ReadAudioPrefs at start-up.
#pragma once

class PlistTag;

using AudioPrefsHook = void (*)(PlistTag* root);

// Nil restores the stand-ins: the writer makes sure the "dict" child
// "Audio Prefs" exists, the reader only looks it up.
void SetAudioPrefsHooks(AudioPrefsHook write, AudioPrefsHook read);
void CallWriteAudioPrefs(PlistTag* root);
void CallReadAudioPrefs(PlistTag* root);
