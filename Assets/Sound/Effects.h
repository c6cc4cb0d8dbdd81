// The game's sound effects: each a short recipe rendered into mono samples at
// 44,100 Hz, levelled to its peak and ended in silence.
#pragma once

#include <string>
#include <vector>

namespace effects {

struct Effect {
  const char* name;    // "Audio/<name>.ogg"
  int milliseconds;    // whole length, silence included
  double peakDb;       // peak level in dBFS
  void (*render)(std::vector<double>& out);
};

// The 23 effects, in no particular order.
const std::vector<Effect>& AllEffects();

// Frames of an effect: its length at 44,100 Hz.
long EffectFrames(const Effect& effect);

// The finished samples: rendered, faded to silence 15 ms before the end and
// scaled to the peak.
std::vector<float> RenderEffect(const Effect& effect);

}  // namespace effects
