#include "Layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../Graphics/GLTestSupport.h"
#include "Errors.h"
#include "GLImage.h"
#include "PNGFiles.h"
#include "PlistTag.h"
#include "ResultCodes.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

// A layout property list built as a tree and written the engine's way.
class LayoutFile {
 public:
  LayoutFile() { frames_ = PlistTag::NewTag(&root_, "dict", "Frames", ""); }

  PlistTag* Entry(const std::string& key) { return PlistTag::NewTag(frames_, "dict", key.c_str(), ""); }
  PlistTag* First(const std::string& key, int size0, int size1 = -1, int size2 = -1) {
    PlistTag* e = Entry(key);
    PlistTag::NewTag(e, "boolean", "First In Array", "true/");
    const int sizes[3] = {size0, size1, size2};
    for (int d = 0; d < 3; ++d) {
      if (sizes[d] < 0) continue;
      std::string name = "Array Size " + std::to_string(d);
      Int(e, name.c_str(), sizes[d]);
    }
    return e;
  }
  static void Int(PlistTag* dict, const char* key, int v) {
    PlistTag::NewTag(dict, "integer", key, std::to_string(v).c_str());
  }
  static PlistTag* Bounds(PlistTag* e, int left, int top, int right, int bottom) {
    PlistTag* b = PlistTag::NewTag(e, "dict", "Bounds", "");
    Int(b, "Left", left);
    Int(b, "Top", top);
    Int(b, "Right", right);
    Int(b, "Bottom", bottom);
    return b;
  }
  static PlistTag* Numbered(PlistTag* e, const char* list, int n) {
    PlistTag* l = PlistTag::FindTag(e, "dict", list, 1);
    return PlistTag::NewTag(l, "dict", std::to_string(n).c_str(), "");
  }
  // The 36 frames of a 6 x 6 sheet of 48-pixel cells.
  void Zadado(int size0 = 36) {
    Bounds(First("zadadoFRAME[0]", size0), 0, 0, 48, 48);
    for (int k = 1; k < 36; ++k)
      Bounds(Entry("zadadoFRAME[" + std::to_string(k) + "]"), k % 6 * 48, k / 6 * 48, k % 6 * 48 + 48,
             k / 6 * 48 + 48);
  }
  void Write(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(0, PlistTag::WriteStdFile(&root_, f));
    std::fclose(f);
  }
  PlistTag root_;

 private:
  PlistTag* frames_;
};

// Pixel (x, y) of the generated sheet, bytes R, G, B, A.
UInt32 SheetPixel(int x, int y) {
  UInt32 r = static_cast<UInt32>(x * 7 % 256);
  UInt32 g = static_cast<UInt32>(y * 5 % 256);
  UInt32 b = static_cast<UInt32>((x / 48 + y / 48 * 6) * 7);
  return r | g << 8 | b << 16 | 0xFF000000u;
}

// Records of the fixture's block, by use.
constexpr int kZadado = 0;       // 36 records, slot 0
constexpr int kSentinel = 36;    // no set
constexpr int kNext = 37;        // "nextFRAME", 2 records, slot 1
constexpr int kBig = 39;         // "bigFRAME", 60 records, slot 2
constexpr int kBlock = 99;

class LayoutTest : public GLTest {
 protected:
  static void SetUpTestSuite() {
    GLTest::SetUpTestSuite();
    dir_ = new testsupport::TempDir;
    std::string bundle = dir_->path() + "/Kestrova";
    std::filesystem::create_directories(bundle + "/Contents/MacOS");
    std::filesystem::create_directories(bundle + "/Contents/Resources/Layouts");
    SetExecutablePathForTesting(bundle + "/Contents/MacOS/Kestrova");
    layouts_ = bundle + "/Contents/Resources/Layouts/";
    sheet_ = dir_->path() + "/Sheet";
    std::vector<UInt32> pixels(288 * 288);
    for (int y = 0; y < 288; ++y)
      for (int x = 0; x < 288; ++x) pixels[static_cast<size_t>(y) * 288 + x] = SheetPixel(x, y);
    ASSERT_EQ(1, WritePNGFile((sheet_ + ".png").c_str(), pixels.data(), 288, 288, 0, nullptr, 0));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    GLTest::SetUp();
    Clear();
    InitLayouts();
    block_.reset(new Frame[kBlock]);
    Register(0, kZadado, "zadadoFRAME", 36);
    Register(1, kNext, "nextFRAME", 2);
    Register(2, kBig, "bigFRAME", 60);
    SetFrameArrayName(&block_[kSentinel], reinterpret_cast<const unsigned char*>("\x08sentinel"));
    before_ = Bytes(0, kBlock);
  }
  void TearDown() override {
    for (const char* name : {"Zadados", "Zadados.plist", "Test", "Test.plist"}) std::remove((layouts_ + name).c_str());
    block_.reset();
    Clear();
    GLTest::TearDown();
  }

