// Every picture of the bundle as the loader and an independent decoder see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PNGFiles.h"
#include "PlistTag.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

const std::string kResources = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/Resources/";

struct PngSpec {
  const char* path;
  int width;   // 0: packed freely, only the 1024 limit holds
  int height;
  int flag;    // premultiply flag the game loads it with
};

const PngSpec kPngs[] = {
    {"Background.png", 1024, 768, 0},
    {"Cursor.png", 64, 64, 1},
    {"Graphics/Pixel.png", 2, 2, 0},
    {"Graphics/Spark.png", 6, 6, 1},
    {"Graphics/Shockwave.png", 128, 128, 1},
    {"Graphics/Boomerang.png", 192, 128, 1},
    {"Graphics/Blimp.png", 88, 216, 1},
    {"Graphics/Loading.png", 1024, 768, 1},
    {"Graphics/Zadados.png", 288, 288, 1},
    {"Graphics/Sprites.png", 0, 0, 1},
    {"Graphics/Enemies.png", 0, 0, 1},
    {"Graphics/Interface/Radio Off.png", 32, 32, 1},
    {"Graphics/Interface/Radio On.png", 32, 32, 1},
    {"Graphics/Interface/Volume.png", 16, 24, 1},
    {"Graphics/Interface/Pause.png", 64, 64, 1},
    {"Graphics/Interface/Exit.png", 64, 64, 1},
    {"Graphics/Interface/Buttons/Play.png", 160, 40, 1},
    {"Graphics/Interface/Buttons/Help.png", 160, 40, 1},
    {"Graphics/Interface/Buttons/Sound.png", 160, 40, 1},
    {"Graphics/Interface/Buttons/Music.png", 160, 40, 1},
    {"Graphics/Interface/Buttons/Quit.png", 160, 40, 1},
    {"Graphics/Interface/Buttons/Clear.png", 160, 40, 1},
    {"MacPC/FullScreen.png", 56, 56, 1},
    {"MacPC/QVLogo.png", 1024, 768, 0},
    {"MacPC/Fade.png", 1024, 52, 1},
    {"MacPC/PressFire.png", 256, 32, 1},
    {"MacPC/StatusBar 1.png", 410, 52, 1},
    {"MacPC/StatusBar 2.png", 410, 52, 1},
    {"MacPC/Text Field.png", 64, 52, 1},
    {"MacPC/Field Hilite.png", 64, 52, 1},
    {"MacPC/InputScreen.png", 848, 176, 1},
    {"MacPC/OK.png", 112, 40, 1},
    {"MacPC/Cancel.png", 160, 40, 1},
    {"MacPC/HighScores.png", 320, 48, 1},
    {"MacPC/Key Border.png", 16, 32, 1},
    {"MacPC/About.png", 768, 480, 0},
    {"MacPC/About-Shadow.png", 768, 480, 1},
    {"Title/Title.png", 1024, 768, 1},
    {"Title/Background.png", 1024, 564, 0},
    {"Main/Main.png", 1024, 768, 1},
    {"Main/Nebula.png", 512, 512, 0},
    {"Pause/PauseBox.png", 320, 176, 1},
    {"Pause/Resume.png", 160, 40, 1},
    {"Pause/Abort.png", 160, 40, 1},
    {"Help/Help Screen.png", 896, 672, 1},
    {"Help/Help 1.png", 832, 480, 1},
    {"Help/Help 2.png", 832, 480, 1},
    {"Help/Help 3.png", 832, 480, 1},
    {"Help/Help 4.png", 832, 480, 1},
    {"Help/Next.png", 128, 40, 1},
    {"Help/Prev.png", 128, 40, 1},
    {"Help/Done.png", 128, 40, 1},
    {"Help/Email.png", 160, 40, 1},
};

struct Rgba {
  std::unique_ptr<UInt8[]> pixels;
  int width = 0;
  int height = 0;
  const UInt8* at(int x, int y) const { return pixels.get() + (static_cast<size_t>(y) * width + x) * 4; }
};

