#include "Sequencer.h"

#include <algorithm>
#include <cmath>

#include "Synth.h"

namespace music {

using synth::AttackDecay;
using synth::FadeOut;
using synth::HashNoise;
using synth::kRate;
using synth::MidiToHz;
using synth::OnePole;
using synth::Osc;
using synth::Svf;

long StepFrames(const Song& song) { return 44100L * 60L / (song.bpm * 4L); }

long LoopFrames(const Song& song) { return StepFrames(song) * 16L * song.bars; }

namespace {

// One voice of a note: its mono samples, where it sits and how much of it
// goes to the reverb.
struct Voice {
  std::vector<double> samples;
  double pan = 0.0;  // -1 left .. 1 right
  double send = 0.0;
};

template <class F>
void Fill(Voice& voice, double seconds, F f) {
  voice.samples.resize(static_cast<size_t>(seconds * kRate));
  for (size_t i = 0; i < voice.samples.size(); ++i)
    voice.samples[i] = f(static_cast<double>(i) / kRate, static_cast<uint32_t>(i));
}

void Kick(Voice& v, double vel, uint32_t seed) {
  Osc o;
  Fill(v, 0.45, [&](double t, uint32_t i) {
    const double body = o.Sine(48.0 + 110.0 * std::exp(-t / 0.035)) * AttackDecay(t, 0.001, 0.16);
    const double click = 0.3 * HashNoise(seed + i) * std::exp(-t / 0.002);
    return vel * (body + click) * FadeOut(t, 0.4, 0.45);
  });
}

void Snare(Voice& v, double vel, uint32_t seed) {
  Osc o;
  OnePole hp;
  hp.SetCutoff(1200.0);
  Fill(v, 0.3, [&](double t, uint32_t i) {
    const double tone = 0.5 * o.Sine(190.0) * AttackDecay(t, 0.001, 0.05);
    const double rattle = 0.8 * hp.High(HashNoise(seed + i)) * AttackDecay(t, 0.001, 0.1);
    return vel * (tone + rattle) * FadeOut(t, 0.25, 0.3);
  });
  v.pan = 0.1;
  v.send = 0.25;
}

void Hat(Voice& v, double vel, uint32_t seed, bool open) {
  OnePole a, b;
  a.SetCutoff(7000.0);
  b.SetCutoff(7000.0);
  const double tau = open ? 0.09 : 0.018;
  const double length = open ? 0.3 : 0.08;
  Fill(v, length, [&](double t, uint32_t i) {
    return vel * 0.6 * b.High(a.High(HashNoise(seed + i))) * AttackDecay(t, 0.0005, tau) *
           FadeOut(t, length - 0.02, length);
  });
  v.pan = 0.35;
  v.send = 0.1;
}

void Bass(Voice& v, double hz, double vel, double length) {
  Osc saw, sub;
  Svf lp;
  Fill(v, length + 0.04, [&](double t, uint32_t i) {
    if (i % 16 == 0) lp.Set(150.0 + (120.0 + 900.0 * vel) * std::exp(-t / 0.12), 2.5);
    lp.Run(saw.Saw(hz) + 0.5 * sub.Sine(hz));
    const double level = AttackDecay(t, 0.004, 1e9) * (0.8 + 0.2 * std::exp(-t / 0.2));
    return vel * 0.9 * lp.low * level * FadeOut(t, length, length + 0.03);
  });
  v.send = 0.05;
}

// Half of a pad note: one detuned saw, softly filtered, slow to rise and fall.
void PadHalf(Voice& v, double hz, double vel, double length, double pan) {
  Osc saw;
  OnePole a, b;
  a.SetCutoff(1400.0);
  b.SetCutoff(1400.0);
  const double release = 1.2;
  Fill(v, length + release, [&](double t, uint32_t) {
    const double rise = 1.0 - std::exp(-t / 0.15);
    const double fall = t < length ? 1.0 : std::exp(-(t - length) / 0.25);
    return vel * 0.3 * b.Low(a.Low(saw.Saw(hz))) * rise * fall * FadeOut(t, length + release - 0.1, length + release);
  });
  v.pan = pan;
  v.send = 0.5;
}

void Arp(Voice& v, double hz, double vel, bool left) {
  Osc o;
  OnePole lp;
  lp.SetCutoff(3500.0);
  Fill(v, 0.6, [&](double t, uint32_t) {
    return vel * 0.45 * lp.Low(o.Pulse(hz, 0.3)) * AttackDecay(t, 0.002, 0.15) * FadeOut(t, 0.5, 0.6);
  });
  v.pan = left ? -0.4 : 0.4;
  v.send = 0.35;
}

void Stab(Voice& v, double hz, double vel) {
  Osc a, b;
  Svf lp;
  Fill(v, 0.4, [&](double t, uint32_t i) {
    if (i % 16 == 0) lp.Set(300.0 + 2500.0 * std::exp(-t / 0.08), 1.2);
    lp.Run(a.Saw(hz * 1.004) + b.Saw(hz * 0.996));
    return vel * 0.35 * lp.low * AttackDecay(t, 0.002, 0.12) * FadeOut(t, 0.32, 0.4);
  });
  v.send = 0.4;
}

// Adds a voice at frame start of the loop, wrapping past its end.
void Mix(const Voice& v, long start, long frames, std::vector<double>& left, std::vector<double>& right,
         std::vector<double>& send) {
  const double angle = (v.pan + 1.0) * synth::kPi / 4.0;
  const double gl = std::cos(angle) * std::sqrt(2.0);
  const double gr = std::sin(angle) * std::sqrt(2.0);
  long at = start % frames;
  for (double s : v.samples) {
    left[static_cast<size_t>(at)] += gl * s;
    right[static_cast<size_t>(at)] += gr * s;
    send[static_cast<size_t>(at)] += v.send * s;
    if (++at == frames) at = 0;
  }
}

// Feedback delay line with a damped loop (a comb) or an all-pass.
struct Delay {
  std::vector<double> line;
  size_t at = 0;
  double damp = 0.0;

