// Small building blocks of the sound generators: hash noise, band-limited
// oscillators, filters and envelopes at 44,100 Hz. Everything is plain
// arithmetic on doubles so every build gives the same samples.
#pragma once

#include <cmath>
#include <cstdint>

namespace synth {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// White noise in [-1, 1) from a counter; the same n always gives the same value.
inline double HashNoise(uint32_t n) {
  n ^= n >> 16;
  n *= 0x7FEB352Du;
  n ^= n >> 15;
  n *= 0x846CA68Bu;
  n ^= n >> 16;
  return static_cast<double>(n >> 8) / 8388608.0 - 1.0;
}

inline double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

inline double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

// The polyBLEP residual that rounds a saw or pulse edge at phase t.
inline double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// A phase in cycles; each call advances it by hz / rate.
struct Osc {
  double phase = 0.0;

  double Advance(double hz) {
    const double p = phase;
    phase += hz / kRate;
    phase -= std::floor(phase);
    return p;
  }
  double Sine(double hz) { return std::sin(kTwoPi * Advance(hz)); }
  double Tri(double hz) {
    const double p = Advance(hz);
    return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
  }
  double Saw(double hz) {
    const double dt = hz / kRate;
    const double p = Advance(hz);
    return 2.0 * p - 1.0 - PolyBlep(p, dt);
  }
  double Pulse(double hz, double width) {
    const double dt = hz / kRate;
    const double p = Advance(hz);
    double q = p - width;
    q -= std::floor(q);
    double v = p < width ? 1.0 : -1.0;
    v += PolyBlep(p, dt);
    v -= PolyBlep(q, dt);
    return v;
  }
};

// One-pole low-pass; High() gives the rest of the input.
struct OnePole {
  double z = 0.0;
  double a = 0.0;

  void SetCutoff(double hz) { a = 1.0 - std::exp(-kTwoPi * hz / kRate); }
  double Low(double x) { return z += a * (x - z); }
  double High(double x) { return x - Low(x); }
};

// Trapezoidal state-variable filter (low, band and high outputs).
struct Svf {
  double ic1 = 0.0, ic2 = 0.0;
  double g = 0.0, k = 1.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
  double low = 0.0, band = 0.0, high = 0.0;

  void Set(double hz, double q) {
    if (hz > 0.45 * kRate) hz = 0.45 * kRate;
    g = std::tan(kPi * hz / kRate);
    k = 1.0 / q;
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
  }
  void Run(double x) {
    const double v3 = x - ic2;
    const double v1 = a1 * ic1 + a2 * v3;
    const double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
  }
};

// Exponential decay with time constant tau seconds, after a linear attack.
inline double AttackDecay(double t, double attack, double tau) {
  if (t < 0.0) return 0.0;
  const double rise = t < attack ? t / attack : 1.0;
  return rise * std::exp(-t / tau);
}

// 1 before start, a raised-cosine fall to 0 at end.
inline double FadeOut(double t, double start, double end) {
  if (t <= start) return 1.0;
  if (t >= end) return 0.0;
  return 0.5 + 0.5 * std::cos(kPi * (t - start) / (end - start));
}

}  // namespace synth
