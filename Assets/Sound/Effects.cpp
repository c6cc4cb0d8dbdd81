#include "Effects.h"

#include <algorithm>
#include <cmath>

#include "Synth.h"

namespace effects {

using synth::AttackDecay;
using synth::HashNoise;
using synth::kRate;
using synth::kTwoPi;
using synth::MidiToHz;
using synth::OnePole;
using synth::Osc;
using synth::Svf;

namespace {

// Calls f(t) for every sample; what it returns is added to the output.
template <class F>
void Add(std::vector<double>& out, F f) {
  for (size_t i = 0; i < out.size(); ++i) out[i] += f(static_cast<double>(i) / kRate, static_cast<uint32_t>(i));
}

// A struck bar or plate: inharmonic partials, the higher ones dying sooner,
// over a short noise strike.
void Clank(std::vector<double>& out, double base, double tau, uint32_t seed) {
  static constexpr double kRatios[] = {1.0, 1.47, 2.09, 2.56, 3.18, 3.91, 4.77, 5.62};
  for (int k = 0; k < 8; ++k) {
    Osc o;
    const double hz = base * kRatios[k];
    const double amp = 1.0 / (1.0 + 0.35 * k);
    const double partTau = tau / (1.0 + 0.45 * k);
    Add(out, [&](double t, uint32_t) { return amp * o.Sine(hz) * AttackDecay(t, 0.0004, partTau); });
  }
  OnePole hp;
  hp.SetCutoff(1500.0);
  Add(out, [&](double t, uint32_t i) { return 1.2 * hp.High(HashNoise(seed + i)) * std::exp(-t / 0.005); });
}

// A falling zap: frequency from hi to lo with time constant fall.
double FallHz(double t, double hi, double lo, double fall) { return lo + (hi - lo) * std::exp(-t / fall); }

void Blip(std::vector<double>& out) {
  Osc a, b;
  Add(out, [&](double t, uint32_t) {
    const double hz = 1200.0 + 350.0 * (1.0 - std::exp(-t / 0.012));
    return (a.Sine(hz) + 0.15 * b.Sine(2.0 * hz)) * AttackDecay(t, 0.0008, 0.016);
  });
}

void Dink(std::vector<double>& out) {
  static constexpr double kParts[][3] = {{2000.0, 1.0, 0.035}, {5480.0, 0.35, 0.014}, {8950.0, 0.12, 0.007}};
  for (const auto& p : kParts) {
    Osc o;
    Add(out, [&](double t, uint32_t) { return p[1] * o.Sine(p[0]) * AttackDecay(t, 0.0003, p[2]); });
  }
}

void Tone(std::vector<double>& out) {
  Osc a, b;
  Add(out, [&](double t, uint32_t) {
    return (a.Sine(660.0) + 0.1 * b.Sine(1320.0)) * AttackDecay(t, 0.003, 0.045);
  });
}

void Alarm(std::vector<double>& out) {
  Osc o;
  Add(out, [&](double t, uint32_t) {
    // Two sweeps of 0.72 s each: 600 Hz up to 1200 and back down.
    const double hz = 900.0 - 300.0 * std::cos(kTwoPi * t / 0.72);
    const double p = kTwoPi * o.Advance(hz);
    return (std::sin(p) + 0.25 * std::sin(3.0 * p)) * AttackDecay(t, 0.002, 100.0) * synth::FadeOut(t, 1.3, 1.44);
  });
}

void Metal0(std::vector<double>& out) { Clank(out, 190.0, 0.26, 101); }

void Metal1(std::vector<double>& out) { Clank(out, 330.0, 0.2, 202); }

void Shot0(std::vector<double>& out) {
  Osc a, b;
  Add(out, [&](double t, uint32_t) {
    const double hz = FallHz(t, 2500.0, 400.0, 0.035);
    return (0.6 * a.Pulse(hz, 0.5) + 0.4 * b.Sine(hz)) * AttackDecay(t, 0.0005, 0.07);
  });
}

void Shot2(std::vector<double>& out) {
  Osc a, b, thump;
  Svf lp;
  lp.Set(5000.0, 0.7);
  Add(out, [&](double t, uint32_t) {
    const double hz = FallHz(t, 2200.0, 300.0, 0.05);
    lp.Run(0.5 * a.Saw(hz) + 0.5 * b.Saw(hz * 1.06));
    const double zap = lp.low * AttackDecay(t, 0.0005, 0.1);
    const double low = 0.9 * thump.Sine(FallHz(t, 135.0, 45.0, 0.02)) * AttackDecay(t, 0.001, 0.06);
    return zap + low;
  });
}

void Shot1(std::vector<double>& out) {
  Osc a, b;
  Svf lp;
  Add(out, [&](double t, uint32_t i) {
    const double hz = FallHz(t, 1100.0, 200.0, 0.05);
    if (i % 16 == 0) lp.Set(FallHz(t, 3000.0, 400.0, 0.06), 1.5);
    lp.Run(a.Saw(hz) + 0.7 * b.Pulse(hz * 0.5, 0.3));
    return lp.low * AttackDecay(t, 0.0005, 0.09);
  });
}

// Noise through a falling low-pass over a low thump.
void Explosion(std::vector<double>& out, double crackTau, double thumpTau, uint32_t seed) {
  Svf lp;
  Osc thump;
  Add(out, [&](double t, uint32_t i) {
    if (i % 16 == 0) lp.Set(FallHz(t, 3600.0, 120.0, 0.08), 0.8);
    lp.Run(HashNoise(seed + i));
    const double noise = 1.4 * lp.low * AttackDecay(t, 0.001, crackTau);
    const double low = 0.8 * thump.Sine(FallHz(t, 120.0, 40.0, 0.03)) * AttackDecay(t, 0.001, thumpTau);
    return noise + low;
  });
}

void Boom0(std::vector<double>& out) { Explosion(out, 0.2, 0.12, 303); }

void Boom1(std::vector<double>& out) {
  Explosion(out, 0.15, 0.2, 404);
  // The long rumble: low noise swaying in level.
  Svf lp;
  Add(out, [&](double t, uint32_t i) {
    if (i % 16 == 0) lp.Set(FallHz(t, 360.0, 70.0, 0.6), 1.2);
    lp.Run(HashNoise(505 + i));
    return 2.5 * lp.low * (1.0 + 0.3 * std::sin(kTwoPi * 7.0 * t)) * AttackDecay(t, 0.01, 0.9);
  });
}

void Bump(std::vector<double>& out) {
  Osc o;
  OnePole lp;
  lp.SetCutoff(600.0);
  Add(out, [&](double t, uint32_t i) {
    const double thud = o.Sine(FallHz(t, 165.0, 55.0, 0.02)) * AttackDecay(t, 0.001, 0.05);
    return thud + 1.5 * lp.Low(HashNoise(606 + i)) * AttackDecay(t, 0.0005, 0.02);
  });
}

void Spin(std::vector<double>& out) {
  Osc o, s;
  Add(out, [&](double t, uint32_t) {
    const double hz = FallHz(t, 900.0, 300.0, 0.2) * (1.0 + 0.12 * std::sin(kTwoPi * 22.0 * t));
    const double whirr = 0.6 + 0.4 * std::sin(kTwoPi * 30.0 * t);
    return (o.Tri(hz) + 0.3 * s.Saw(hz)) * whirr * AttackDecay(t, 0.002, 0.35);
  });
}

void Shield(std::vector<double>& out) {
  Osc a, b, c, shimmer;
  Svf lp;
  Add(out, [&](double t, uint32_t i) {
    const double hz = 180.0 * (1.0 + 1.2 * t);
    if (i % 16 == 0) lp.Set(800.0 + 3000.0 * t, 0.9);
    lp.Run(a.Saw(hz) + b.Saw(hz * 1.005) + 0.5 * c.Saw(hz * 2.003));
    const double hum = lp.low * (0.7 + 0.3 * std::sin(kTwoPi * 16.0 * t));
    const double sparkle = 0.25 * shimmer.Sine(4.0 * hz) * (0.5 + 0.5 * std::sin(kTwoPi * 23.0 * t));
    const double swell = std::min(1.0, 0.3 + 0.7 * t / 0.3);
    return (hum + sparkle) * swell * AttackDecay(t, 0.002, 100.0);
  });
}

void Tap(std::vector<double>& out) {
  Osc hi, lo;
  OnePole hp;
  hp.SetCutoff(2000.0);
  Add(out, [&](double t, uint32_t i) {
    const double click = 0.7 * hp.High(HashNoise(707 + i)) * std::exp(-t / 0.0015);
    return click + 0.5 * hi.Sine(2200.0) * AttackDecay(t, 0.0003, 0.006) +
           0.6 * lo.Sine(420.0) * AttackDecay(t, 0.0005, 0.018);
  });
}

void Suck(std::vector<double>& out) {
  Svf bp;
  Add(out, [&](double t, uint32_t i) {
    // A swoosh played backwards: it swells while its filter opens, then stops.
    const double open = std::min(t / 0.34, 1.0);
    if (i % 16 == 0) bp.Set(300.0 * std::pow(20.0, open), 2.0);
    bp.Run(HashNoise(808 + i));
    const double swell = t < 0.34 ? 0.2 + 0.8 * open * open : std::exp(-(t - 0.34) / 0.012);
    return 2.5 * (bp.band + 0.3 * bp.low + 0.1 * HashNoise(818 + i)) * swell;
  });
}

void Engine(std::vector<double>& out) {
  Osc o;
  Svf lp, bp;
  Add(out, [&](double t, uint32_t i) {
    const double rise = t / 0.7;
    if (i % 16 == 0) {
      lp.Set(300.0 + 900.0 * rise, 1.0);
      bp.Set(400.0 + 1600.0 * rise, 1.2);
    }
    lp.Run(o.Saw(70.0 + 110.0 * rise));
    bp.Run(HashNoise(909 + i));
    const double level = std::min(1.0, 0.2 + t / 0.25) * (t < 0.45 ? 1.0 : std::exp(-(t - 0.45) / 0.12));
    return (lp.low + 0.8 * bp.band) * level;
  });
}

// A bell-like note starting at start seconds.
void Chime(std::vector<double>& out, double start, double note, double tau) {
  Osc a, b, c;
  const double hz = MidiToHz(note);
  Add(out, [&](double t, uint32_t) {
    const double u = t - start;
    if (u < 0.0) return 0.0;
    return a.Sine(hz) * AttackDecay(u, 0.001, tau) + 0.3 * b.Sine(2.0 * hz) * AttackDecay(u, 0.001, tau * 0.4) +
           0.1 * c.Sine(3.0 * hz) * AttackDecay(u, 0.001, tau * 0.25);
  });
}

void Power(std::vector<double>& out) {
  static constexpr double kNotes[] = {84.0, 88.0, 91.0, 96.0};  // C E G C
  for (int k = 0; k < 4; ++k) Chime(out, 0.09 * k, kNotes[k], k == 3 ? 0.18 : 0.12);
}

void Bounce(std::vector<double>& out) {
  Osc a, b;
  Add(out, [&](double t, uint32_t) {
    const double hz = 160.0 + 260.0 * std::exp(-t / 0.025) + 45.0 * std::sin(kTwoPi * 17.0 * t) * std::exp(-t / 0.09);
    return (a.Sine(hz) + 0.2 * b.Tri(hz)) * AttackDecay(t, 0.001, 0.07);
  });
}

void Pod(std::vector<double>& out) {
  static constexpr double kNotes[][2] = {{0.0, 600.0}, {0.09, 900.0}};
  for (const auto& n : kNotes) {
    Osc o;
    Add(out, [&](double t, uint32_t) {
      const double u = t - n[0];
      if (u < 0.0) return 0.0;
      // A bubble: each note bends up as it sounds.
      return o.Sine(n[1] * (1.0 + 0.6 * (1.0 - std::exp(-u / 0.02)))) * AttackDecay(u, 0.001, 0.04);
    });
  }
}

void Flip(std::vector<double>& out) {
  Osc hi, lo;
  OnePole lp;
  lp.SetCutoff(3000.0);
  Add(out, [&](double t, uint32_t i) {
    return 0.6 * hi.Sine(1300.0) * AttackDecay(t, 0.0005, 0.008) +
           0.4 * lp.Low(HashNoise(1010 + i)) * std::exp(-t / 0.004) + 0.3 * lo.Sine(650.0) * AttackDecay(t, 0.001, 0.02);
  });
}

void Super(std::vector<double>& out) {
  static constexpr double kNotes[] = {72.0, 76.0, 79.0, 84.0, 88.0, 91.0, 96.0};  // C major over three octaves
  for (int k = 0; k < 7; ++k) {
    Osc a, b;
    OnePole lp1, lp2;
    lp1.SetCutoff(3500.0);
    lp2.SetCutoff(3500.0);
    const double start = 0.05 * k;
    const double hz = MidiToHz(kNotes[k]);
    const double attack = k == 0 ? 0.001 : 0.01;
    Add(out, [&](double t, uint32_t) {
      const double u = t - start;
      if (u < 0.0) return 0.0;
      const double shimmer = 0.75 + 0.25 * std::sin(kTwoPi * 9.0 * u + k);
      const double saw = a.Saw(hz * 1.003) + b.Saw(hz * 0.997);
      return 0.5 * lp2.Low(lp1.Low(saw)) * shimmer * AttackDecay(u, attack, 0.5);
    });
  }
}

void IntroMono(std::vector<double>& out) {
  static constexpr double kNotes[] = {64.0, 67.0, 71.0, 76.0};  // E G B E
  for (int k = 0; k < 4; ++k) {
    Osc a, b;
    OnePole lp;
    lp.SetCutoff(2500.0);
    const double start = 0.22 * k;
    const double hz = MidiToHz(kNotes[k]);
    const double tau = k == 3 ? 0.6 : 0.25;
    Add(out, [&](double t, uint32_t) {
      const double u = t - start;
      if (u < 0.0) return 0.0;
      const double vibrato = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * u) * std::min(1.0, u / 0.4);
      const double tone = 0.5 * a.Pulse(hz * vibrato, 0.25) + 0.7 * b.Sine(hz * vibrato);
      return lp.Low(tone) * AttackDecay(u, 0.002, tau);
    });
  }
}

}  // namespace

