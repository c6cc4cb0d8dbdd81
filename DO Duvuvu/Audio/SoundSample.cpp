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
  const UInt32 r = GetSoundHeaderRate(header);
  const SInt32 s = GetSoundHeaderSampleSizeForConvert(header);
  const SInt32 c = GetSoundHeaderChannelsForConvert(header);
  const UInt32 outRate = gAudioPrefs.sampleRate;
  const SInt32 outSize = gAudioPrefs.sampleSize;
  const bool stereo = gAudioPrefs.stereo != 0;

  SampleConverter convert = nullptr;
  const SampleConverter same16 = c == 2 ? Convert16StereoTo16Stereo : Convert16MonoTo16Mono;
  if (r <= outRate && s <= outSize && c <= 2 * (stereo ? 1 : 0) && s != 8) {
    convert = same16;
  } else if (s == 8) {
    if (stereo)
      convert = c == 2 ? Convert8StereoTo8Stereo : Convert8MonoTo8Mono;
    else
      convert = c == 2 ? Convert8StereoTo8Mono : Convert8MonoTo8Mono;
  } else if (s == 16) {
    if (stereo) {
      if (outSize == 16)
        convert = same16;
      else
        convert = c == 2 ? Convert16StereoTo8Stereo : Convert16MonoTo8Mono;
    } else if (outSize == 16) {
      convert = c == 2 ? Convert16StereoTo16Mono : Convert16MonoTo16Mono;
    } else {
      convert = c == 2 ? Convert16StereoTo8Mono : Convert16MonoTo8Mono;
    }
  }

  SoundHeader* previous = sample->Header();
  if (convert) {
    SoundHeader* converted = convert(header);
    // A sample converted again lets go of its old block.
    if (previous && previous != header) DisposePtrBlock_Audio(previous);
    sample->command.param2 = reinterpret_cast<uintptr_t>(converted);
  }
  sample->command.code = playFlag ? kPlaySampleCmd : kBufferCmd;
  sample->command.param1 = 0;
  PtrList<SoundSample>* list = GetSoundSampleList();
  if (!list->FindValue(sample)) list->AddValue(sample);
  return SampleFitsOutput(sample);
}

UInt8 ConvertSoundResource(SoundSample* sample, Handle resource, UInt8 playFlag) {
  return ConvertSoundSample(sample, GetSoundHeader(resource), playFlag);
}

SInt32 LoadOggSound(SoundSample* sample, const char* path) {
  OggStream stream;
  if (!stream.Open(path)) return kErrFailed;
  const SInt64 total = stream.TotalBytes64();
  if (total < 0 || total > kMaxDecodedBytes) return kErrFailed;
  Handle resource = nullptr;
  const OSErr err = NewSoundHandle(&resource, static_cast<SInt16>(stream.Channels()), stream.Rate(), 16, 60, nullptr,
                                   static_cast<SInt32>(total));
  if (err) return err;
  UInt32 offset = 0;
  GetSoundHeaderOffset(resource, &offset);
  LockHandleBlock_Audio(resource);
  // What the file does not yield stays zero: silence.
  UInt8* area = reinterpret_cast<UInt8*>(*resource) + offset + kExtSoundHeaderSize;
  SInt32 filled = 0;
  while (filled < total) {
    const SInt32 n = stream.Read(area + filled, static_cast<SInt32>(total) - filled);
    if (n < 1) break;
    filled += n;
  }
  UnlockHandleBlock_Audio(resource);
  ConvertSoundResource(sample, resource, 0);
  sample->fileName = path;
  DisposeHandleBlock_Audio(resource);
  stream.Close();
  return 0;
}
