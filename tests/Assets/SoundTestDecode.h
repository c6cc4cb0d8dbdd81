// Whole-file decoding of the bundle's Ogg files for the sound and music
// checks, and the level measures they use.
#pragma once

#include <string>
#include <vector>

namespace soundtest {

struct Decoded {
  bool opened = false;
  int channels = 0;
  long rate = 0;
  long pcmTotal = -1;               // what the stream's headers promise
  std::vector<std::vector<float>> channel;  // what decoding gives, per channel

  long Frames() const { return channel.empty() ? 0 : static_cast<long>(channel[0].size()); }
};

// "<bundle>/Contents/Resources/<relative>".
std::string ResourcePath(const std::string& relative);

Decoded DecodeOgg(const std::string& path);

double ToDb(double level);
// The largest magnitude of frames [from, to) over every channel.
double Peak(const Decoded& d, long from, long to);
// The RMS of frames [from, to) over every channel; frames wrap around the end,
// so a window may reach across the loop's join.
double Rms(const Decoded& d, long from, long to);

}  // namespace soundtest
