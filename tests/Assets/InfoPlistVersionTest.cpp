// The generated Info.plist as the engine reads it.
#include <gtest/gtest.h>

#include <string>

#include "Bundle.h"
#include "Sys.h"

namespace {

TEST(InfoPlistVersion, BundleReadsAsVersionOnePointZeroFinal) {
  SetExecutablePathForTesting(std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova");
  VersionNumber version = 0;
  Str255 text = {0};
  GetApplicationVersion(&version, text, false);
  EXPECT_EQ(MakeVersion(1, 0, 0, kFinalStage), version);
  EXPECT_EQ("1.0", std::string(reinterpret_cast<const char*>(text + 1), text[0]));
}

}  // namespace
