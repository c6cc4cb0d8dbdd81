// The replay recorder: the inputs a game reads and the random seed, kept as a
// compact bit stream so a run can be played again exactly, with checkpoints
// that compare the seed and the stream position between the two runs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "EventPoll.h"
#include "MacTypes.h"
#include "SystemUI.h"

enum ReplayMode : UInt16 { kReplayIdle = 0, kReplayRecording = 1, kReplayPlaying = 2, kReplayEnded = 3 };

struct ReplayObject {
  std::string dataPath;
  std::string syncPath;
  FILE* data = nullptr;
  FILE* sync = nullptr;  // optional
  UInt32 dataLength = 0;  // bytes: where the recording began plus every byte written since
  UInt16 mode = kReplayIdle;
  SInt32 bitPosition = 0;
  UInt32 totalBits = 0;
  UInt32 seed = 0;
  UInt32 bufferSize = 8;  // bytes, at least 8
  UInt32 chunkSize = 1;   // bytes
  std::vector<UInt8> buffer;
  UInt32 loadedBits = 0;  // playback
  UInt8 endOfData = 0;
  // Set by a divergence report or a short sync record: the checkpoints stop
  // comparing, while playback goes on to the data's end.
  UInt8 compareNoMore = 0;
  // Where the last recording began in each file.
  long dataStart = 0;
  long syncStart = 0;
  // The last two checkpoints: where the runs last agreed, and now.
  std::string lastFile;
  SInt32 lastLine = 0;
  std::string previousFile;
  SInt32 previousLine = 0;
};

extern ReplayObject Replay;
// Set when a write or flush of a recording failed (the recording then stops).
extern UInt8 ReplayWriteFailed;

// Start-up entry and its exit: a fresh object; the exit stops a running
// recording as StopReplay does, closes both files and leaves the object idle.
void InitReplay();
void ExitReplay();

// Both refuse (-1) while recording or playing; otherwise they close open
// streams and set the object idle. Recording appends to the data file
// (created when missing); playback reads from the offsets. Nil sync path: no
// checkpoints.
SInt32 OpenReplayRecording(const char* dataPath, const char* syncPath);
SInt32 OpenReplayPlayback(const char* dataPath, long dataOffset, const char* syncPath, long syncOffset);
long ReplayDataStart();
long ReplaySyncStart();

void StartRecording();
// Fatal without an open data stream.
void StartPlayback();
void StopReplay();

// Recording: appended and returned; playing: the recorded value instead;
// otherwise the argument.
UInt32 ReplayLong(UInt32 value);
UInt16 ReplayShort(UInt16 value);
UInt8 ReplayByte(UInt8 value);
Boolean ReplayBool(Boolean value);

// Keeps the place for the divergence report, then compares (playing) or
// writes (recording) the seed and the bit counter.
void ReplayCheckpoint(const char* sourcePath, SInt32 line, const char* function);
UInt32 GetRecordedKilobytes();

// The game's inputs through the replay.
Point ReplayAccumulatedMouse();
Point ReplayLocalMouse();
UInt8 ReplayMouseState(MouseState* outState);
Boolean ReplayMouseButton();
Boolean ReplayEventHasModifier(SInt16 modifier, const EventRec* record);
Boolean ReplayKeyRepeat(SInt16 keyCode);
Boolean ReplayKeyDown(SInt16 keyCode, SInt16 modifier, const EventRec* record);
Boolean ReplayKeyWasPressed(UInt8 keyCode, const char* sourcePath, SInt32 line, const char* function);
