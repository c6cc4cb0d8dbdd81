#include "Generator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Canvas.h"

namespace art {

namespace {
const char* gProgram = "asset generator";
}

std::string GeneratorArgs::Resource(const std::string& relative) const {
  std::string path = contents + "/Resources/" + relative;
  MakeParentFolders(path);
  return path;
}

std::string GeneratorArgs::Review(const std::string& relative) const {
  std::string path = review + "/" + relative;
  MakeParentFolders(path);
  return path;
}

GeneratorArgs ParseGeneratorArgs(int argc, char** argv) {
  if (argc > 0) gProgram = argv[0];
  if (argc != 5) GeneratorFailure("usage: <Contents folder> <review folder> <first face> <second face>");
  return GeneratorArgs{argv[1], argv[2], argv[3], argv[4]};
}

void WriteFileBytes(const std::string& path, const void* bytes, size_t count) {
  MakeParentFolders(path);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) GeneratorFailure("cannot write " + path);
  const bool ok = std::fwrite(bytes, 1, count, file) == count;
  if (std::fclose(file) != 0 || !ok) GeneratorFailure("cannot write " + path);
}

void GeneratorFailure(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", gProgram, message.c_str());
  std::exit(1);
}

}  // namespace art
