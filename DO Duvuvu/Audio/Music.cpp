#include "Music.h"

#include <algorithm>
#include <cstring>

#include "AudioPrefs.h"
#include "Clocks.h"
#include "Lists.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SourcePool.h"

namespace {

PtrList<MusicPlayer>* gMusicPlayers;
PtrList<StreamPlayer>* gStreamPlayers;
UInt8* gPauseFlags;
UInt32 gPauseFlagCount;
UInt8 gPausedAll;
SInt32 (*gTickSource)();

constexpr SInt32 kChunkBytes = OggStream::kChunkSize;
constexpr SInt32 kBufferStride = kExtSoundHeaderSize + kChunkBytes;

template <typename T>
void ReleaseEmptyList(PtrList<T>*& list) {
  if (list && list->Count() == 0) {
    delete list;
    list = nullptr;
  }
}

SoundHeader* BufferHeader(StreamPlayer* p, UInt32 index) {
  return reinterpret_cast<SoundHeader*>(p->bufferMemory + static_cast<size_t>(index) * kBufferStride);
}

void SendLevel(StreamPlayer* p, SInt32 level) {
  const UInt32 word = static_cast<UInt32>(level) << 16 | (static_cast<UInt32>(level) & 0xFFFF);
  const SoundCommand cmd{kVolumeCmd, 0, word};
  DoSoundCommand(p->channel, &cmd);
}

void SendCommand(StreamPlayer* p, UInt16 code, SInt16 param1 = 0, uintptr_t param2 = 0) {
  const SoundCommand cmd{code, param1, param2};
  DoSoundCommand(p->channel, &cmd);
}

// Lets go of the channel and the buffers, and leaves the stream-player list.
void ReleaseStreamPlayer(StreamPlayer* p) {
  if (gStreamPlayers) {
    gStreamPlayers->RemoveValue(p);
    ReleaseEmptyList(gStreamPlayers);
  }
  if (p->channel && IsOpenALStarted()) DisposeSoundChannel(p->channel);
  p->channel = nullptr;
  DisposePtrBlock_Audio(p->bufferMemory);
  p->bufferMemory = nullptr;
  p->playState = StreamPlayer::kStopped;
  p->filled = 0;
}

}  // namespace

double GetSecondsNow() { return (gTickSource ? gTickSource() : GetTicks()) / 60.0; }

void SetAudioTickSourceForTesting(SInt32 (*source)()) { gTickSource = source; }

// StreamPlayer --------------------------------------------------------------------

UInt32 StreamPlayer::Init(StreamPlayer* p) {
  if (p->channel) return 1;
  Handle scratch = NewHandleBlockClear_Audio(100);
  if (!scratch) return 1;
  if (NewSoundChannel(&p->channel, 5, 0, nullptr) == 0) {
    UInt8* memory = reinterpret_cast<UInt8*>(NewPtrBlockClear_Audio(kStreamBuffers * kBufferStride));
    UInt16 dataStart = 0;
    if (!memory) {
      DisposeSoundChannel(p->channel);
      p->channel = nullptr;
    } else {
      p->channel->queueLength = kStreamQueueLength;
      SetupSoundHeader(scratch, 2, kRate44100, 16, FOUR_CHAR_CODE("NONE"), 60, kChunkBytes, &dataStart);
      p->dataOffset = kExtSoundHeaderSize;
      p->bufferMemory = memory;
      const UInt8* templateHeader = reinterpret_cast<const UInt8*>(*scratch) + dataStart - kExtSoundHeaderSize;
      for (UInt32 k = 0; k < kStreamBuffers; ++k) {
        std::memcpy(BufferHeader(p, k), templateHeader, kExtSoundHeaderSize);
        p->bufferCommands[k] = {kBufferCmd, 0, reinterpret_cast<uintptr_t>(BufferHeader(p, k))};
      }
      p->bufferIndex = 0;
      p->filled = 0;
      SendCommand(p, kClockCmd, 1, 0);
      SendCommand(p, kGetClockCmd, 0, reinterpret_cast<uintptr_t>(&p->clockWord));
      if (!gStreamPlayers) gStreamPlayers = new PtrList<StreamPlayer>();
      if (!gStreamPlayers->FindValue(p)) gStreamPlayers->AddValue(p);
    }
  }
  DisposeHandleBlock_Audio(scratch);
  return 1;
}

