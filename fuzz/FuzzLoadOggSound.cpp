// Whole-file Ogg decoding and conversion of an effect on arbitrary bytes.
// The loader opens files by name, so each input goes through a memory file.
#include <cstdint>
#include <cstdlib>

#include "AudioStartup.h"
#include "MemoryFile.h"
#include "VorbisFileLeaks.h"
#include "SoundData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  static MemoryFile file;
  static bool started = false;
  if (!started) {
    InitAudioGlobals();
    started = true;
  }
  const char* path = file.Hold(data, size);

  const int freeBefore = LowestFreeDescriptor();
  SoundSample sample;
  const SInt32 result = LoadOggSound(&sample, path);
  if (LowestFreeDescriptor() != freeBefore) std::abort();
  if (result == 0) {
    SoundHeader* header = sample.Header();
    if (!header) std::abort();
    const SInt32 channels = GetSoundHeaderChannels(header);
    if (channels != 1 && channels != 2) std::abort();
    if (static_cast<SInt64>(GetSoundHeaderFrames(header)) * channels * 2 > 32 << 20) std::abort();
  }
  return 0;
}
