#include "Songs.h"

#include <array>

namespace music {

namespace {

using Chord = std::array<double, 3>;  // MIDI notes, root first

constexpr Chord kAm{57, 60, 64}, kF{53, 57, 60}, kC{48, 52, 55}, kG{55, 59, 62}, kDm{50, 53, 57}, kE{52, 56, 59};
constexpr Chord kEm{52, 55, 59}, kD{50, 54, 57}, kBm{47, 50, 54}, kB{47, 51, 54}, kBb{46, 50, 53};

// The chord held over a bar, a pad note per tone.
void PadBar(Song& s, int bar, const Chord& chord, double velocity) {
  for (double pitch : chord) s.Add(Instrument::Pad, bar * 16, 16, pitch, velocity);
}

// Chord tones up and down, one every `every` steps, `octaves` up.
void ArpBar(Song& s, int bar, const Chord& chord, int every, int octaves, double velocity) {
  static constexpr int kOrder[] = {0, 1, 2, 3, 2, 1};
  int k = 0;
  for (int st = 0; st < 16; st += every, ++k) {
    const int tone = kOrder[k % 6];
    const double pitch = tone == 3 ? chord[0] + 12 : chord[static_cast<size_t>(tone)];
    s.Add(Instrument::Arp, bar * 16 + st, every, pitch + 12 * octaves, velocity);
  }
}

// Spacious A minor: pad, a slow arpeggio, a soft pulse.
Song Title() {
  Song s{"Title", 100, 12, 0.5, {}};
  const Chord chords[12] = {kAm, kF, kC, kG, kAm, kF, kDm, kE, kF, kG, kAm, kAm};
  for (int bar = 0; bar < 12; ++bar) {
    const Chord& c = chords[bar];
    PadBar(s, bar, c, 0.9);
    ArpBar(s, bar, c, 2, 1, 0.45);
    s.Add(Instrument::Bass, bar * 16, 15, c[0] - 12, 0.35);
    for (int beat : {0, 8}) s.Add(Instrument::Kick, bar * 16 + beat, 1, 0, 0.4);
  }
  return s;
}

// Calm menu groove in D minor: light drums, bass, pad.
Song Main() {
  Song s{"Main", 105, 16, 0.35, {}};
  const Chord chords[4] = {kDm, kBb, kF, kC};
  for (int bar = 0; bar < 16; ++bar) {
    const Chord& c = chords[bar % 4];
    const int b = bar * 16;
    PadBar(s, bar, c, 0.7);
    const double root = c[0] - 12;
    s.Add(Instrument::Bass, b + 0, 3, root, 0.7);
    s.Add(Instrument::Bass, b + 3, 1, root, 0.5);
    s.Add(Instrument::Bass, b + 6, 2, root + 7, 0.55);
    s.Add(Instrument::Bass, b + 8, 4, root, 0.7);
    s.Add(Instrument::Bass, b + 14, 2, root + 12, 0.5);
    for (int st : {0, 8}) s.Add(Instrument::Kick, b + st, 1, 0, 0.75);
    if (bar % 2 == 1) s.Add(Instrument::Kick, b + 10, 1, 0, 0.5);
    for (int st : {4, 12}) s.Add(Instrument::Snare, b + st, 1, 0, 0.4);
    for (int st = 0; st < 16; st += 2) s.Add(Instrument::Hat, b + st, 1, 0, st % 4 == 0 ? 0.35 : 0.22);
    if (bar >= 8) ArpBar(s, bar, c, 4, 1, 0.3);
  }
  return s;
}

// Driving E minor: four on the floor, a bass line, a lead arpeggio.
Song Game() {
  Song s{"Game", 126, 24, 0.3, {}};
  const Chord chords[8] = {kEm, kC, kD, kBm, kEm, kC, kD, kB};
  for (int bar = 0; bar < 24; ++bar) {
    const Chord& c = chords[bar % 8];
    const int b = bar * 16;
    PadBar(s, bar, c, 0.5);
    const double root = c[0] - 12;
    for (int st = 0; st < 16; st += 2) s.Add(Instrument::Bass, b + st, 1.6, st % 8 == 6 ? root + 12 : root, 0.75);
    for (int st = 0; st < 16; st += 4) s.Add(Instrument::Kick, b + st, 1, 0, 0.9);
    for (int st : {4, 12}) s.Add(Instrument::Snare, b + st, 1, 0, 0.6);
    for (int st = 0; st < 16; ++st) {
      if (st % 4 == 2)
        s.Add(Instrument::OpenHat, b + st, 1, 0, 0.3);
      else
        s.Add(Instrument::Hat, b + st, 1, 0, st % 2 == 0 ? 0.35 : 0.2);
    }
    // The lead rests for the first eight bars, then runs in 16ths.
    if (bar >= 8) ArpBar(s, bar, c, 1, 1, bar % 4 == 3 ? 0.3 : 0.38);
  }
  return s;
}

// Tense: a pulsing low bass, dissonant stabs, fast hats.
Song Boss() {
  Song s{"Boss", 140, 16, 0.3, {}};
  const double roots[8] = {40, 40, 41, 40, 40, 40, 46, 41};  // E E F E E E Bb F
  for (int bar = 0; bar < 16; ++bar) {
    const int b = bar * 16;
    const double root = roots[bar % 8];
    // A low drone of root and tritone keeps the loop from ever going quiet.
    s.Add(Instrument::Pad, b, 16, root + 12, 0.6);
    s.Add(Instrument::Pad, b, 16, root + 18, 0.4);
    for (int st = 0; st < 16; st += 2) s.Add(Instrument::Bass, b + st, 1.2, root - 12, st % 4 == 0 ? 0.85 : 0.6);
    for (int st : {0, 6, 8, 11}) s.Add(Instrument::Kick, b + st, 1, 0, 0.85);
    for (int st : {4, 12}) s.Add(Instrument::Snare, b + st, 1, 0, 0.55);
    for (int st = 0; st < 16; ++st) s.Add(Instrument::Hat, b + st, 1, 0, st % 4 == 0 ? 0.4 : 0.25);
    if (bar % 2 == 1) {
      // Root, minor second and tritone together.
      for (int st : {3, 6, 10}) {
        for (double interval : {0.0, 1.0, 6.0}) s.Add(Instrument::Stab, b + st, 1, root + 24 + interval, 0.55);
      }
    }
  }
  return s;
}

}  // namespace

std::vector<Song> AllSongs() { return {Title(), Main(), Game(), Boss()}; }

}  // namespace music
