#include <algorithm>
#include <cstring>

#include "AudioPrefs.h"
#include "Memory.h"
#include "Mixer.h"
#include "ResultCodes.h"
#include "SoundData.h"

namespace {

PtrList<SoundSample>* gSampleList;
SoundSample* gGlobalSample;
constexpr SInt64 kMaxDecodedBytes = 32 << 20;
constexpr UInt8 kOggBaseNote = 60;

// Decodes up to bytes into area; what the file does not yield stays silence.
void FillFromStream(OggStream& stream, UInt8* area, SInt32 bytes) {
  SInt32 filled = 0;
  while (filled < bytes) {
    const SInt32 n = stream.Read(area + filled, bytes - filled);
    if (n < 1) break;
    filled += n;
  }
  std::memset(area + filled, 0, static_cast<size_t>(bytes - filled));
}

// The converter for a source of rate r, sample size s and c channels at the
// output format of the preferences; nil when none applies.
SampleConverter PickConverter(UInt32 r, SInt32 s, SInt32 c) {
  const UInt32 outRate = gAudioPrefs.sampleRate;
  const SInt32 outSize = gAudioPrefs.sampleSize;
  const bool stereo = gAudioPrefs.stereo != 0;
  const SampleConverter same16 = c == 2 ? Convert16StereoTo16Stereo : Convert16MonoTo16Mono;
  if (r <= outRate && s <= outSize && c <= 2 * (stereo ? 1 : 0) && s != 8) return same16;
  if (s == 8) {
    if (stereo) return c == 2 ? Convert8StereoTo8Stereo : Convert8MonoTo8Mono;
    return c == 2 ? Convert8StereoTo8Mono : Convert8MonoTo8Mono;
  }
  if (s != 16) return nullptr;
  if (stereo) {
    if (outSize == 16) return same16;
    return c == 2 ? Convert16StereoTo8Stereo : Convert16MonoTo8Mono;
  }
  if (outSize == 16) return c == 2 ? Convert16StereoTo16Mono : Convert16MonoTo16Mono;
  return c == 2 ? Convert16StereoTo8Mono : Convert16MonoTo8Mono;
}

// Makes converted the sample's block (the old one freed when it is another
// and releasable) and lists the sample.
UInt8 AdoptConverted(SoundSample* sample, SoundHeader* converted, bool releasePrevious, UInt8 playFlag) {
  SoundHeader* previous = sample->Header();
  if (previous != converted) {
    // A sample converted again lets go of its old block.
    if (previous && releasePrevious) DisposePtrBlock_Audio(previous);
    sample->command.param2 = reinterpret_cast<uintptr_t>(converted);
  }
  sample->command.code = playFlag ? kPlaySampleCmd : kBufferCmd;
  sample->command.param1 = 0;
  PtrList<SoundSample>* list = GetSoundSampleList();
  if (!list->FindValue(sample)) list->AddValue(sample);
  return SampleFitsOutput(sample);
}

// A 16-bit source at or below the output rate that the preferences keep at
// 16 bits and its channel count converts to itself, less the last header's
// worth of bytes the converters never take. Such a file is decoded straight
// into the converted block: same samples, no copy. Nil when the conversion
// is not an identity or on a memory error (reported by the registry).
SoundHeader* DecodeUnconverted(OggStream& stream, SInt64 total, bool* identity) {
  const SInt32 c = stream.Channels();
  const UInt32 r = stream.Rate();
  const SampleConverter same16 = c == 2 ? Convert16StereoTo16Stereo : Convert16MonoTo16Mono;
  *identity = r <= gAudioPrefs.sampleRate && PickConverter(r, 16, c) == same16;
  if (!*identity) return nullptr;
  const SInt64 frameBytes = 2 * static_cast<SInt64>(c);
  const SInt64 frames = std::max<SInt64>(0, total / frameBytes * frameBytes - kExtSoundHeaderSize) / frameBytes;
  const SInt32 bytes = static_cast<SInt32>(frames * frameBytes);
  ClearMemoryError_Audio();
  Ptr block = NewPtrBlock_Audio(kExtSoundHeaderSize + bytes);
  if (!block) return nullptr;
  auto* header = reinterpret_cast<SoundHeader*>(block);
  std::memset(block, 0, kExtSoundHeaderSize);
  auto* raw = reinterpret_cast<UInt8*>(block);
  raw[soundheader::kEncode] = kExtSoundHeader;
  raw[soundheader::kBaseNote] = kOggBaseNote;
  soundheader::Set32(header, soundheader::kRate, r);
  soundheader::Set32(header, soundheader::kChannels, static_cast<UInt32>(c));
  soundheader::Set32(header, soundheader::kFrames, static_cast<UInt32>(frames));
  soundheader::Set16(header, soundheader::kSampleSize, 16);
  FillFromStream(stream, raw + kExtSoundHeaderSize, bytes);
  return header;
}

}  // namespace

