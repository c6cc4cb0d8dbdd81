// Writes the music loops, "Music/<name>.ogg", stereo at 44,100 Hz.
#include <algorithm>
#include <string>
#include <vector>

#include "Generator.h"
#include "Sound/OggWriter.h"
#include "Sound/Songs.h"

int main(int argc, char** argv) {
  const art::GeneratorArgs args = art::ParseGeneratorArgs(argc, argv);
  const std::vector<music::Song> songs = music::AllSongs();
  music::SongBuffers buffers;
  long longest = 0;
  for (const music::Song& song : songs) longest = std::max(longest, music::LoopFrames(song));
  buffers.Reserve(longest);
  for (const music::Song& song : songs) {
    const std::string name = "Music/" + song.name + ".ogg";
    if (!oggwriter::WriteOgg(args.Resource(name), name, 2, music::RenderSong(song, buffers), 0.4f))
      art::GeneratorFailure("cannot write " + name);
  }
  return 0;
}
