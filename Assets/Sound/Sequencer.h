// A small deterministic sequencer for the music loops: a score of notes on a
// 16th-note grid, played by synthetic instruments into a stereo loop at
// 44,100 Hz, with a feedback-delay reverb.
#pragma once

#include <string>
#include <vector>

namespace music {

enum class Instrument { Kick, Snare, Hat, OpenHat, Bass, Pad, Arp, Stab };

struct Note {
  Instrument instrument;
  int step;         // 16th notes from the loop's start
  double steps;     // length in 16th notes
  double pitch;     // MIDI note number (drums ignore it)
  double velocity;  // 0..1
};

struct Song {
  std::string name;  // "Music/<name>.ogg"
  int bpm;
  int bars;          // of four beats
  double reverb;     // wet level
  std::vector<Note> notes;

  void Add(Instrument instrument, int step, double steps, double pitch, double velocity) {
    notes.push_back({instrument, step, steps, pitch, velocity});
  }
};

// Frames of one 16th note and of the whole loop; whole numbers at the songs'
// tempos.
long StepFrames(const Song& song);
long LoopFrames(const Song& song);

// Working memory of the renderer. Kept from song to song (reserved for the
// longest), a run of songs touches fresh pages once instead of per song.
struct SongBuffers {
  std::vector<double> left, right, send;
  std::vector<float> out;

  void Reserve(long frames);
};

// The loop as interleaved stereo samples, LoopFrames long, in buffers.out.
// Notes ringing past the end wrap into the start and the reverb runs over the
// loop twice, keeping the second pass, so the loop joins without a seam.
// Levelled to an RMS of about -16.5 dBFS with the peaks held below -2.5 dBFS.
const std::vector<float>& RenderSong(const Song& song, SongBuffers& buffers);

}  // namespace music