  static void Clear() {
    std::memset(frameLIST, 0, sizeof frameLIST);
    std::memset(frameSetCapacity, 0, sizeof frameSetCapacity);
    frameSetCount = 0;
  }
  // As the game registers: appended, then named and sized.
  void Register(SInt16 slot, int at, const char* name, UInt8 count) {
    frameLIST[frameSetCount++] = &block_[at];
    ASSERT_EQ(slot + 1, frameSetCount);
    Str31 p;
    p[0] = static_cast<unsigned char>(std::strlen(name));
    std::memcpy(p + 1, name, p[0]);
    SetFrameArrayName(&block_[at], p);
    SetFrameArraySize(&block_[at], count);
  }
  std::vector<unsigned char> Bytes(int first, int n) const {
    const auto* p = reinterpret_cast<const unsigned char*>(&block_[first]);
    return std::vector<unsigned char>(p, p + sizeof(Frame) * static_cast<size_t>(n));
  }
  std::vector<unsigned char> Before(int first, int n) const {
    return std::vector<unsigned char>(before_.begin() + static_cast<long>(sizeof(Frame)) * first,
                                      before_.begin() + static_cast<long>(sizeof(Frame)) * (first + n));
  }
  // Reads "Test" into a layout of our own; frames outside the block are
  // given back afterwards.
  Boolean Read(Layout* layout) { return ReadLayoutPlist(layout, nullptr, nullptr); }
  // Writes the list text as "Test" and reads it.
  Layout ReadText(const std::string& list) {
    EXPECT_TRUE(testsupport::WriteFile(layouts_ + "Test", list));
    Layout layout = Named("Test");
    EXPECT_TRUE(Read(&layout));
    return layout;
  }
  void ReleaseAllocated(Layout* layout) {
    for (Frame* f = layout->firstFrame; f;) {
      Frame* next = f->next;
      if (f < &block_[0] || f >= &block_[kBlock]) {
        DisposeFrame(f);
        RemoveFrame(layout, f);
      }
      f = next;
    }
  }
  static Layout Named(const char* name) {
    Layout layout;
    layout.name[0] = static_cast<unsigned char>(std::strlen(name));
    std::memcpy(layout.name + 1, name, layout.name[0]);
    return layout;
  }

  static testsupport::TempDir* dir_;
  static std::string layouts_;
  static std::string sheet_;
  std::unique_ptr<Frame[]> block_;
  std::vector<unsigned char> before_;
  testsupport::RecordingMessageBox boxes_;
};

testsupport::TempDir* LayoutTest::dir_ = nullptr;
std::string LayoutTest::layouts_;
std::string LayoutTest::sheet_;

