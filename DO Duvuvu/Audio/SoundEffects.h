// Sound effects: ALSound holds OpenAL buffers decoded whole from Ogg files,
// played on pool sources at a point of the screen.
#pragma once

#include "MacTypes.h"
#include "SourcePool.h"

struct SoundSample;

class ALSound {
 public:
  ALSound() = default;
  // Deletes both slots.
  ~ALSound();
  ALSound(const ALSound&) = delete;
  ALSound& operator=(const ALSound&) = delete;

  using UploadRoutine = UInt32 (*)(ALSound* sound, UInt32 slot, SInt32 format, const void* data, SInt32 bytes,
                                   SInt32 rate);

  // 1 when the slot's buffer took the data; an upload error leaves it empty.
  static UInt32 SetData(ALSound* sound, SInt32 format, const void* data, SInt32 bytes, SInt32 rate, UInt32 slot);
  // Slot 0 for any index other than 0 or 1.
  static UInt32 GetBuffer(const ALSound* sound, SInt32 index);
  // Uploads the converted sample as MONO16, mixing stereo down.
  static UInt8 LoadSample(ALSound* sound, SoundSample* sample, SInt32 slot, UploadRoutine upload);
  // Slot below 0 deletes both; sources holding the buffer are stopped and
  // detached first.
  static void DeleteBuffer(ALSound* sound, SInt32 slot);
  static void PlayInRect(ALSound* sound, UInt32 source, const Rect* rect, float gain, float pitch, UInt8 loop);

  UInt32 buffer[2] = {0, 0};
};

void PlayBufferOnSource(UInt32 buffer, UInt32 source, SInt32 h, SInt32 v, float gain, float pitch, UInt8 loop);
void PlaySoundAtPoint(UInt32 buffer, UInt32 source, const Point* pt, float gain, float pitch, UInt8 loop);
void PlaySoundInRect(UInt32 buffer, UInt32 source, const Rect* rect, float gain, float pitch, UInt8 loop);

// Deletes the buffers of every loaded sound (the test-only shutdown).
void DeleteAllSoundBuffers();
