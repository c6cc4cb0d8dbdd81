#include "SoundTestDecode.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>

namespace soundtest {

std::string ResourcePath(const std::string& relative) {
  return std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources/" + relative;
}

Decoded DecodeOgg(const std::string& path) {
  Decoded d;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return d;
  d.opened = true;
  const vorbis_info* info = ov_info(&vf, -1);
  d.channels = info->channels;
  d.rate = info->rate;
  d.pcmTotal = static_cast<long>(ov_pcm_total(&vf, -1));
  d.channel.resize(static_cast<size_t>(d.channels));
  float** pcm = nullptr;
  int section = 0;
  long n = 0;
  while ((n = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
    for (int c = 0; c < d.channels; ++c) d.channel[c].insert(d.channel[c].end(), pcm[c], pcm[c] + n);
  ov_clear(&vf);
  return d;
}

double ToDb(double level) { return 20.0 * std::log10(std::max(level, 1e-12)); }

double Peak(const Decoded& d, long from, long to) {
  double peak = 0.0;
  for (const auto& ch : d.channel)
    for (long i = std::max(from, 0L); i < std::min(to, d.Frames()); ++i)
      peak = std::max(peak, static_cast<double>(std::fabs(ch[static_cast<size_t>(i)])));
  return peak;
}

double Rms(const Decoded& d, long from, long to) {
  const long frames = d.Frames();
  if (frames == 0 || to <= from) return 0.0;
  double sum = 0.0;
  for (const auto& ch : d.channel) {
    for (long i = from; i < to; ++i) {
      const double v = ch[static_cast<size_t>(((i % frames) + frames) % frames)];
      sum += v * v;
    }
  }
  return std::sqrt(sum / (static_cast<double>(to - from) * static_cast<double>(d.channel.size())));
}

}  // namespace soundtest