TEST_F(LayoutTest, LoadsFramesAndTextures) {
  OpenWindow(640, 480);
  LayoutFile file;
  file.Zadado();
  file.Write(layouts_ + "Zadados");
  ASSERT_EQ(0, LoadLayout("Zadados", sheet_.c_str(), 1));
  EXPECT_TRUE(boxes_.boxes().empty());
  // The textures are all that is kept; the drawing below reads only them.
  EXPECT_FALSE(LayoutSheetHeldForTesting());
  for (int k = 0; k < 36; ++k) {
    Frame& f = block_[kZadado + k];
    EXPECT_EQ("zadadoFRAME[" + std::to_string(k) + "]", Text(f.name));
    EXPECT_EQ(k % 6 * 48, f.bounds.left) << k;
    EXPECT_EQ(k / 6 * 48 + 48, f.bounds.bottom) << k;
    EXPECT_NE(0u, f.image.textureName) << k;
    EXPECT_EQ(1, f.image.forceBlend);
  }
  EXPECT_EQ(36, block_[kZadado].arraySize[0]);
  EXPECT_EQ(Before(kSentinel, 3), Bytes(kSentinel, 3));

  // Frame 5 is the sheet's cell at x 240..287, y 0..47.
  block_[kZadado + 5].image.filter = kGLNearest;
  BeginFrameGL(screen_);
  const Rect dest = {100, 200, 148, 248};
  DrawGLImage(&block_[kZadado + 5].image, &dest);
  FrameImage shown = ReadBack();
  for (auto [x, y] : {std::pair{0, 0}, std::pair{47, 10}, std::pair{20, 47}}) {
    UInt32 want = SheetPixel(240 + x, y);
    RGBA got = shown.At(200 + x, 100 + y);
    EXPECT_NEAR(static_cast<int>(want & 0xFF), got.r, 1) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(want >> 8 & 0xFF), got.g, 1) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(want >> 16 & 0xFF), got.b, 1) << x << "," << y;
  }
}

TEST_F(LayoutTest, SharedTextureServesEveryFrame) {
  OpenWindow(640, 480);
  LayoutFile file;
  file.Zadado();
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  ASSERT_EQ(0, LoadLayoutImageShared(&layout, sheet_.c_str(), 1));
  EXPECT_FALSE(LayoutSheetHeldForTesting());
  Frame& f5 = block_[kZadado + 5];
  EXPECT_NE(0u, f5.image.textureName);
  for (int k = 0; k < 36; ++k) {
    Frame& f = block_[kZadado + k];
    EXPECT_EQ(f5.image.textureName, f.image.textureName);
    EXPECT_EQ(512, f.image.textureWidth);
    EXPECT_EQ(f.bounds.right, f.image.imageRect.right);
    EXPECT_EQ(1, f.image.recomputeCoords);
    EXPECT_EQ(1, f.image.forceBlend);
  }
  f5.image.filter = kGLNearest;
  BeginFrameGL(screen_);
  const Rect dest = {100, 200, 148, 248};
  DrawGLImage(&f5.image, &dest);
  FrameImage shown = ReadBack();
  UInt32 want = SheetPixel(240 + 30, 20);
  RGBA got = shown.At(200 + 30, 100 + 20);
  EXPECT_NEAR(static_cast<int>(want & 0xFF), got.r, 1);
  EXPECT_NEAR(static_cast<int>(want >> 8 & 0xFF), got.g, 1);
  // One texture: deleting it once is enough.
  DeleteGLImageTexture(&f5.image);
  for (int k = 0; k < 36; ++k) block_[kZadado + k].image.textureName = 0;
  EXPECT_EQ(kErrFailed, LoadLayoutImageShared(&layout, (sheet_ + "Missing").c_str(), 1));
  EXPECT_FALSE(LayoutSheetHeldForTesting());
}

