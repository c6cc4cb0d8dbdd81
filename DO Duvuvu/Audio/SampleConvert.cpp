// The nine sample converters over one resampler. Rates are only ever
// lowered: sub-steps of the source are averaged into each output sample.
#include <algorithm>
#include <cstring>

#include "AudioPrefs.h"
#include "Memory.h"
#include "SoundData.h"

using namespace soundheader;

namespace {

// How a source frame becomes the value of one output channel.
template <int InBits, int InChannels, int OutBits, int OutChannels>
struct Form {
  static constexpr int kInFrameBytes = InBits / 8 * InChannels;
  static constexpr int kOutFrameBytes = OutBits / 8 * OutChannels;

  static SInt32 Sample(const UInt8* frame, int channel) {
    if constexpr (InBits == 16) {
      SInt16 value;
      std::memcpy(&value, frame + 2 * channel, 2);
      return value;
    } else {
      return static_cast<SInt32>(frame[channel]) - 128;  // offset binary
    }
  }

  // The channel step of the converter's table.
  static SInt32 Value(const UInt8* frame, int outChannel) {
    if constexpr (InChannels == 2 && OutChannels == 1) {
      const SInt32 sum = Sample(frame, 0) + Sample(frame, 1);
      if constexpr (InBits == 16 && OutBits == 8) return sum >> 9;
      return sum >> 1;
    } else {
      const SInt32 value = Sample(frame, outChannel);
      if constexpr (InBits == 16 && OutBits == 8) return value >> 8;
      return value;
    }
  }

  static void Store(UInt8* out, int outChannel, SInt32 value) {
    if constexpr (OutBits == 16) {
      const SInt16 v = static_cast<SInt16>(value);
      std::memcpy(out + 2 * outChannel, &v, 2);
    } else {
      out[outChannel] = static_cast<UInt8>(static_cast<SInt8>(value));
    }
  }
};

template <int InBits, int InChannels, int OutBits, int OutChannels>
SoundHeader* Resample(SoundHeader* source) {
  using F = Form<InBits, InChannels, OutBits, OutChannels>;
  const UInt32 rate = GetSoundHeaderRate(source);
  const SInt64 s = rate >> 16;
  const SInt64 d = std::min(gAudioPrefs.sampleRate, rate) >> 16;
  // The last header-size bytes are not taken; short sources take nothing.
  const SInt64 taken = std::max<SInt64>(0, GetSoundHeaderDataBytes(source) - GetSoundHeaderDataOffset(source));
  const SInt64 inFrames = taken / F::kInFrameBytes;
  const SInt64 outFrames = s > 0 && d > 0 ? inFrames * d / s : 0;
  const bool standard = OutBits == 8 && OutChannels == 1;
  const SInt32 headerSize = standard ? kStdSoundHeaderSize : kExtSoundHeaderSize;
  const SInt64 outBytes = outFrames * F::kOutFrameBytes;
  if (outBytes > 0x7FFFFFFF - headerSize) return nullptr;
  Ptr block = NewPtrBlock_Audio(static_cast<SInt32>(headerSize + outBytes));
  if (!block) return nullptr;
  auto* header = reinterpret_cast<SoundHeader*>(block);
  std::memset(block, 0, static_cast<size_t>(headerSize));

  const UInt8* in = GetSoundHeaderData(source);
  UInt8* out = reinterpret_cast<UInt8*>(block) + headerSize;
  const SInt64 k = s == d ? 4 : (d > 0 && s / d == 2 ? 2 : 1);
  SInt64 accumulator = 0;
  SInt64 position = 0;
  SInt64 subSteps = 0;
  for (SInt64 frame = 0; frame < outFrames; ++frame) {
    SInt32 sums[OutChannels] = {};
    UInt32 count = 0;
    accumulator += s * k;
    while (accumulator >= d) {
      accumulator -= d;
      for (int c = 0; c < OutChannels; ++c)
        sums[c] += position < inFrames ? F::Value(in + position * F::kInFrameBytes, c) : 0;
      count = (count + 1) & 0xFF;
      if (++subSteps % k == 0) ++position;
    }
    UInt8* to = out + frame * F::kOutFrameBytes;
    for (int c = 0; c < OutChannels; ++c) F::Store(to, c, count ? sums[c] / static_cast<SInt32>(count) : 0);
  }

  const UInt32 frames = static_cast<UInt32>(outFrames);
  UInt32 loopEnd = s > 0 ? static_cast<UInt32>(std::min<SInt64>(Get32(source, kLoopEnd) * d / s, frames)) : 0;
  UInt32 loopStart = s > 0 ? static_cast<UInt32>(std::min<SInt64>(Get32(source, kLoopStart) * d / s, loopEnd)) : 0;
  Set32(header, kRate, static_cast<UInt32>(d) << 16);
  Set32(header, kLoopStart, loopStart);
  Set32(header, kLoopEnd, loopEnd);
  reinterpret_cast<UInt8*>(block)[kBaseNote] = reinterpret_cast<const UInt8*>(source)[kBaseNote];
  if (standard) {
    reinterpret_cast<UInt8*>(block)[kEncode] = kStdSoundHeader;
    Set32(header, kLength, frames);
  } else {
    reinterpret_cast<UInt8*>(block)[kEncode] = kExtSoundHeader;
    Set32(header, kChannels, OutChannels);
    Set32(header, kFrames, frames);
    Set16(header, kSampleSize, OutBits);
  }
  return header;
}

}  // namespace

SoundHeader* Convert8MonoTo8Mono(SoundHeader* source) { return Resample<8, 1, 8, 1>(source); }
SoundHeader* Convert8StereoTo8Mono(SoundHeader* source) { return Resample<8, 2, 8, 1>(source); }
SoundHeader* Convert16MonoTo8Mono(SoundHeader* source) { return Resample<16, 1, 8, 1>(source); }
SoundHeader* Convert16StereoTo8Mono(SoundHeader* source) { return Resample<16, 2, 8, 1>(source); }
SoundHeader* Convert8StereoTo8Stereo(SoundHeader* source) { return Resample<8, 2, 8, 2>(source); }
SoundHeader* Convert16StereoTo8Stereo(SoundHeader* source) { return Resample<16, 2, 8, 2>(source); }
SoundHeader* Convert16MonoTo16Mono(SoundHeader* source) { return Resample<16, 1, 16, 1>(source); }
SoundHeader* Convert16StereoTo16Mono(SoundHeader* source) { return Resample<16, 2, 16, 1>(source); }
SoundHeader* Convert16StereoTo16Stereo(SoundHeader* source) { return Resample<16, 2, 16, 2>(source); }
