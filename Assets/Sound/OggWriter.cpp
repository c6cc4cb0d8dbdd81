#include "OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace oggwriter {

uint32_t SerialFor(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

namespace {

bool WritePage(FILE* file, const ogg_page& page) {
  return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) ==
             static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) == static_cast<size_t>(page.body_len);
}

}  // namespace

bool WriteOgg(const std::string& path, const std::string& name, int channels, const std::vector<float>& samples,
              float quality) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, 44100, quality) != 0) {
    std::fprintf(stderr, "libvorbisenc refused the settings for %s\n", path.c_str());
    vorbis_info_clear(&vi);
    std::fclose(file);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(SerialFor(name)));

  bool ok = true;
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) ok = WritePage(file, page) && ok;

  const long frames = static_cast<long>(samples.size()) / channels;
  long done = 0;
  bool eos = false;
  while (!eos) {
    const long n = std::min(4096L, frames - done);
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      const float* in = samples.data() + done * channels;
      for (long f = 0; f < n; ++f)
        for (int c = 0; c < channels; ++c) buffer[c][f] = in[f * channels + c];
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    } else {
      // Marks the end, so the last granule position is the exact frame count.
      vorbis_analysis_wrote(&vd, 0);
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page)) {
          ok = WritePage(file, page) && ok;
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "error writing %s\n", path.c_str());
  return ok;
}

}  // namespace oggwriter