// A frame whose bounds leave the 288 x 288 sheet (or the 1024 x 1024 buffer it
// is loaded into) gets no picture and one alert; the others load.
TEST_F(LayoutTest, FramesOutsideTheSheetAreRefused) {
  OpenWindow(640, 480);
  const struct {
    const char* what;
    Rect bad;  // top, left, bottom, right
  } cases[] = {
      {"bottom 1100", {0, 144, 1100, 192}},
      {"bottom 4000", {0, 144, 4000, 192}},
      {"left -2000", {0, -2000, 48, 192}},
      {"right past the image", {0, 250, 48, 300}},
      {"bottom past the image", {250, 144, 300, 192}},
      {"upside down", {48, 144, 0, 192}},
  };
  auto write = [&](const std::vector<int>& badFrames, const Rect& bad) {
    LayoutFile file;
    for (int k = 0; k < 36; ++k) {
      PlistTag* e = k == 0 ? file.First("zadadoFRAME[0]", 36) : file.Entry("zadadoFRAME[" + std::to_string(k) + "]");
      bool isBad = std::find(badFrames.begin(), badFrames.end(), k) != badFrames.end();
      if (isBad)
        LayoutFile::Bounds(e, bad.left, bad.top, bad.right, bad.bottom);
      else
        LayoutFile::Bounds(e, k % 6 * 48, k / 6 * 48, k % 6 * 48 + 48, k / 6 * 48 + 48);
    }
    file.Write(layouts_ + "Test");
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write({3}, c.bad);
    for (bool shared : {false, true}) {
      SCOPED_TRACE(shared ? "shared" : "own textures");
      testsupport::RecordingMessageBox boxes;
      Layout layout = Named("Test");
      ASSERT_TRUE(Read(&layout));
      SInt16 result = shared ? LoadLayoutImageShared(&layout, sheet_.c_str(), 1)
                             : LoadLayoutImage(&layout, sheet_.c_str(), 1);
      ASSERT_EQ(0, result);
      for (int k = 0; k < 36; ++k) EXPECT_EQ(k != 3, block_[kZadado + k].image.textureName != 0) << k;
      ASSERT_EQ(1u, boxes.boxes().size());
      EXPECT_EQ("Alert: LoadLayout(): 1 frame of the layout Test lies outside its image and is not drawn: "
                "zadadoFRAME[3].",
                boxes.boxes()[0].text);
      if (shared) {
        // Every frame shares one texture; only the first frame's name deletes it.
        DeleteGLImageTexture(&block_[kZadado].image);
        for (int k = 0; k < 36; ++k) block_[kZadado + k].image.textureName = 0;
      }
    }
  }

  // Several in one layout: still one alert, through LoadLayout.
  write({3, 20, 35}, cases[1].bad);
  testsupport::RecordingMessageBox boxes;
  ASSERT_EQ(0, LoadLayout("Test", sheet_.c_str(), 1));
  for (int k = 0; k < 36; ++k) EXPECT_EQ(k != 3 && k != 20 && k != 35, block_[kZadado + k].image.textureName != 0);
  ASSERT_EQ(1u, boxes.boxes().size());
  EXPECT_EQ("Alert: LoadLayout(): 3 frames of the layout Test lie outside its image and are not drawn; the first is "
            "zadadoFRAME[3].",
            boxes.boxes()[0].text);
}

// A sheet wider than 1024 is cut there: a frame past the cut is refused
// like one past the picture, one before it is drawn from the sheet's pixels.
TEST_F(LayoutTest, ASheetIsCutAt1024) {
  OpenWindow(640, 480);
  constexpr int kWidth = 1100;
  constexpr int kHeight = 48;
  std::vector<UInt32> pixels(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) pixels[static_cast<size_t>(y) * kWidth + x] = SheetPixel(x, y);
  const std::string wide = dir_->path() + "/Wide";
  ASSERT_EQ(1, WritePNGFile((wide + ".png").c_str(), pixels.data(), kWidth, kHeight, 0, nullptr, 0));
  LayoutFile file;
  for (int k = 0; k < 36; ++k) {
    PlistTag* e = k == 0 ? file.First("zadadoFRAME[0]", 36) : file.Entry("zadadoFRAME[" + std::to_string(k) + "]");
    const int left = k == 3 ? 1000 : k == 4 ? 960 : 0;
    LayoutFile::Bounds(e, left, 0, left + 48, 48);
  }
  file.Write(layouts_ + "Test");
  for (bool shared : {false, true}) {
    SCOPED_TRACE(shared ? "shared" : "own textures");
    testsupport::RecordingMessageBox boxes;
    Layout layout = Named("Test");
    ASSERT_TRUE(Read(&layout));
    ASSERT_EQ(0, shared ? LoadLayoutImageShared(&layout, wide.c_str(), 1) : LoadLayoutImage(&layout, wide.c_str(), 1));
    EXPECT_FALSE(LayoutSheetHeldForTesting());
    for (int k = 0; k < 36; ++k) EXPECT_EQ(k != 3, block_[kZadado + k].image.textureName != 0) << k;
    ASSERT_EQ(1u, boxes.boxes().size());
    Frame& f4 = block_[kZadado + 4];
    f4.image.filter = kGLNearest;
    BeginFrameGL(screen_);
    const Rect dest = {100, 200, 148, 248};
    DrawGLImage(&f4.image, &dest);
    FrameImage shown = ReadBack();
    const UInt32 want = SheetPixel(960 + 30, 20);
    const RGBA got = shown.At(200 + 30, 100 + 20);
    EXPECT_NEAR(static_cast<int>(want & 0xFF), got.r, 1);
    EXPECT_NEAR(static_cast<int>(want >> 8 & 0xFF), got.g, 1);
    if (shared) {
      DeleteGLImageTexture(&block_[kZadado].image);
      for (int k = 0; k < 36; ++k) block_[kZadado + k].image.textureName = 0;
    }
  }
}