Rgba ReadWithEngine(const std::string& path) {
  UInt32 width = 0, height = 0;
  Rgba image;
  image.pixels.reset(ReadPNGFile(path.c_str(), &width, &height, 0, nullptr, nullptr));
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  return image;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

class PngFileTest : public ::testing::TestWithParam<PngSpec> {};

TEST_P(PngFileTest, HeaderChunksAndSizeAreAsListed) {
  const PngSpec& spec = GetParam();
  const std::vector<uint8_t> bytes = FileBytes(kResources + spec.path);
  ASSERT_GT(bytes.size(), 33u) << spec.path;
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
  std::vector<std::string> chunks;
  for (size_t pos = 8; pos + 12 <= bytes.size();) {
    const uint32_t length = BigEndian32(&bytes[pos]);
    const std::string type(reinterpret_cast<const char*>(&bytes[pos + 4]), 4);
    if (chunks.empty() || chunks.back() != type) chunks.push_back(type);
    pos += 12 + length;
  }
  EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"})) << spec.path;
  const uint32_t width = BigEndian32(&bytes[16]), height = BigEndian32(&bytes[20]);
  EXPECT_EQ(bytes[24], 8) << spec.path << ": bit depth";
  EXPECT_EQ(bytes[25], 6) << spec.path << ": colour type RGBA";
  EXPECT_LE(width, 1024u);
  EXPECT_LE(height, 1024u);
  if (spec.width != 0) {
    EXPECT_EQ(width, static_cast<uint32_t>(spec.width)) << spec.path;
    EXPECT_EQ(height, static_cast<uint32_t>(spec.height)) << spec.path;
  }
}

TEST_P(PngFileTest, EngineAndStbDecodeTheSamePixels) {
  const PngSpec& spec = GetParam();
  const std::string path = kResources + spec.path;
  const Rgba engine = ReadWithEngine(path);
  ASSERT_TRUE(engine.pixels) << spec.path;
  int width = 0, height = 0, channels = 0;
  stbi_uc* stb = stbi_load(path.c_str(), &width, &height, &channels, 4);
  ASSERT_NE(stb, nullptr) << stbi_failure_reason();
  EXPECT_EQ(width, engine.width);
  EXPECT_EQ(height, engine.height);
  EXPECT_EQ(channels, 4);
  if (width == engine.width && height == engine.height) {
    EXPECT_EQ(0, std::memcmp(stb, engine.pixels.get(), static_cast<size_t>(width) * height * 4)) << spec.path;
  }
  stbi_image_free(stb);
}

INSTANTIATE_TEST_SUITE_P(Bundle, PngFileTest, ::testing::ValuesIn(kPngs), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.path; *c && *c != '.'; ++c)
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
});

TEST(PngFiles, OpaqueImagesHaveFullAlphaEverywhere) {
  for (const PngSpec& spec : kPngs) {
    if (spec.flag != 0) continue;
    const Rgba image = ReadWithEngine(kResources + spec.path);
    ASSERT_TRUE(image.pixels) << spec.path;
    int clear = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) clear += image.at(x, y)[3] != 255;
    EXPECT_EQ(clear, 0) << spec.path;
  }
}

TEST(PngFiles, BundleHoldsNoOtherPictures) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kResources))
    if (entry.path().extension() == ".png")
      found.push_back(std::filesystem::relative(entry.path(), kResources).generic_string());
  EXPECT_EQ(found.size(), std::size(kPngs));
}

// Tinted pictures carry no colour of their own.
bool IsGrey(const UInt8* p) { return p[0] == p[1] && p[1] == p[2]; }

TEST(PngFiles, TintedSinglePicturesAreGrey) {
  for (const char* path : {"Graphics/Spark.png", "Graphics/Pixel.png", "MacPC/Key Border.png", "MacPC/Field Hilite.png"}) {
    const Rgba image = ReadWithEngine(kResources + path);
    ASSERT_TRUE(image.pixels) << path;
    int coloured = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) coloured += !IsGrey(image.at(x, y));
    EXPECT_EQ(coloured, 0) << path;
  }
}

