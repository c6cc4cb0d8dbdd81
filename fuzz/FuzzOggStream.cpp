// Music streaming on arbitrary bytes: the file played as looping music through
// the stream player's ring of buffers on OpenAL's null driver, stopped and
// played again; then the stream alone, read to its end, rewound and read
// again. Reads are bounded so that a run ends fast.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "AudioPrefs.h"
#include "AudioStartup.h"
#include "MemoryFile.h"
#include "VorbisFileLeaks.h"
#include "Music.h"
#include "ResultCodes.h"
#include "SoundData.h"

namespace {

// The most decoded bytes one run reads through the stream on its own.
constexpr SInt64 kMostBytesRead = 1 << 20;

// Reads up to kMostBytesRead; every read fits the buffer.
void ReadAll(OggStream* stream, std::vector<char>* buffer) {
  SInt64 total = 0;
  while (total < kMostBytesRead) {
    const SInt32 n = stream->Read(buffer->data(), static_cast<SInt32>(buffer->size()));
    if (n < 0 || n > static_cast<SInt32>(buffer->size())) std::abort();
    if (n == 0) break;
    total += n;
    stream->Tell();
  }
}

// One player for every input, as the game keeps its own: making a channel
// waits two ticks for the sound system.
void PlayAsMusic(const char* path) {
  static MusicPlayer* player = new MusicPlayer;
  if (MusicPlayer::Open(player, path) != noErr) return;
  player->loop = 1;
  MusicPlayer::Play(player);
  for (int i = 0; i < 3; ++i) ServiceMusicPlayers();
  MusicPlayer::Stop(player);
  MusicPlayer::Play(player);
  ServiceMusicPlayers();
  MusicPlayer::Close(player);
}

void ReadTheStream(const char* path) {
  OggStream stream;
  if (!stream.Open(path)) return;
  const SInt32 channels = stream.Channels();
  if (channels != 1 && channels != 2) std::abort();
  if (stream.Rate() == 0) std::abort();
  std::vector<char> buffer(static_cast<size_t>(OggStream::kChunkSize));
  ReadAll(&stream, &buffer);
  stream.TotalBytes64();
  if (stream.Rewind() == 0) ReadAll(&stream, &buffer);
  stream.Close();
  if (stream.Read(buffer.data(), 16) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  static MemoryFile file;
  static bool started = false;
  if (!started) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    InitAudioGlobals();
    gAudioPrefs.musicOn = 1;
    started = true;
  }
  const char* path = file.Hold(data, size);

  const int freeBefore = LowestFreeDescriptor();
  PlayAsMusic(path);
  ReadTheStream(path);
  if (LowestFreeDescriptor() != freeBefore) std::abort();
  return 0;
}
