// Writes the game's sound effects, "Audio/<name>.ogg", mono at 44,100 Hz.
#include <string>

#include "Generator.h"
#include "Sound/Effects.h"
#include "Sound/OggWriter.h"

int main(int argc, char** argv) {
  const art::GeneratorArgs args = art::ParseGeneratorArgs(argc, argv);
  for (const effects::Effect& effect : effects::AllEffects()) {
    const std::string name = "Audio/" + std::string(effect.name) + ".ogg";
    if (!oggwriter::WriteOgg(args.Resource(name), name, 1, effects::RenderEffect(effect), 0.5f))
      art::GeneratorFailure("cannot write " + name);
  }
  return 0;
}
