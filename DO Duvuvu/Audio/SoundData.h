// Sound data shared by effects, music and the mixer: the Ogg Vorbis reader,
// sound resources in handles with their SoundHeader, whole-file decoding and
// the conversion of a sample to the output format.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "Lists.h"
#include "MacTypes.h"
#include "SoundChannels.h"

// OggStream ---------------------------------------------------------------------

class OggStream {
 public:
  enum : UInt32 { kClosed = 0, kOpen = 2 };
  static constexpr SInt32 kChunkSize = 16384;

  OggStream() = default;
  ~OggStream();
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;

  // 1 when the file opened as Ogg Vorbis with 1 or 2 channels and a rate
  // that fits 16.16; any failure closes the file.
  UInt8 Open(const char* path);
  void Close();
  // Decodes little-endian signed 16-bit samples; the byte count read (0 once
  // a rewind has failed, until the next Open).
  SInt32 Read(void* buffer, SInt32 max);
  SInt32 Tell();
  SInt32 TotalBytes();
  // The same in 64 bits; negative when libvorbisfile cannot tell.
  SInt64 TotalBytes64();
  // 0, or the seek's error (-1 when closed, OV_EOF when the stream holds no
  // audio).
  SInt32 Rewind();
  SInt32 Channels() const;
  UInt32 Rate() const;  // 16.16
  UInt32 GetState() const { return state_; }
  SInt32 ChunkSize() const { return state_ == kOpen ? kChunkSize : 0; }

 private:
  FILE* file_ = nullptr;
  OggVorbis_File vf_{};
  vorbis_info* info_ = nullptr;
  UInt32 state_ = kClosed;
  bool seekFailed_ = false;
};

// SoundHeader -------------------------------------------------------------------
// Byte layouts, read and written through the accessors below since a header
// inside a resource sits at an unaligned offset:
//   standard (encode 0): sample pointer 0, length 4, rate 8, loop start 12,
//     loop end 16, encode 20, base note 21; 8-bit mono samples at 22.
//   extended (encode 255): sample pointer 0, channels 4, rate 8, loop start 12,
//     loop end 16, encode 20, base note 21, frames 24, 80-bit rate 28,
//     three pointers 40, sample size 52, reserved to 68; samples at 68.
// The pointer fields stay 0 ("data follows"); no address is kept in them.

struct SoundHeader;  // raw bytes

enum : UInt8 { kStdSoundHeader = 0, kCmpSoundHeader = 254, kExtSoundHeader = 255 };
constexpr SInt32 kStdSoundHeaderSize = 22;
constexpr SInt32 kExtSoundHeaderSize = 68;
constexpr UInt32 kRate44100 = 0xAC440000u;
constexpr UInt32 kRate22050 = 0x56220000u;
constexpr UInt32 kRate11025 = 0x2B110000u;

namespace soundheader {
enum : SInt32 {
  kSamplePtr = 0,
  kLength = 4,
  kChannels = 4,
  kRate = 8,
  kLoopStart = 12,
  kLoopEnd = 16,
  kEncode = 20,
  kBaseNote = 21,
  kFrames = 24,
  kSampleSize = 52,
};
UInt32 Get32(const SoundHeader* header, SInt32 offset);
void Set32(SoundHeader* header, SInt32 offset, UInt32 value);
UInt16 Get16(const SoundHeader* header, SInt32 offset);
void Set16(SoundHeader* header, SInt32 offset, UInt16 value);
UInt8 Encode(const SoundHeader* header);
}  // namespace soundheader

UInt32 GetSoundHeaderRate(const SoundHeader* header);
SInt32 GetSoundHeaderSampleSize(const SoundHeader* header);
SInt32 GetSoundHeaderChannels(const SoundHeader* header);
UInt32 GetSoundHeaderFrames(const SoundHeader* header);
SInt32 GetSoundHeaderDataOffset(const SoundHeader* header);
UInt8* GetSoundHeaderData(SoundHeader* header);
SInt64 GetSoundHeaderDataBytes(const SoundHeader* header);
// The converters' twins of the sample size and channel accessors.
SInt32 GetSoundHeaderSampleSizeForConvert(const SoundHeader* header);
SInt32 GetSoundHeaderChannelsForConvert(const SoundHeader* header);

// Sound resources ---------------------------------------------------------------

OSErr GetSoundHeaderOffset(Handle resource, UInt32* out);
// The header inside a resource: its first 100 bytes (or fewer) are copied to a
// scratch handle to find the offset.
SoundHeader* GetSoundHeader(Handle resource);
UInt8* GetSoundResourceData(Handle resource);
OSErr SetupSoundHeader(Handle resource, SInt16 channels, UInt32 rate, SInt16 sampleSize, UInt32 compression,
                       SInt16 baseNote, UInt32 bytes, UInt16* outDataOffset);
OSErr NewSoundHandle(Handle* out, SInt16 channels, UInt32 rate, SInt16 sampleSize, SInt16 baseNote,
                     const void* data, SInt32 bytes);
// Releases the scratch handle of GetSoundHeader.
void ReleaseSoundHeaderScratch();

// SoundSample -------------------------------------------------------------------

struct SoundSample {
  SoundSample() = default;
  ~SoundSample();
  SoundSample(const SoundSample&) = delete;
  SoundSample& operator=(const SoundSample&) = delete;

  SoundCommand command{};  // 80 or 81; param2 is the converted header, owned
  UInt16 useCount = 0;
  std::string fileName;

  SoundHeader* Header() const { return reinterpret_cast<SoundHeader*>(command.param2); }
  static void Dispose(SoundSample* sample);
};

// 0, -1 when the file does not open as Ogg Vorbis or decodes to a size that
// is negative or above 32 MiB, or a memory error.
SInt32 LoadOggSound(SoundSample* sample, const char* path);
UInt8 ConvertSoundSample(SoundSample* sample, SoundHeader* header, UInt8 playFlag);
UInt8 ConvertSoundResource(SoundSample* sample, Handle resource, UInt8 playFlag);
UInt8 SampleFitsOutput(SoundSample* sample);

// The nine converters: each makes a new converted header block (nil when no
// memory) from the source header.
using SampleConverter = SoundHeader* (*)(SoundHeader* source);
SoundHeader* Convert8MonoTo8Mono(SoundHeader* source);
SoundHeader* Convert8StereoTo8Mono(SoundHeader* source);
SoundHeader* Convert16MonoTo8Mono(SoundHeader* source);
SoundHeader* Convert16StereoTo8Mono(SoundHeader* source);
SoundHeader* Convert8StereoTo8Stereo(SoundHeader* source);
SoundHeader* Convert16StereoTo8Stereo(SoundHeader* source);
SoundHeader* Convert16MonoTo16Mono(SoundHeader* source);
SoundHeader* Convert16StereoTo16Mono(SoundHeader* source);
SoundHeader* Convert16StereoTo16Stereo(SoundHeader* source);

// The sample list (converted samples) and the one global sample.
PtrList<SoundSample>* GetSoundSampleList();
SoundSample* GetGlobalSoundSample();
// Unlinks every sample from the list (the samples stay their owners').
void ReleaseSoundSampleList();