void StreamPlayer::Play(StreamPlayer* p, OggStream* stream, UInt8 restart) {
  if (!p->channel) return;
  if (restart && stream && p->playState == kPlaying) Stop(p);
  OggStream* toPlay = stream;
  if (!stream) {
    toPlay = p->current;
  } else if (restart || !p->current) {
    p->current = stream;
  } else {
    p->next = stream;
  }
  if (toPlay && toPlay->GetState() == OggStream::kOpen) {
    SendCommand(p, kResumeCmd);
    p->playState = kPlaying;
    Service(p);
  }
}

void StreamPlayer::Stop(StreamPlayer* p) {
  if (!p->channel || !p->current) return;
  SendCommand(p, kFlushCmd);
  SendCommand(p, kQuietCmd);
  p->current->Rewind();
  p->filled = 0;
  p->playState = kStopped;
  Service(p);
}

void StreamPlayer::Pause(StreamPlayer* p) {
  if (!p->channel || !p->current || p->playState != kPlaying) return;
  SendCommand(p, kPauseCmd);
  p->playState = kPaused;
}

void StreamPlayer::Resume(StreamPlayer* p) {
  if (p->playState == kPaused) Play(p, nullptr, 1);
}

void StreamPlayer::Service(StreamPlayer* p) {
  if (!p->channel) return;
  UpdateFade(p);
  while (p->playState == kPlaying) {
    if (!p->current || p->current->GetState() != OggStream::kOpen) return;
    UpdateFade(p);
    if (!p->filled) {
      SoundHeader* header = BufferHeader(p, p->bufferIndex);
      bool rewound = false;
      for (;;) {
        const SInt32 n = p->current->Read(reinterpret_cast<UInt8*>(header) + p->dataOffset, kChunkBytes);
        if (n >= 1) {
          const SInt32 channels = p->current->Channels();
          soundheader::Set32(header, soundheader::kChannels, static_cast<UInt32>(channels));
          soundheader::Set32(header, soundheader::kRate, p->current->Rate());
          soundheader::Set32(header, soundheader::kFrames, static_cast<UInt32>(n / channels / 2));
          p->filled = 1;
          break;
        }
        // A stream that yields nothing even from its start would loop here
        // for ever: it stops instead, as does one that cannot rewind.
        if (rewound) {
          p->playState = kStopped;
          return;
        }
        if (p->next) {
          p->current = p->next;
          p->next = nullptr;
        }
        if (p->current->Rewind() != 0) {
          p->playState = kStopped;
          return;
        }
        if (!p->loop) {
          p->playState = kStopped;
          return;
        }
        rewound = true;
        if (p->current->GetState() != OggStream::kOpen) break;
      }
    }
    if (!p->filled) continue;
    if (QueueSoundCommand(p->channel, &p->bufferCommands[p->bufferIndex], 1) != 0) return;
    p->bufferIndex = (p->bufferIndex + 1) % kStreamBuffers;
    p->filled = 0;
  }
}

void StreamPlayer::SetVolume(StreamPlayer* p, SInt16 volume, float seconds) {
  if (!p->channel) return;
  if (seconds == 0.0f) {
    p->volume = volume;
    const SInt16 level = static_cast<SInt16>(volume * gAudioPrefs.musicVolume / 256);
    SendLevel(p, level);
    p->fadeStartVolume = 0;
    p->fadeTarget = 0;
    p->fadeStart = 0.0;
    p->fadeEnd = 0.0;
    return;
  }
  p->fadeStartVolume = p->volume;
  p->fadeTarget = volume;
  p->fadeStart = GetSecondsNow();
  p->fadeEnd = p->fadeStart + seconds;
}

void StreamPlayer::UpdateFade(StreamPlayer* p) {
  if (!p->channel || !(p->fadeEnd - p->fadeStart > 0.0)) return;
  const double t = (GetSecondsNow() - p->fadeStart) / (p->fadeEnd - p->fadeStart);
  if (t < 1.0) {
    const double v = t * (p->fadeTarget - p->fadeStartVolume) + p->fadeStartVolume;
    p->volume = static_cast<SInt16>(v);
    SendLevel(p, static_cast<SInt32>(v * gAudioPrefs.musicVolume * (1.0 / 256.0)));
  } else {
    SetVolume(p, p->fadeTarget, 0.0f);
  }
}

void StreamPlayer::SetLatency(StreamPlayer* p, float milliseconds) {
  SInt32 channels = p->current ? p->current->Channels() : 2;
  if (channels < 1) channels = 2;
  const float limit = static_cast<float>(131072000 / channels / 44100);
  p->latencyLimit = std::min(milliseconds, limit);
}

