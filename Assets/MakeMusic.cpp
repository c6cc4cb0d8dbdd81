// Writes the music loops, "Music/<name>.ogg", stereo at 44,100 Hz.
#include <string>

#include "Generator.h"
#include "Sound/OggWriter.h"
#include "Sound/Songs.h"

int main(int argc, char** argv) {
  const art::GeneratorArgs args = art::ParseGeneratorArgs(argc, argv);
  for (const music::Song& song : music::AllSongs()) {
    const std::string name = "Music/" + song.name + ".ogg";
    if (!oggwriter::WriteOgg(args.Resource(name), name, 2, music::RenderSong(song), 0.4f))
      art::GeneratorFailure("cannot write " + name);
  }
  return 0;
}
