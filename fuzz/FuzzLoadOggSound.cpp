// Whole-file Ogg decoding and conversion of an effect on arbitrary bytes.
// The loader opens files by name, so each input goes through a memory file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "AudioStartup.h"
#include "SoundData.h"

namespace {

int gFile = -1;
char gPath[64];

// The lowest free descriptor: a leaked or doubly closed file moves it.
int LowestFreeDescriptor() {
  const int fd = dup(0);
  if (fd >= 0) close(fd);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  if (gFile < 0) {
    InitAudioGlobals();
    gFile = memfd_create("ogg", 0);
    if (gFile < 0) std::abort();
    std::snprintf(gPath, sizeof gPath, "/proc/self/fd/%d", gFile);
  }
  if (ftruncate(gFile, 0) != 0) std::abort();
  if (size && pwrite(gFile, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

  const int freeBefore = LowestFreeDescriptor();
  SoundSample sample;
  const SInt32 result = LoadOggSound(&sample, gPath);
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
