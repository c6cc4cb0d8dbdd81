// Info.plist, the two trig tables and the empty "Sounds" folder.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "Generator.h"
#include "PlistTag.h"

namespace {

void WriteInfoPlist(const art::GeneratorArgs& args) {
  const std::string path = args.contents + "/Info.plist";
  std::filesystem::create_directories(args.contents);
  PlistTag root;
  PlistTag::NewTag(&root, "string", "CFBundleName", "Kestrova");
  PlistTag::NewTag(&root, "string", "CFBundleExecutable", "Kestrova");
  PlistTag::NewTag(&root, "string", "CFBundleVersion", "1.0");
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) art::GeneratorFailure("cannot write " + path);
  const OSErr status = PlistTag::WriteStdFile(&root, file);
  if (std::fclose(file) != 0 || status != 0) art::GeneratorFailure("cannot write " + path);
}

// 256 × cos and sin of whole degrees, big-endian 32-bit. The sine table is the
// cosine table a quarter turn on, so the two always agree.
void WriteTrigTables(const art::GeneratorArgs& args) {
  int32_t cosines[360];
  for (int d = 0; d < 360; ++d)
    cosines[d] = static_cast<int32_t>(std::lround(256.0 * std::cos(static_cast<double>(d) * M_PI / 180.0)));
  uint8_t cosBytes[1440], sinBytes[1440];
  for (int d = 0; d < 360; ++d) {
    const uint32_t c = static_cast<uint32_t>(cosines[d]);
    const uint32_t s = static_cast<uint32_t>(cosines[(d + 270) % 360]);
    for (int b = 0; b < 4; ++b) {
      cosBytes[d * 4 + b] = static_cast<uint8_t>(c >> (24 - 8 * b));
      sinBytes[d * 4 + b] = static_cast<uint8_t>(s >> (24 - 8 * b));
    }
  }
  art::WriteFileBytes(args.Resource("COS Table 360"), cosBytes, sizeof cosBytes);
  art::WriteFileBytes(args.Resource("SIN Table 360"), sinBytes, sizeof sinBytes);
}

}  // namespace

int main(int argc, char** argv) {
  const art::GeneratorArgs args = art::ParseGeneratorArgs(argc, argv);
  WriteInfoPlist(args);
  WriteTrigTables(args);
  // Part of the bundle's shape, though every effect loads from "Audio".
  std::error_code error;
  std::filesystem::create_directories(args.contents + "/Resources/Sounds", error);
  if (error) art::GeneratorFailure("cannot make the Sounds folder");
  return 0;
}
