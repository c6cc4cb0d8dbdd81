// Fixtures for the audio tests: Ogg files made with libvorbisenc, the wave
// backend's output read back, and a fixture that starts and closes audio.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

// Writes an Ogg Vorbis file of frames frames; sample(frame, channel) gives
// values in -1..1. Without a sample function the file holds a 440 Hz tone.
// libvorbisenc 1.3.7 leaks its 5.1 set-up at 44.1 and 48 kHz, so a 6-channel
// file should use another rate.
void WriteOgg(const std::string& path, int channels, long rate, long frames,
              const std::function<float(long, int)>& sample = nullptr);

// The interleaved 16-bit samples of a WAVE file's data chunk.
std::vector<int16_t> ReadWaveData(const std::string& path);

double Rms(const std::vector<int16_t>& interleaved, int channel, int channels = 2);

// Default preferences and the library's globals; everything closed after.
class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Sets ALSOFT_CONF to a file holding text, kept for the process.
std::string WriteOpenALConfig(const std::string& text);

}  // namespace audiotest
