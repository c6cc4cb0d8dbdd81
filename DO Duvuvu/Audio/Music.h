// Music streaming: a MusicPlayer is one piece of music in an Ogg file; its
// StreamPlayer decodes it chunk by chunk into a ring of 16 buffers handed to
// a sound channel as buffer commands.
#pragma once

#include <string>

#include "MacTypes.h"
#include "SoundChannels.h"
#include "SoundData.h"

constexpr int kStreamBuffers = 16;
constexpr SInt16 kStreamQueueLength = 14;

class StreamPlayer {
 public:
  enum : UInt32 { kStopped = 0, kPlaying = 1, kPaused = 2 };

  StreamPlayer() = default;
  ~StreamPlayer() = default;
  StreamPlayer(const StreamPlayer&) = delete;
  StreamPlayer& operator=(const StreamPlayer&) = delete;

  // Always 1; the player stays without a channel when none can be made.
  static UInt32 Init(StreamPlayer* player);
  static void Play(StreamPlayer* player, OggStream* stream, UInt8 restart);
  static void Stop(StreamPlayer* player);
  static void Pause(StreamPlayer* player);
  static void Resume(StreamPlayer* player);
  static void Service(StreamPlayer* player);
  static void SetVolume(StreamPlayer* player, SInt16 volume, float seconds);
  static void UpdateFade(StreamPlayer* player);
  static void SetLatency(StreamPlayer* player, float milliseconds);

  static UInt8 IsPlaying(const StreamPlayer* p) { return p->playState == kPlaying; }
  static UInt8 IsPaused(const StreamPlayer* p) { return p->playState == kPaused; }
  static UInt8 IsStopped(const StreamPlayer* p) { return p->playState == kStopped; }
  static UInt32 GetState(const StreamPlayer* p) { return p->playState; }
  static UInt8 GetLoop(const StreamPlayer* p) { return p->loop; }
  static void SetLoop(StreamPlayer* p, UInt8 loop) { p->loop = loop; }
  static SInt16 GetVolume(const StreamPlayer* p) { return p->volume; }
  static OggStream* GetStream(const StreamPlayer* p) { return p->current; }
  static float GetLatency(const StreamPlayer* p) { return p->latencyLimit; }

  SoundChannel* channel = nullptr;
  SoundCommand bufferCommands[kStreamBuffers] = {};
  UInt32 bufferIndex = 0;
  UInt8 filled = 0;
  UInt8* bufferMemory = nullptr;
  UInt32 dataOffset = 0;
  float latencyLimit = 0.0f;
  UInt32 playState = kStopped;
  UInt8 loop = 0;
  UInt32 clockWord = 0;
  SInt16 volume = 0;
  SInt16 fadeStartVolume = 0;
  SInt16 fadeTarget = 0;
  SInt16 ownerVolume = 255;
  double fadeStart = 0.0;
  double fadeEnd = 0.0;
  OggStream* current = nullptr;
  OggStream* next = nullptr;
};

class MusicPlayer {
 public:
  // Registers the player in the music-player list; the destructor removes it.
  MusicPlayer();
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // 0, or -1 when the file does not open.
  static SInt32 Open(MusicPlayer* player, const char* path);
  static void Play(MusicPlayer* player);
  static void Stop(MusicPlayer* player);
  static void Pause(MusicPlayer* player);
  static void Resume(MusicPlayer* player);
  static void SetVolume(MusicPlayer* player, SInt16 volume);
  static void Close(MusicPlayer* player);

  OggStream stream;
  StreamPlayer streamPlayer;
  UInt8 loop = 0;
  std::string fileName;
  UInt8 wantsToPlay = 0;
};

void RegisterMusicPlayer(MusicPlayer* player);
void UnregisterMusicPlayer(MusicPlayer* player);
void ApplyMusicVolumes();
void ServiceMusicPlayers();
void PauseAllMusic();
void ResumeAllMusic();
void FreeMusicPauseFlags();

// Ticks / 60.
double GetSecondsNow();
// Tests only: replaces the tick source GetSecondsNow reads (nil restores it).
void SetAudioTickSourceForTesting(SInt32 (*source)());

// Drops every stream player's channel and buffers (the test-only shutdown).
void ReleaseStreamPlayersForTesting();
