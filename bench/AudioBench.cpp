// Effect loading and the music pumps, measured on OpenAL Soft's null driver.
// Budgets: a 3 s effect loads within 30 ms and within 1.3 times its decoding
// alone; an idle pump pass within 17 us; one buffer's refill
// (decode + upload) within 0.93 ms.
#include <benchmark/benchmark.h>

#include <AL/al.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "AudioStartup.h"
#include "AudioTestSupport.h"
#include "Music.h"
#include "SoundChannels.h"
#include "SoundData.h"
#include "SoundEffects.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

// GCC 12 under ASan mangles pointers handed to DoNotOptimize.
const void* volatile gPointerSink;

constexpr long kRate = 44100;

// The null driver unless the caller chose another; audio started once.
void StartAudio() {
  static bool started = false;
  if (started) return;
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  InitAudioGlobals();
  StartOpenAL();
  started = true;
}

// Generated Ogg files, kept for the run.
const std::string& EffectPath() {
  static testsupport::TempDir dir;
  static const std::string path = [] {
    const std::string p = dir / "effect.ogg";
    audiotest::WriteOgg(p, 2, kRate, 3 * kRate);
    return p;
  }();
  return path;
}

const std::string& MusicPath() {
  static testsupport::TempDir dir;
  static const std::string path = [] {
    const std::string p = dir / "music.ogg";
    audiotest::WriteOgg(p, 2, kRate, 10 * kRate);
    return p;
  }();
  return path;
}

void EffectDecodeOnly(benchmark::State& state) {
  StartAudio();
  const std::string& path = EffectPath();
  std::vector<char> pcm(3 * kRate * 4 + OggStream::kChunkSize);
  for (auto _ : state) {
    OggStream stream;
    if (!stream.Open(path.c_str())) {
      state.SkipWithError("the effect does not open");
      break;
    }
    SInt32 filled = 0;
    for (;;) {
      const SInt32 n = stream.Read(pcm.data() + filled, static_cast<SInt32>(pcm.size()) - filled);
      if (n < 1) break;
      filled += n;
    }
    benchmark::DoNotOptimize(filled);
  }
}
BENCHMARK(EffectDecodeOnly)->Unit(benchmark::kMillisecond);

void EffectLoadWhole(benchmark::State& state) {
  StartAudio();
  const std::string& path = EffectPath();
  ALSound sound;
  for (auto _ : state) {
    SoundSample sample;
    if (LoadOggSound(&sample, path.c_str()) != 0) {
      state.SkipWithError("the effect does not load");
      break;
    }
    const UInt8 loaded = ALSound::LoadSample(&sound, &sample, 0, nullptr);
    benchmark::DoNotOptimize(loaded);
    gPointerSink = sample.Header();
  }
}
BENCHMARK(EffectLoadWhole)->Unit(benchmark::kMillisecond);

// One playing piece, its command ring and OpenAL queue full; the source is
// paused so that nothing is processed and every pass finds no work.
void IdlePumpPass(benchmark::State& state) {
  StartAudio();
  SetDefaultAudioPrefs(&gAudioPrefs);
  MusicPlayer player;
  if (MusicPlayer::Open(&player, MusicPath().c_str()) != 0) {
    state.SkipWithError("the music does not open");
    return;
  }
  player.loop = 1;
  MusicPlayer::Play(&player);
  SoundChannel* chan = player.streamPlayer.channel;
  if (!chan || !StreamPlayer::IsPlaying(&player.streamPlayer)) {
    state.SkipWithError("no output device");
    return;
  }
  for (int i = 0; i < 4; ++i) {
    ServiceMusicPlayers();
    ServiceSoundChannels();
  }
  alSourcePause(chan->source->source);
  for (auto _ : state) {
    ServiceMusicPlayers();
    ServiceSoundChannels();
  }
  ALint processed = -1;
  alGetSourcei(chan->source->source, AL_BUFFERS_PROCESSED, &processed);
  if (processed != 0) state.SkipWithError("buffers were processed during the idle passes");
  MusicPlayer::Close(&player);
}
BENCHMARK(IdlePumpPass);

// A chunk decoded and uploaded to one OpenAL buffer, as one refill does.
void RefillOneBuffer(benchmark::State& state) {
  StartAudio();
  OggStream stream;
  SoundChannel* chan = nullptr;
  if (!stream.Open(MusicPath().c_str()) || NewSoundChannel(&chan, 5, 0, nullptr) != 0) {
    state.SkipWithError("no stream or no channel");
    if (chan) DisposeSoundChannel(chan);
    return;
  }
  std::vector<UInt8> block(kExtSoundHeaderSize + OggStream::kChunkSize);
  auto* header = reinterpret_cast<SoundHeader*>(block.data());
  block[soundheader::kEncode] = kExtSoundHeader;
  soundheader::Set32(header, soundheader::kChannels, 2);
  soundheader::Set32(header, soundheader::kRate, kRate44100);
  soundheader::Set16(header, soundheader::kSampleSize, 16);
  ChannelSource* cs = chan->source;
  UInt32 next = 0;
  for (auto _ : state) {
    SInt32 n = stream.Read(block.data() + kExtSoundHeaderSize, OggStream::kChunkSize);
    if (n < 1) {
      stream.Rewind();
      n = stream.Read(block.data() + kExtSoundHeaderSize, OggStream::kChunkSize);
    }
    soundheader::Set32(header, soundheader::kFrames, static_cast<UInt32>(n / 4));
    chan->current = {kBufferCmd, 0, reinterpret_cast<uintptr_t>(header)};
    cs->readPosition = 0;
    const UInt8 ended = FillChannelBuffer(chan, cs->buffers[next]);
    benchmark::DoNotOptimize(ended);
    if (++next == kChannelStreamBuffers) {
      // A stopped source counts every queued buffer as processed.
      alSourceStop(cs->source);
      ALuint done[kChannelStreamBuffers];
      alSourceUnqueueBuffers(cs->source, kChannelStreamBuffers, done);
      next = 0;
    }
  }
  alGetError();
  chan->current = {};
  DisposeSoundChannel(chan);
}
BENCHMARK(RefillOneBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace
