#include <algorithm>
#include <cstring>

#include "Memory.h"
#include "ResultCodes.h"
#include "SoundData.h"

namespace {

Handle gHeaderScratch;
constexpr SInt32 kScratchBytes = 100;

const UInt8* Bytes(const SoundHeader* header) { return reinterpret_cast<const UInt8*>(header); }
UInt8* Bytes(SoundHeader* header) { return reinterpret_cast<UInt8*>(header); }

// Reads a u16 at offset of a block of size bytes; 0 past its end.
UInt16 BlockGet16(const UInt8* block, SInt32 size, SInt64 offset) {
  if (offset < 0 || offset + 2 > size) return 0;
  UInt16 value;
  std::memcpy(&value, block + offset, 2);
  return value;
}

}  // namespace

namespace soundheader {

UInt32 Get32(const SoundHeader* header, SInt32 offset) {
  UInt32 value;
  std::memcpy(&value, Bytes(header) + offset, 4);
  return value;
}

void Set32(SoundHeader* header, SInt32 offset, UInt32 value) { std::memcpy(Bytes(header) + offset, &value, 4); }

UInt16 Get16(const SoundHeader* header, SInt32 offset) {
  UInt16 value;
  std::memcpy(&value, Bytes(header) + offset, 2);
  return value;
}

void Set16(SoundHeader* header, SInt32 offset, UInt16 value) { std::memcpy(Bytes(header) + offset, &value, 2); }

UInt8 Encode(const SoundHeader* header) { return Bytes(header)[kEncode]; }

}  // namespace soundheader

using namespace soundheader;

UInt32 GetSoundHeaderRate(const SoundHeader* header) {
  if (!header) return 0;
  const UInt8 encode = Encode(header);
  return encode == kStdSoundHeader || encode == kExtSoundHeader ? Get32(header, kRate) : 0;
}

SInt32 GetSoundHeaderSampleSize(const SoundHeader* header) {
  if (!header) return 0;
  switch (Encode(header)) {
    case kStdSoundHeader: return 8;
    case kExtSoundHeader: return Get16(header, kSampleSize);
    default: return 0;
  }
}

SInt32 GetSoundHeaderChannels(const SoundHeader* header) {
  if (!header) return 0;
  switch (Encode(header)) {
    case kStdSoundHeader: return 1;
    case kExtSoundHeader: return static_cast<SInt32>(Get32(header, kChannels));
    default: return 0;
  }
}

SInt32 GetSoundHeaderSampleSizeForConvert(const SoundHeader* header) { return GetSoundHeaderSampleSize(header); }
SInt32 GetSoundHeaderChannelsForConvert(const SoundHeader* header) { return GetSoundHeaderChannels(header); }

UInt32 GetSoundHeaderFrames(const SoundHeader* header) {
  if (!header) return 0;
  switch (Encode(header)) {
    case kStdSoundHeader: return Get32(header, kLength);
    case kExtSoundHeader: return Get32(header, kFrames);
    default: return 0;
  }
}

SInt32 GetSoundHeaderDataOffset(const SoundHeader* header) {
  if (!header) return 0;
  switch (Encode(header)) {
    case kStdSoundHeader: return kStdSoundHeaderSize;
    case kExtSoundHeader: return kExtSoundHeaderSize;
    default: return 0;
  }
}

UInt8* GetSoundHeaderData(SoundHeader* header) {
  const SInt32 offset = GetSoundHeaderDataOffset(header);
  return offset ? Bytes(header) + offset : nullptr;
}

SInt64 GetSoundHeaderDataBytes(const SoundHeader* header) {
  return static_cast<SInt64>(GetSoundHeaderFrames(header)) * GetSoundHeaderChannels(header) *
         GetSoundHeaderSampleSize(header) / 8;
}

