// OpenAL start-up and the pool of up to 16 sources on which sound effects
// play, with the sound-field rect that places them left or right.
#pragma once

#include "MacTypes.h"

constexpr int kMaxPoolSources = 16;

struct SourcePool {
  SInt32 count;
  SInt32 lastPicked;
  UInt8 reserved[kMaxPoolSources];
  UInt32 sources[kMaxPoolSources];
  UInt32 currentBuffer[kMaxPoolSources];  // last buffer the effect player attached
  Rect soundField;
};

extern SourcePool gSourcePool;

// Opens the default device once and sets the listener.
void StartOpenAL();
// The listener at (0, 0, 1) facing -z, up +y, at rest.
void PlaceDefaultListener();
UInt8 IsOpenALStarted();
// Up to 16 sources; an existing non-zero count is returned unchanged.
UInt32 CreateSourcePool();
UInt32 GetSourceCount();
void StopSource(UInt32 source);
void StopAllSources();
void DeleteSourcePool();
void SetSourceReserved(UInt32 index, UInt8 flag);
UInt8 IsSourceReserved(UInt32 index);
// A source that is not playing, after the one handed out last; 0 for none.
UInt32 FindIdleSource();
// With preferFree an idle source first, else the next unreserved one.
UInt32 PickSoundSource(UInt8 preferFree);
void SetSoundFieldRect(const Rect* rect);

// Closes OpenAL: clears pending errors first, since alutExit refuses while
// one is pending. The library's exit entry.
void CloseOpenAL();

// Tests only: stops and deletes the pool, the channels, the stream buffers and
// the effect buffers, closes the device (the wave backend writes its sizes
// then) and clears both started flags, so OpenAL can start again.
void ShutdownAudioForTesting();