const std::vector<Effect>& AllEffects() {
  static const std::vector<Effect> kEffects = {
      {"Blip", 70, -8.0, Blip},       {"Dink", 90, -8.0, Dink},          {"Tone", 160, -8.0, Tone},
      {"Alarm", 1500, -3.0, Alarm},   {"Metal0", 350, -3.0, Metal0},     {"Metal1", 300, -3.0, Metal1},
      {"Shot0", 180, -8.0, Shot0},    {"Shot2", 280, -3.0, Shot2},       {"Shot1", 250, -3.0, Shot1},
      {"Boom0", 700, -3.0, Boom0},    {"Boom1", 1600, -6.0, Boom1},      {"Bump", 200, -3.0, Bump},
      {"Spin", 550, -3.0, Spin},      {"Shield", 450, -3.0, Shield},     {"Tap", 90, -8.0, Tap},
      {"Suck", 400, -3.0, Suck},      {"Engine", 700, -8.0, Engine},     {"Power", 600, -3.0, Power},
      {"Bounce", 200, -3.0, Bounce},  {"Pod", 250, -3.0, Pod},           {"Flip", 120, -8.0, Flip},
      {"Super", 1000, -3.0, Super},   {"Intro_Mono", 2000, -3.0, IntroMono},
  };
  return kEffects;
}

long EffectFrames(const Effect& effect) { return static_cast<long>(effect.milliseconds) * 441 / 10; }

std::vector<float> RenderEffect(const Effect& effect) {
  std::vector<double> samples(static_cast<size_t>(EffectFrames(effect)), 0.0);
  effect.render(samples);
  // Silent for the last 25 ms, so the loader's trimmed tail and the coder's
  // noise after a loud end stay inaudible.
  const double end = effect.milliseconds / 1000.0 - 0.025;
  double peak = 0.0;
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] *= synth::FadeOut(static_cast<double>(i) / kRate, end - 0.03, end);
    peak = std::max(peak, std::fabs(samples[i]));
  }
  const double gain = peak > 0.0 ? synth::DbToGain(effect.peakDb) / peak : 0.0;
  std::vector<float> out(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) out[i] = static_cast<float>(samples[i] * gain);
  return out;
}

}  // namespace effects
