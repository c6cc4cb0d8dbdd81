#include "AudioPrefsHooks.h"

#include "PlistTag.h"

namespace {

AudioPrefsHook gWriteHook;
AudioPrefsHook gReadHook;

void StandInWrite(PlistTag* root) {
  PlistTag::FindTag(root, "dict", "Audio Prefs", 1);
}

void StandInRead(PlistTag* root) {
  PlistTag::FindTag(root, "dict", "Audio Prefs", 0);
}

}  // namespace

void SetAudioPrefsHooks(AudioPrefsHook write, AudioPrefsHook read) {
  gWriteHook = write;
  gReadHook = read;
}

void CallWriteAudioPrefs(PlistTag* root) {
  (gWriteHook ? gWriteHook : StandInWrite)(root);
}

void CallReadAudioPrefs(PlistTag* root) {
  (gReadHook ? gReadHook : StandInRead)(root);
}
