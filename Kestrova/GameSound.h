// The game's sound glue: every game sound is an ALSound played on a pooled
// source at the centre of the rect of whatever makes it.
#pragma once

#include "MacTypes.h"
#include "SoundEffects.h"

// Plays buffer slot 0 of the sound at the rect's centre; a nil rect is the
// sound-field rect.
void PlayGameSound(ALSound* sound, UInt32 source, const Rect* rect, float volume, float pitch, UInt8 loop);
// An idle source first, else the next one round robin; 0 when none.
UInt32 GetGameSource();
// An idle source only; 0 when every candidate plays or is reserved.
UInt32 GetIdleSource();
// Loads "Audio/<name>.ogg" from the resources into slot 0; the loader's status.
SInt16 LoadSound(ALSound* sound, const char* name);
void DeleteGameSound(ALSound* sound);
void StopGameSource(UInt32 source);
// 0 resumes, 1 pauses, anything else does nothing.
void SetGameSourcePaused(UInt32 source, UInt8 command);
void SetGameSourceVolume(UInt32 source, UInt8 volume);
UInt8 GameSoundLoaded(const ALSound* sound);
UInt8 SourcePlaysGameSound(UInt32 source, const ALSound* sound);

// Where PlayGameSound hands its requests: one replaceable sink, by default
// PlaySoundAtPoint. A recording sink can pass requests on to the default.
struct GameSoundRequest {
  const ALSound* sound;
  UInt32 source;
  Point point;
  float volume;
  float pitch;
  UInt8 loop;
};
typedef void (*GameSoundSink)(const GameSoundRequest& request, void* context);
// Nil restores the default.
void SetGameSoundSink(GameSoundSink sink, void* context);
// The sink now installed (nil: the default) and its context.
GameSoundSink GetGameSoundSink(void** context);
void PlayGameSoundRequest(const GameSoundRequest& request);

// The short name LoadSound was given for the sound ("" for one never loaded
// by name), so that recorded requests can say which sound was asked for.
const char* GameSoundName(const ALSound* sound);
// Forgets every name (a new set of sounds, in tests).
void ClearGameSoundNames();
