#include "AudioTestSupport.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "AudioPrefs.h"
#include "AudioStartup.h"
#include "SourcePool.h"

namespace audiotest {

void WriteOgg(const std::string& path, int channels, long rate, long frames,
              const std::function<float(long, int)>& sample) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&vi);
    std::fclose(file);
    FAIL() << "libvorbisenc refused " << channels << " channels at " << rate << " Hz";
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 12345);
  ogg_packet header, comments, codes;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codes);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codes);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) {
    std::fwrite(page.header, 1, page.header_len, file);
    std::fwrite(page.body, 1, page.body_len, file);
  }
  auto value = [&](long f, int c) {
    return sample ? sample(f, c) : static_cast<float>(0.5 * std::sin(2.0 * M_PI * 440.0 * f / rate));
  };
  long done = 0;
  bool eos = false;
  while (!eos) {
    const long n = std::min(1024L, frames - done);
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (long f = 0; f < n; ++f)
        for (int c = 0; c < channels; ++c) buffer[c][f] = value(done + f, c);
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page)) {
          std::fwrite(page.header, 1, page.header_len, file);
          std::fwrite(page.body, 1, page.body_len, file);
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
  std::fclose(file);
}

std::vector<int16_t> ReadWaveData(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples;
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    uint32_t size;
    std::memcpy(&size, &bytes[pos + 4], 4);
    if (std::memcmp(&bytes[pos], "data", 4) == 0) {
      const size_t n = std::min<size_t>(size, bytes.size() - pos - 8) / 2;
      samples.resize(n);
      std::memcpy(samples.data(), &bytes[pos + 8], n * 2);
      return samples;
    }
    pos += 8 + size + (size & 1);
  }
  return samples;
}

double Rms(const std::vector<int16_t>& interleaved, int channel, int channels) {
  double sum = 0;
  size_t count = 0;
  for (size_t i = channel; i < interleaved.size(); i += channels) {
    sum += static_cast<double>(interleaved[i]) * interleaved[i];
    ++count;
  }
  return count ? std::sqrt(sum / count) : 0.0;
}

void AudioTest::SetUp() {
  InitAudioGlobals();
  SetDefaultAudioPrefs(&gAudioPrefs);
}

void AudioTest::TearDown() {
  ShutdownAudioForTesting();
  ExitAudioGlobals();
}

std::string WriteOpenALConfig(const std::string& text) {
  char name[] = "/tmp/duvuvu-alsoft-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) {
    const ssize_t written = write(fd, text.data(), text.size());
    (void)written;
    close(fd);
  }
  setenv("ALSOFT_CONF", name, 1);
  return name;
}

}  // namespace audiotest