TEST_F(LayoutTest, WhichFileIsRead) {
  LayoutFile bare, plist;
  LayoutFile::Bounds(bare.First("zadadoFRAME[0]", 1), 0, 0, 1, 1);
  LayoutFile::Bounds(plist.First("zadadoFRAME[0]", 1), 0, 0, 2, 1);

  // The name without extension wins; ".plist" is the fall-back.
  bare.Write(layouts_ + "Zadados");
  plist.Write(layouts_ + "Zadados.plist");
  Layout a = Named("Zadados");
  ASSERT_TRUE(Read(&a));
  EXPECT_EQ(1, block_[kZadado].bounds.right);
  std::remove((layouts_ + "Zadados").c_str());
  Layout b = Named("Zadados");
  ASSERT_TRUE(Read(&b));
  EXPECT_EQ(2, block_[kZadado].bounds.right);
  std::remove((layouts_ + "Zadados.plist").c_str());

  // Neither file: -1 and no frame touched.
  std::vector<unsigned char> now = Bytes(0, kBlock);
  EXPECT_EQ(kErrFailed, LoadLayout("Zadados", sheet_.c_str(), 1));
  EXPECT_EQ(now, Bytes(0, kBlock));

  // Text that is no property list.
  ASSERT_TRUE(testsupport::WriteFile(layouts_ + "Test", "<plist><array></array></plist>"));
  EXPECT_EQ(kErrFailed, LoadLayout("Test", sheet_.c_str(), 1));
  EXPECT_EQ(now, Bytes(0, kBlock));

  // A list without "Frames" loads, makes nothing, and still loads the sheet.
  ASSERT_TRUE(testsupport::WriteFile(layouts_ + "Test", "<dict><key>Other</key><integer>1</integer></dict>"));
  Layout c = Named("Test");
  EXPECT_TRUE(Read(&c));
  EXPECT_EQ(0, c.frameCount);
  EXPECT_EQ(0, LoadLayout("Test", sheet_.c_str(), 1));
  EXPECT_EQ(kErrFailed, LoadLayout("Test", (sheet_ + "Missing").c_str(), 1));
  EXPECT_EQ(now, Bytes(0, kBlock));
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(LayoutTest, UnreadableSheetKeepsTheGeometry) {
  LayoutFile file;
  file.Zadado();
  file.Write(layouts_ + "Zadados");
  EXPECT_EQ(kErrFailed, LoadLayout("Zadados", (sheet_ + "Missing").c_str(), 1));
  EXPECT_EQ(96, block_[kZadado + 1].bounds.right);
  EXPECT_EQ(0u, block_[kZadado + 1].image.textureName);
}

TEST_F(LayoutTest, SecondPassMatchesEntriesInOrder) {
  LayoutFile file;
  PlistTag* first = file.First("zadadoFRAME[0]", 36);
  LayoutFile::Bounds(first, 0, 0, 10, 10);
  PlistTag* align = LayoutFile::Numbered(first, "Align Points", 3);
  LayoutFile::Int(align, "H", 5);
  LayoutFile::Int(align, "V", 6);
  for (int r = 0; r < 3; ++r) {
    PlistTag* rect = LayoutFile::Numbered(first, "Hot Rects", r);
    if (r != 1) LayoutFile::Int(rect, "Left", 10 * r + 1);
    LayoutFile::Int(rect, "Top", 2);
    LayoutFile::Int(rect, "Right", 20);
    LayoutFile::Int(rect, "Bottom", 30);
  }
  PlistTag* point = LayoutFile::Numbered(first, "Hot Points", 0);
  LayoutFile::Int(point, "H", 7);
  LayoutFile::Int(point, "V", 8);
  LayoutFile::Bounds(file.Entry("zadadoFRAME[1]"), 10, 0, 20, 10);
  // Matches no frame: nothing after it is read.
  LayoutFile::Bounds(file.Entry("zadadoFRAME[99]"), 50, 50, 60, 60);
  LayoutFile::Bounds(file.Entry("zadadoFRAME[2]"), 20, 0, 30, 10);
  file.Write(layouts_ + "Test");

  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(36, layout.frameCount);
  Frame* f0 = &block_[kZadado];
  Frame* f1 = &block_[kZadado + 1];
  Frame* f2 = &block_[kZadado + 2];
  EXPECT_EQ(10, f1->bounds.left);
  EXPECT_EQ(0, f2->bounds.left);  // the first's bounds before the load
  EXPECT_EQ(0, f2->bounds.right);

  for (SInt8 k = 0; k < 8; ++k) {
    Point p0 = GetFrameAlignPoint(f0, k);
    EXPECT_EQ(k == 3 ? 5 : 0, p0.h);
    EXPECT_EQ(k == 3 ? 6 : 0, p0.v);
    EXPECT_EQ(0, GetFrameAlignPoint(f1, k).h);
    EXPECT_EQ(-1, GetFrameAlignPoint(f2, k).h);
    EXPECT_EQ(-1, GetFrameAlignPoint(f2, k).v);
  }
  ASSERT_EQ(3, GetFrameHotRectCount(f0));
  EXPECT_EQ(1, GetFrameHotRect(f0, 0).left);
  EXPECT_EQ(1, GetFrameHotRect(f0, 1).left);
  EXPECT_EQ(21, GetFrameHotRect(f0, 2).left);
  EXPECT_EQ(30, GetFrameHotRect(f0, 1).bottom);
  ASSERT_EQ(1, GetFrameHotPointCount(f0));
  EXPECT_EQ(7, GetFrameHotPoint(f0, 0).h);
  // Frames without "Hot Rects" keep what they had.
  EXPECT_EQ(1, GetFrameHotRectCount(f1));
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(LayoutTest, SizesKeepTheirLowEightBits) {
  LayoutFile file;
  LayoutFile::Bounds(file.First("bigFRAME[0]", 300), 0, 0, 4, 4);
  LayoutFile::Bounds(file.Entry("bigFRAME[43]"), 65536 + 7, -1, 70000, 4);
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(44, layout.frameCount);
  EXPECT_EQ(44, block_[kBig].arraySize[0]);
  EXPECT_EQ("bigFRAME[43]", Text(block_[kBig + 43].name));
  EXPECT_EQ(0, block_[kBig + 44].name[0]);
  EXPECT_EQ(7, block_[kBig + 43].bounds.left);
  EXPECT_EQ(-1, block_[kBig + 43].bounds.top);
  EXPECT_EQ(static_cast<SInt16>(70000), block_[kBig + 43].bounds.right);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(LayoutTest, OversizedArraysStayInsideTheirSet) {
  for (int asked : {60, 300, 255}) {
    SCOPED_TRACE(asked);
    testsupport::RecordingMessageBox boxes;
    LayoutFile file;
    file.Zadado(asked);
    // The file's next set starts right after its oversized first one.
    LayoutFile::Bounds(file.First("nextFRAME[0]", 2), 1, 1, 2, 2);
    file.Write(layouts_ + "Test");
    Layout layout = Named("Test");
    ASSERT_TRUE(Read(&layout));
    EXPECT_EQ(38, layout.frameCount);
    EXPECT_EQ(Before(kSentinel, 1), Bytes(kSentinel, 1));
    EXPECT_EQ(36, block_[kZadado].arraySize[0]);
    EXPECT_EQ("nextFRAME[0]", Text(block_[kNext].name));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ("Alert: LoadLayout(): the frame array zadadoFRAME[0] is larger than its frame set.",
              boxes.boxes()[0].text);
    std::remove((layouts_ + "Test").c_str());
  }
  // Without the next set in the file, its first record is untouched too.
  testsupport::RecordingMessageBox boxes;
  Frame* next = &block_[kNext];
  next->name[0] = 0;
  std::vector<unsigned char> untouched = Bytes(kSentinel, 3);
  LayoutFile file;
  file.Zadado(60);
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(untouched, Bytes(kSentinel, 3));
}

TEST_F(LayoutTest, TooManyHotRectsAreCut) {
  LayoutFile file;
  PlistTag* first = file.First("zadadoFRAME[0]", 1);
  for (int r = 0; r < 130; ++r) {
    PlistTag* rect = LayoutFile::Numbered(first, "Hot Rects", r);
    LayoutFile::Int(rect, "Left", r);
    LayoutFile::Int(rect, "Top", 0);
    LayoutFile::Int(rect, "Right", r + 1);
    LayoutFile::Int(rect, "Bottom", 1);
  }
  for (int r = 0; r < 256; ++r) {
    PlistTag* point = LayoutFile::Numbered(first, "Hot Points", r);
    LayoutFile::Int(point, "H", r);
    LayoutFile::Int(point, "V", r);
  }
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  Frame* f = &block_[kZadado];
  EXPECT_EQ(127, GetFrameHotRectCount(f));
  EXPECT_EQ(126, GetFrameHotRect(f, 126).left);
  EXPECT_EQ(127, GetFrameHotPointCount(f));
  EXPECT_EQ(126, GetFrameHotPoint(f, 126).v);
  ASSERT_EQ(2u, boxes_.boxes().size());
  EXPECT_NE(std::string::npos, boxes_.boxes()[0].text.find("zadadoFRAME[0]"));
}

TEST_F(LayoutTest, UnregisteredStartTouchesNoBlock) {
  LayoutFile file;
  LayoutFile::Bounds(file.First("ghostFRAME[0]", 3), 0, 0, 5, 5);
  LayoutFile::Bounds(file.Entry("ghostFRAME[1]"), 5, 0, 10, 5);
  LayoutFile::Bounds(file.First("zadadoFRAME[0]", 2), 0, 0, 5, 5);
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(5, layout.frameCount);
  EXPECT_EQ(before_, Bytes(0, kBlock));
  // The starting-frame alert speaks for every frame that has no place.
  ASSERT_EQ(1u, boxes_.boxes().size());
  EXPECT_EQ("Alert: LoadLayout() failed.  The starting frame could not be located in frameLIST: ghostFRAME[0].",
            boxes_.boxes()[0].text);
  EXPECT_EQ(10, layout.firstFrame->next->bounds.right);
  ReleaseAllocated(&layout);
  EXPECT_EQ(0, layout.frameCount);
}

TEST_F(LayoutTest, MoreSetsThanSlots) {
  LayoutFile file;
  LayoutFile::Bounds(file.First("zadadoFRAME[0]", 0), 0, 0, 5, 5);
  for (int s = 1; s < 45; ++s) LayoutFile::Bounds(file.First("set" + std::to_string(s), 0), s, 0, s + 1, 1);
  file.Write(layouts_ + "Test");
  Layout layout = Named("Test");
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(45, layout.frameCount);
  EXPECT_EQ("set1", Text(block_[kNext].name));
  EXPECT_EQ("set2", Text(block_[kBig].name));
  // 42 frames found no set: one alert for the list.
  ASSERT_EQ(1u, boxes_.boxes().size());
  EXPECT_EQ("Alert: BAD: creating new frame!", boxes_.boxes()[0].text);
  ReleaseAllocated(&layout);

  // The next list alerts again.
  ASSERT_TRUE(Read(&layout));
  EXPECT_EQ(2u, boxes_.boxes().size());
  ReleaseAllocated(&layout);
}

// 255 x 255 x 255 frames asked for where no block holds them: the array is cut
// to the most a set can hold, and the list raises one alert.
TEST_F(LayoutTest, HugeArraysWithoutASetAreCut) {
  const std::string huge =
      "<key>First In Array</key><true/><key>Array Size 0</key><integer>255</integer>"
      "<key>Array Size 1</key><integer>255</integer><key>Array Size 2</key><integer>255</integer></dict>";
  const struct {
    const char* what;
    std::string list;
    int frames;
    int inBlocks;
    const char* alert;
  } cases[] = {
      {"unregistered start", "<dict><key>Frames</key><dict><key>ghost</key><dict>" + huge + "</dict></dict>", 255, 0,
       "Alert: LoadLayout() failed.  The starting frame could not be located in frameLIST: ghost."},
      {"past the registered sets",
       "<dict><key>Frames</key><dict>"
       "<key>zadadoFRAME[0]</key><dict><key>First In Array</key><true/></dict>"
       "<key>nextFRAME</key><dict><key>First In Array</key><true/></dict>"
       "<key>bigFRAME</key><dict><key>First In Array</key><true/></dict>"
       "<key>ghost</key><dict>" + huge + "<key>ghost2</key><dict>" + huge + "</dict></dict>",
       3 + 2 * 255, 3, "Alert: BAD: creating new frame!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::RecordingMessageBox boxes;
    Layout layout = ReadText(c.list);
    EXPECT_EQ(c.frames, layout.frameCount);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(c.alert, boxes.boxes()[0].text);
    EXPECT_EQ(Before(kSentinel, 1), Bytes(kSentinel, 1));
    ReleaseAllocated(&layout);
    EXPECT_EQ(c.inBlocks, layout.frameCount);
  }
}

// Many arrays without a set each stay under the per-array cut; the list as a
// whole stops at the most frames frameLIST's sets could ever hold, with one
// alert for it.
TEST_F(LayoutTest, ManyArraysStopAtTheListBound) {
  const auto ghost = [](int n, int size) {
    return "<key>ghost" + std::to_string(n) +
           "</key><dict><key>First In Array</key><true/><key>Array Size 0</key><integer>" + std::to_string(size) +
           "</integer></dict>";
  };
  // The three registered sets hold 98 frames.
  const std::string sets =
      "<dict><key>Frames</key><dict>"
      "<key>zadadoFRAME[0]</key><dict><key>First In Array</key><true/><key>Array Size 0</key><integer>36</integer>"
      "</dict><key>nextFRAME</key><dict><key>First In Array</key><true/><key>Array Size 0</key><integer>2</integer>"
      "</dict><key>bigFRAME</key><dict><key>First In Array</key><true/><key>Array Size 0</key><integer>60</integer>"
      "</dict>";
  const auto list = [&](int ghosts, int lastSize, const std::string& more = "") {
    std::string text = sets;
    for (int n = 0; n < ghosts; ++n) text += ghost(n, n + 1 < ghosts ? 255 : lastSize);
    return text + more + "</dict></dict>";
  };
  const std::string cut = "Alert: LoadLayout(): the layout Test asks for more than 10200 frames; only the first "
                          "10200 are made.";
  const struct {
    const char* what;
    std::string list;
    int frames;
    const char* last;
    bool cut;
  } cases[] = {
      {"under the bound", list(39, 255), 98 + 39 * 255, "ghost38[254]", false},
      {"at the bound", list(40, 157), 10200, "ghost39[156]", false},
      {"one over, in an array", list(40, 158), 10200, "ghost39[156]", true},
      {"one over, a single frame", list(40, 157, "<key>lone</key><dict><key>First In Array</key><true/></dict>"),
       10200, "ghost39[156]", true},
      {"a thousand arrays", list(1000, 255), 10200, "ghost39[156]", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::RecordingMessageBox boxes;
    Layout layout = ReadText(c.list);
    int frames = 0;
    for (Frame* f = layout.firstFrame; f; f = f->next) ++frames;
    EXPECT_EQ(c.frames, frames);
    EXPECT_EQ(c.frames, layout.frameCount);
    ASSERT_NE(nullptr, layout.lastFrame);
    EXPECT_EQ(c.last, Text(layout.lastFrame->name));
    ASSERT_EQ(c.cut ? 2u : 1u, boxes.boxes().size());
    EXPECT_EQ("Alert: BAD: creating new frame!", boxes.boxes()[0].text);
    if (c.cut) {
      EXPECT_EQ(cut, boxes.boxes()[1].text);
    }
    EXPECT_EQ(Before(kSentinel, 1), Bytes(kSentinel, 1));
    ReleaseAllocated(&layout);
    EXPECT_EQ(98, layout.frameCount);
  }
}

TEST(LayoutStartup, LoadLayoutNeedsInitLayouts) {
  auto child = testsupport::RunInChild([] {
    ResetLayoutsForTesting();
    LoadLayout("Zadados", "Graphics/Zadados", 1);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos, child.stderrText.find("Error: Call InitLayouts() before LoadLayout()."));
}

}  // namespace