// MusicPlayer ---------------------------------------------------------------------

MusicPlayer::MusicPlayer() { RegisterMusicPlayer(this); }

MusicPlayer::~MusicPlayer() {
  UnregisterMusicPlayer(this);
  // The channel would otherwise read buffers that are gone.
  ReleaseStreamPlayer(&streamPlayer);
}

SInt32 MusicPlayer::Open(MusicPlayer* player, const char* path) {
  StreamPlayer::Init(&player->streamPlayer);
  Stop(player);
  if (!player->stream.Open(path)) return kErrFailed;
  player->fileName = path;
  player->wantsToPlay = 0;
  StreamPlayer::SetVolume(&player->streamPlayer, 256, 0.0f);
  return 0;
}

void MusicPlayer::Play(MusicPlayer* player) {
  if (player->loop) player->wantsToPlay = 1;
  if (!gAudioPrefs.musicOn) return;
  StreamPlayer::SetLoop(&player->streamPlayer, player->loop);
  StreamPlayer::Play(&player->streamPlayer, &player->stream, 1);
}

void MusicPlayer::Stop(MusicPlayer* player) { StreamPlayer::Stop(&player->streamPlayer); }

void MusicPlayer::Pause(MusicPlayer* player) { StreamPlayer::Pause(&player->streamPlayer); }

void MusicPlayer::Resume(MusicPlayer* player) {
  if (!gAudioPrefs.musicOn) return;
  if (StreamPlayer::IsPaused(&player->streamPlayer))
    StreamPlayer::Resume(&player->streamPlayer);
  else if (player->wantsToPlay)
    Play(player);
}

void MusicPlayer::SetVolume(MusicPlayer* player, SInt16 volume) {
  player->streamPlayer.ownerVolume = volume;
  StreamPlayer::SetVolume(&player->streamPlayer, static_cast<SInt16>(volume * gAudioPrefs.musicVolume / 255),
                          0.0f);
}

void MusicPlayer::Close(MusicPlayer* player) {
  StreamPlayer::Stop(&player->streamPlayer);
  player->wantsToPlay = 0;
  player->stream.Close();
  player->fileName.clear();
}

void RegisterMusicPlayer(MusicPlayer* player) {
  if (!gMusicPlayers) gMusicPlayers = new PtrList<MusicPlayer>();
  gMusicPlayers->AddValue(player);
}

void UnregisterMusicPlayer(MusicPlayer* player) {
  if (!gMusicPlayers) return;
  gMusicPlayers->RemoveValue(player);
  ReleaseEmptyList(gMusicPlayers);
}

void ApplyMusicVolumes() {
  if (!gMusicPlayers) return;
  for (PtrNode<MusicPlayer>* node = gMusicPlayers->First(); node; node = node->next)
    MusicPlayer::SetVolume(node->value, node->value->streamPlayer.ownerVolume);
}

void ServiceMusicPlayers() {
  if (!gStreamPlayers) return;
  for (PtrNode<StreamPlayer>* node = gStreamPlayers->First(); node; node = node->next)
    StreamPlayer::Service(node->value);
}

void PauseAllMusic() {
  FreeMusicPauseFlags();
  if (!gMusicPlayers) return;
  gPauseFlagCount = gMusicPlayers->Count();
  gPauseFlags = new UInt8[gPauseFlagCount];
  UInt32 i = 0;
  for (PtrNode<MusicPlayer>* node = gMusicPlayers->First(); node; node = node->next, ++i) {
    gPauseFlags[i] = StreamPlayer::IsPlaying(&node->value->streamPlayer);
    MusicPlayer::Stop(node->value);
  }
  gPausedAll = 1;
}

void ResumeAllMusic() {
  if (!gPausedAll) return;
  if (gMusicPlayers && gPauseFlags) {
    UInt32 i = 0;
    for (PtrNode<MusicPlayer>* node = gMusicPlayers->First(); node && i < gPauseFlagCount; node = node->next, ++i) {
      if (gPauseFlags[i]) MusicPlayer::Play(node->value);
    }
  }
  gPausedAll = 0;
}

void FreeMusicPauseFlags() {
  delete[] gPauseFlags;
  gPauseFlags = nullptr;
  gPauseFlagCount = 0;
}

void ReleaseStreamPlayersForTesting() {
  while (gStreamPlayers && gStreamPlayers->First()) ReleaseStreamPlayer(gStreamPlayers->First()->value);
}