// Three-slice pictures: the middle and the two columns beside it on each side
// are identical, so a stretched middle shows no seam.
TEST(PngFiles, ThreeSliceMiddlesAreUniform) {
  for (const char* path : {"MacPC/Text Field.png", "MacPC/Field Hilite.png", "MacPC/Key Border.png"}) {
    const Rgba image = ReadWithEngine(kResources + path);
    ASSERT_TRUE(image.pixels) << path;
    EXPECT_EQ(image.width % 4, 0) << path;
    const int q = image.width / 4, m = image.width / 2;
    for (int y = 0; y < image.height; ++y)
      for (int x = q - 2; x <= q + m + 1; ++x)
        ASSERT_EQ(0, std::memcmp(image.at(x, y), image.at(q, y), 4)) << path << " at " << x << "," << y;
  }
}

struct Frame {
  std::string name;
  int left, top, right, bottom;
};

std::string TagText(const unsigned char* pascal) { return std::string(reinterpret_cast<const char*>(pascal + 1), pascal[0]); }

PlistTag* Child(PlistTag* tag, const char* name) {
  for (UInt32 i = 0; i < tag->child.count; ++i)
    if (TagText(tag->child.data[i]->name) == name) return tag->child.data[i];
  return nullptr;
}

std::vector<Frame> LayoutFrames(const char* layout) {
  std::vector<Frame> frames;
  FILE* file = std::fopen((kResources + "Layouts/" + layout).c_str(), "rb");
  if (!file) return frames;
  PlistTag root;
  PlistTag::ReadStdFile(&root, file);
  std::fclose(file);
  PlistTag* list = Child(&root, "Frames");
  if (!list) return frames;
  for (UInt32 i = 0; i < list->child.count; ++i) {
    PlistTag* entry = list->child.data[i];
    PlistTag* bounds = Child(entry, "Bounds");
    if (!bounds) continue;
    auto value = [&](const char* key) {
      PlistTag* tag = Child(bounds, key);
      return tag ? std::atoi(TagText(tag->value).c_str()) : 0;
    };
    frames.push_back(Frame{TagText(entry->name), value("Left"), value("Top"), value("Right"), value("Bottom")});
  }
  return frames;
}

bool InSet(const Frame& frame, const char* set) { return frame.name.rfind(std::string(set) + "[", 0) == 0; }

TEST(PngFiles, SpriteFramesKeepAClearRingAndTheirTints) {
  const char* const greySets[] = {"engineFRAME", "glowFRAME", "numberFRAME", "waveDisplayFRAME", "bossDisplayFRAME"};
  for (const char* sheet : {"Zadados", "Sprites", "Enemies"}) {
    const Rgba image = ReadWithEngine(kResources + "Graphics/" + sheet + ".png");
    ASSERT_TRUE(image.pixels) << sheet;
    const std::vector<Frame> frames = LayoutFrames(sheet);
    ASSERT_FALSE(frames.empty()) << sheet;
    for (const Frame& f : frames) {
      ASSERT_TRUE(f.left >= 0 && f.top >= 0 && f.right <= image.width && f.bottom <= image.height) << f.name;
      int ringInk = 0, coloured = 0, tooBright = 0;
      bool grey = false;
      for (const char* set : greySets) grey |= InSet(f, set);
      const bool meteor = InSet(f, "zadadoFRAME");
      for (int y = f.top; y < f.bottom; ++y)
        for (int x = f.left; x < f.right; ++x) {
          const UInt8* p = image.at(x, y);
          const bool ring = x == f.left || y == f.top || x == f.right - 1 || y == f.bottom - 1;
          ringInk += ring && p[3] != 0;
          coloured += grey && !IsGrey(p);
          tooBright += meteor && (p[0] > 217 || p[1] > 217 || p[2] > 217);
        }
      EXPECT_EQ(ringInk, 0) << sheet << " " << f.name << ": outer ring";
      EXPECT_EQ(coloured, 0) << sheet << " " << f.name << ": tinted frame with colour";
      EXPECT_EQ(tooBright, 0) << sheet << " " << f.name << ": meteor channel above 217";
    }
  }
}

}  // namespace