  explicit Delay(size_t length) : line(length, 0.0) {}
  double Comb(double x, double feedback) {
    const double out = line[at];
    damp += 0.3 * (out - damp);
    line[at] = x + feedback * damp;
    if (++at == line.size()) at = 0;
    return out;
  }
  double AllPass(double x) {
    const double delayed = line[at];
    const double out = delayed - 0.5 * x;
    line[at] = x + 0.5 * delayed;
    if (++at == line.size()) at = 0;
    return out;
  }
};

// One channel of the reverb: four combs in parallel, two all-passes after.
struct ReverbChannel {
  std::vector<Delay> combs, passes;

  explicit ReverbChannel(size_t spread) {
    for (size_t n : {1557u, 1617u, 1491u, 1422u}) combs.emplace_back(n + spread);
    for (size_t n : {556u, 441u}) passes.emplace_back(n + spread);
  }
  double Run(double x) {
    double sum = 0.0;
    for (Delay& c : combs) sum += c.Comb(x, 0.8);
    for (Delay& p : passes) sum = p.AllPass(sum);
    return sum;
  }
};

void AddReverb(const std::vector<double>& send, double wet, std::vector<double>& left, std::vector<double>& right) {
  ReverbChannel l(0), r(23);
  // The first pass only fills the delay lines with the loop's end.
  for (double x : send) {
    l.Run(x);
    r.Run(x);
  }
  for (size_t i = 0; i < send.size(); ++i) {
    left[i] += wet * l.Run(send[i]);
    right[i] += wet * r.Run(send[i]);
  }
}

// A soft knee from 0.5 up to a ceiling of 0.75 (-2.5 dBFS).
double SoftLimit(double x) {
  const double a = std::fabs(x);
  if (a <= 0.5) return x;
  const double y = 0.5 + 0.25 * std::tanh((a - 0.5) / 0.25);
  return x < 0.0 ? -y : y;
}

}  // namespace

void SongBuffers::Reserve(long frames) {
  const size_t n = static_cast<size_t>(frames);
  for (std::vector<double>* bus : {&left, &right, &send}) bus->reserve(n);
  out.reserve(2 * n);
}

std::vector<float> RenderSong(const Song& song) {
  SongBuffers buffers;
  RenderSong(song, buffers);
  return std::move(buffers.out);
}

const std::vector<float>& RenderSong(const Song& song, SongBuffers& buffers) {
  const long frames = LoopFrames(song);
  const long step = StepFrames(song);
  const double stepSeconds = static_cast<double>(step) / kRate;
  std::vector<double>& left = buffers.left;
  std::vector<double>& right = buffers.right;
  std::vector<double>& send = buffers.send;
  for (std::vector<double>* bus : {&left, &right, &send}) bus->assign(static_cast<size_t>(frames), 0.0);

  uint32_t seed = 1;
  bool arpLeft = true;
  // One voice buffer for the whole song: a fresh one a note cost more in
  // allocation and page faults than the synthesis itself.
  Voice v;
  const auto fresh = [&v] {
    v.samples.clear();
    v.pan = 0.0;
    v.send = 0.0;
  };
  for (const Note& n : song.notes) {
    const long start = static_cast<long>(n.step) * step;
    const double hz = MidiToHz(n.pitch);
    const double length = n.steps * stepSeconds;
    seed += 100003u;
    fresh();
    switch (n.instrument) {
      case Instrument::Kick: Kick(v, n.velocity, seed); break;
      case Instrument::Snare: Snare(v, n.velocity, seed); break;
      case Instrument::Hat: Hat(v, n.velocity, seed, false); break;
      case Instrument::OpenHat: Hat(v, n.velocity, seed, true); break;
      case Instrument::Bass: Bass(v, hz, n.velocity, length); break;
      case Instrument::Arp:
        Arp(v, hz, n.velocity, arpLeft);
        arpLeft = !arpLeft;
        break;
      case Instrument::Stab: Stab(v, hz, n.velocity); break;
      case Instrument::Pad:
        // Two saws a few cents apart, one each side.
        PadHalf(v, hz * 1.0046, n.velocity, length, -0.6);
        Mix(v, start, frames, left, right, send);
        fresh();
        PadHalf(v, hz / 1.0046, n.velocity, length, 0.6);
        break;
    }
    Mix(v, start, frames, left, right, send);
  }
  AddReverb(send, song.reverb, left, right);

  double sum = 0.0;
  for (long i = 0; i < frames; ++i) sum += left[i] * left[i] + right[i] * right[i];
  const double rms = std::sqrt(sum / (2.0 * static_cast<double>(frames)));
  const double gain = rms > 0.0 ? synth::DbToGain(-16.5) / rms : 0.0;
  std::vector<float>& out = buffers.out;
  out.assign(static_cast<size_t>(frames) * 2, 0.0f);
  for (long i = 0; i < frames; ++i) {
    out[2 * i] = static_cast<float>(SoftLimit(gain * left[i]));
    out[2 * i + 1] = static_cast<float>(SoftLimit(gain * right[i]));
  }
  return out;
}

}  // namespace music