PtrList<SoundSample>* GetSoundSampleList() {
  if (!gSampleList) gSampleList = new PtrList<SoundSample>();
  return gSampleList;
}

void ReleaseSoundSampleList() {
  if (!gSampleList) return;
  while (gSampleList->First()) delete gSampleList->RemoveFirst();
  delete gSampleList;
  gSampleList = nullptr;
}

SoundSample* GetGlobalSoundSample() { return gGlobalSample; }

void InitGlobalSoundSample() {
  if (!gGlobalSample) gGlobalSample = new SoundSample();
}

void ExitGlobalSoundSample() {
  delete gGlobalSample;
  gGlobalSample = nullptr;
}

SoundSample::~SoundSample() {
  if (useCount) ReleaseMixerInstancesOf(this);
  Dispose(this);
}

void SoundSample::Dispose(SoundSample* sample) {
  if (!sample || !sample->Header()) return;
  GetSoundSampleList()->RemoveValue(sample);
  ReleaseMixerVoicesOf(sample);
  DisposePtrBlock_Audio(sample->Header());
  sample->command.param2 = 0;
}

UInt8 SampleFitsOutput(SoundSample* sample) {
  if (!sample || !sample->Header()) return 0;
  const SoundHeader* header = sample->Header();
  const UInt8 encode = soundheader::Encode(header);
  if (encode != kStdSoundHeader && encode != kExtSoundHeader) return 0;
  return gAudioPrefs.sampleRate >= GetSoundHeaderRate(header) &&
         gAudioPrefs.sampleSize >= GetSoundHeaderSampleSize(header) &&
         gAudioPrefs.stereo >= GetSoundHeaderChannels(header) - 1;
}

UInt8 ConvertSoundSample(SoundSample* sample, SoundHeader* header, UInt8 playFlag) {
  if (!sample || !header) return 0;
  const SampleConverter convert = PickConverter(GetSoundHeaderRate(header), GetSoundHeaderSampleSizeForConvert(header),
                                                GetSoundHeaderChannelsForConvert(header));
  SoundHeader* previous = sample->Header();
  SoundHeader* converted = nullptr;
  if (convert) converted = convert(header);
  // Without a converter the sample keeps what it had.
  return AdoptConverted(sample, convert ? converted : previous, previous != header, playFlag);
}

UInt8 ConvertSoundResource(SoundSample* sample, Handle resource, UInt8 playFlag) {
  return ConvertSoundSample(sample, GetSoundHeader(resource), playFlag);
}

SInt32 LoadOggSound(SoundSample* sample, const char* path) {
  OggStream stream;
  if (!stream.Open(path)) return kErrFailed;
  const SInt64 total = stream.TotalBytes64();
  if (total < 0 || total > kMaxDecodedBytes) return kErrFailed;
  bool identity = false;
  if (SoundHeader* decoded = DecodeUnconverted(stream, total, &identity)) {
    AdoptConverted(sample, decoded, true, 0);
    sample->fileName = path;
    return 0;
  }
  if (identity) {
    const OSErr err = GetMemoryError_Audio();
    return err ? err : kErrMemFull;
  }
  Handle resource = nullptr;
  const OSErr err = NewSoundHandle(&resource, static_cast<SInt16>(stream.Channels()), stream.Rate(), 16, kOggBaseNote,
                                   nullptr, static_cast<SInt32>(total));
  if (err) return err;
  UInt32 offset = 0;
  GetSoundHeaderOffset(resource, &offset);
  LockHandleBlock_Audio(resource);
  FillFromStream(stream, reinterpret_cast<UInt8*>(*resource) + offset + kExtSoundHeaderSize,
                 static_cast<SInt32>(total));
  UnlockHandleBlock_Audio(resource);
  ConvertSoundResource(sample, resource, 0);
  sample->fileName = path;
  DisposeHandleBlock_Audio(resource);
  return 0;
}