OSErr GetSoundHeaderOffset(Handle resource, UInt32* out) {
  const SInt32 size = GetHandleBlockSize_Audio(resource);
  const UInt8* block = reinterpret_cast<const UInt8*>(*resource);
  const UInt32 synths = BlockGet16(block, size, 2);
  const UInt32 commands = BlockGet16(block, size, 4 + 6 * static_cast<SInt64>(synths));
  *out = 6 + 6 * synths + 8 * commands;
  return 0;
}

SoundHeader* GetSoundHeader(Handle resource) {
  if (!resource || !*resource) return nullptr;
  if (!gHeaderScratch) {
    gHeaderScratch = NewHandleBlockClear_Audio(kScratchBytes);
    if (!gHeaderScratch) return nullptr;
  }
  const SInt32 size = GetHandleBlockSize_Audio(resource);
  // Short resources are copied only as far as they go.
  std::memset(*gHeaderScratch, 0, kScratchBytes);
  std::memcpy(*gHeaderScratch, *resource, static_cast<size_t>(std::clamp(size, 0, kScratchBytes)));
  UInt32 offset = 0;
  GetSoundHeaderOffset(gHeaderScratch, &offset);
  if (static_cast<SInt64>(offset) + kStdSoundHeaderSize > size) return nullptr;
  return reinterpret_cast<SoundHeader*>(*resource + offset);
}

UInt8* GetSoundResourceData(Handle resource) { return GetSoundHeaderData(GetSoundHeader(resource)); }

void ReleaseSoundHeaderScratch() {
  if (gHeaderScratch) DisposeHandleBlock_Audio(gHeaderScratch);
  gHeaderScratch = nullptr;
}

OSErr SetupSoundHeader(Handle resource, SInt16 channels, UInt32 rate, SInt16 sampleSize, UInt32 /*compression*/,
                       SInt16 baseNote, UInt32 bytes, UInt16* outDataOffset) {
  if (channels < 1 || (sampleSize != 8 && sampleSize != 16)) return kErrParam;
  UInt32 offset = 0;
  GetSoundHeaderOffset(resource, &offset);
  if (static_cast<SInt64>(offset) + kExtSoundHeaderSize > GetHandleBlockSize_Audio(resource)) return kErrParam;
  auto* header = reinterpret_cast<SoundHeader*>(*resource + offset);
  std::memset(header, 0, kExtSoundHeaderSize);
  Set32(header, kChannels, static_cast<UInt32>(channels));
  Set32(header, kRate, rate);
  Bytes(header)[kEncode] = kExtSoundHeader;
  Bytes(header)[kBaseNote] = static_cast<UInt8>(baseNote);
  Set32(header, kFrames, bytes / static_cast<UInt32>(channels) / static_cast<UInt32>(sampleSize / 8));
  Set16(header, kSampleSize, static_cast<UInt16>(sampleSize));
  if (outDataOffset) *outDataOffset = static_cast<UInt16>(offset + kExtSoundHeaderSize);
  return 0;
}

OSErr NewSoundHandle(Handle* out, SInt16 channels, UInt32 rate, SInt16 sampleSize, SInt16 baseNote,
                     const void* data, SInt32 bytes) {
  *out = nullptr;
  if (bytes < 0) return kErrParam;
  Handle probe = NewHandleBlockClear_Audio(kScratchBytes);
  if (!probe) return GetMemoryError_Audio();
  UInt16 headerLength = 0;
  OSErr err = SetupSoundHeader(probe, channels, rate, sampleSize, 0, baseNote, 0, &headerLength);
  DisposeHandleBlock_Audio(probe);
  if (err) return err;
  if (bytes > 0x7FFFFFFF - headerLength) return kErrMemFull;
  Handle resource = NewHandleBlockClear_Audio(headerLength + bytes);
  if (!resource) return GetMemoryError_Audio();
  SetupSoundHeader(resource, channels, rate, sampleSize, 0, baseNote, static_cast<UInt32>(bytes), nullptr);
  if (data && bytes > 0) {
    LockHandleBlock_Audio(resource);
    std::memcpy(*resource + headerLength, data, static_cast<size_t>(bytes));
    UnlockHandleBlock_Audio(resource);
  }
  *out = resource;
  return 0;
}
