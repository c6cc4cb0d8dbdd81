// The application's version from an Info.plist of arbitrary bytes, and the
// version text parser on the bytes themselves. Whatever the text, a version
// with a stage letter in its short form reads back from that form unchanged.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Bundle.h"
#include "Sys.h"

namespace {

std::string gInfoPlist;

void Setup() {
  if (!gInfoPlist.empty()) return;
  const char* tmp = std::getenv("TMPDIR");
  char folder[512];
  std::snprintf(folder, sizeof folder, "%s/fuzz-version-XXXXXX", tmp && std::strlen(tmp) < 200 ? tmp : "/tmp");
  if (!mkdtemp(folder)) std::abort();
  const std::string bundle = std::string(folder) + "/Kestrova";
  for (const char* sub : {"", "/Contents", "/Contents/MacOS"})
    if (mkdir((bundle + sub).c_str(), 0700) != 0) std::abort();
  SetExecutablePathForTesting(bundle + "/Contents/MacOS/Kestrova");
  gInfoPlist = bundle + "/Contents/Info.plist";
  static std::string top = folder;
  std::atexit([] {
    unlink(gInfoPlist.c_str());
    for (const char* sub : {"/Kestrova/Contents/MacOS", "/Kestrova/Contents", "/Kestrova", ""})
      rmdir((top + sub).c_str());
  });
}

// The short form of a version parses back to it, unless a revision of 0 left
// its stage letter out.
void CheckShortForm(VersionNumber version) {
  const UInt8 stage = static_cast<UInt8>(version >> 8);
  if (stage != kDevelopmentStage && stage != kAlphaStage && stage != kBetaStage && stage != kFinalStage) std::abort();
  Str255 text;
  VersionToString(version, text, 0);
  Str255 longText;
  VersionToString(version, longText, 1);
  if ((version & 0xFF) == 0 && stage != kFinalStage) return;
  char c[256];
  std::memcpy(c, text + 1, text[0]);
  c[text[0]] = 0;
  if (ParseVersionText(c) != version) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  Setup();

  // The text up to its first NUL, as the parser meets C text.
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckShortForm(ParseVersionText(text.c_str()));

  FILE* file = std::fopen(gInfoPlist.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  VersionNumber version = 0;
  Str255 versionText;
  GetApplicationVersion(&version, versionText, size % 2);
  CheckShortForm(version);
  return 0;
}
