#include <algorithm>

#include "SoundData.h"
#include "ResultCodes.h"

namespace {

constexpr SInt32 kReadPiece = 1024;

}  // namespace

OggStream::~OggStream() { Close(); }

UInt8 OggStream::Open(const char* path) {
  Close();
  if (!path) return 0;
  file_ = std::fopen(path, "rb");
  if (!file_) return 0;
  // NOCLOSE: the file is ours to close, exactly once, in Close.
  if (ov_test_callbacks(file_, &vf_, nullptr, 0, OV_CALLBACKS_NOCLOSE) == 0) {
    if (ov_test_open(&vf_) == 0) {
      vorbis_info* info = ov_info(&vf_, -1);
      // 16.16 rates cannot hold 65536 Hz; only mono and stereo are played.
      if (info && (info->channels == 1 || info->channels == 2) && info->rate > 0 && info->rate < 65536) {
        info_ = info;
        state_ = kOpen;
        seekFailed_ = false;
        return 1;
      }
      ov_clear(&vf_);
    }
  }
  std::fclose(file_);
  file_ = nullptr;
  info_ = nullptr;
  return 0;
}

void OggStream::Close() {
  if (state_ == kOpen) {
    ov_clear(&vf_);
    std::fclose(file_);
  }
  file_ = nullptr;
  info_ = nullptr;
  state_ = kClosed;
  seekFailed_ = false;
}

SInt32 OggStream::Read(void* buffer, SInt32 max) {
  // After a failed seek libvorbisfile's decoder state is not to be trusted.
  if (state_ != kOpen || !buffer || seekFailed_) return 0;
  auto* out = static_cast<char*>(buffer);
  SInt32 total = 0;
  while (total < max) {
    const SInt32 piece = std::min(kReadPiece, max - total);
    int section = 0;
    const long n = ov_read(&vf_, out + total, piece, 0, 2, 1, &section);
    if (n < 1) break;
    total += static_cast<SInt32>(n);
    if (total > max - kReadPiece) break;
  }
  return total;
}

SInt32 OggStream::Tell() {
  if (state_ != kOpen) return 0;
  return static_cast<SInt32>(ov_pcm_tell(&vf_) * Channels() * 2);
}

SInt64 OggStream::TotalBytes64() {
  if (state_ != kOpen) return 0;
  const ogg_int64_t frames = ov_pcm_total(&vf_, -1);
  if (frames < 0) return kErrFailed;
  return static_cast<SInt64>(frames) * Channels() * 2;
}

SInt32 OggStream::TotalBytes() { return static_cast<SInt32>(TotalBytes64()); }

SInt32 OggStream::Rewind() {
  if (state_ != kOpen) return kErrFailed;
  // libvorbisfile's lapping seek copies a negative length on a stream with
  // headers but no audio; there is nothing to go back to anyway.
  if (ov_pcm_total(&vf_, -1) == 0) return OV_EOF;
  const int result = ov_raw_seek_lap(&vf_, 0);
  if (result != 0) seekFailed_ = true;
  return result;
}

SInt32 OggStream::Channels() const { return info_ ? info_->channels : 0; }

UInt32 OggStream::Rate() const { return info_ ? static_cast<UInt32>(info_->rate) << 16 : 0; }
