#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "AppGlobals.h"
#include "ResultCodes.h"
#include "MainWindow.h"
#include "Memory.h"
#include "Pictures.h"
#include "PortsTestSupport.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
#define EXPECT_RECT(actual, t, l, b, r) EXPECT_TRUE(SameRect(actual, Rect{t, l, b, r}))

struct Draw {
  GWorldPtr port;
  Rect destination;
};
std::vector<Draw> gDraws;
int gReads = 0;
std::vector<PicHandle> gRead;

Rect* FakeFrame(PicHandle, Rect* out) {
  *out = Rect{0, 0, 20, 40};
  return out;
}
void FakeDraw(PicHandle, const Rect* destination) {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  gDraws.push_back({port, *destination});
}
OSErr FakeRead(const FileSpec*, PicHandle* out) {
  ++gReads;
  *out = NewHandleBlockClear(16);
  gRead.push_back(*out);
  return 0;
}

class Pictures : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    InstallPixMapHooks();
    gDraws.clear();
    gReads = 0;
    const Rect bounds{0, 0, 64, 64};
    ASSERT_EQ(CreatePixMap(16, &pm, &bounds, 1, 1, 1), 0);
    saved0_ = EngineSettings[0];
  }
  void TearDown() override {
    DestroyPixMap(&pm);
    SetFixedResultServices(nullptr);
    EngineSettings[0] = saved0_;
    PortsTest::TearDown();
  }
  void UseFakePicture() {
    FixedResultServices services = GetFixedResultServices();
    services.getPictureFrame = FakeFrame;
    services.drawPicture = FakeDraw;
    services.readPictureFile = FakeRead;
    SetFixedResultServices(&services);
  }
  static bool StackInUse() {
    GWorldPtr top = nullptr;
    void* device = nullptr;
    return PeekPort(&top, &device) != 0;
  }
  PixMapHandle pm = nullptr;

 private:
  UInt8 saved0_ = 0;
};

TEST_F(Pictures, NothingIsReadOrDrawnInProduction) {
  Rect out{1, 1, 1, 1};
  const UInt32 handles = GeneralMemoryRegistry().HandleCountForTesting();
  EXPECT_RECT(PlacePictureFile_Point("picture.pict", pm, 10, 20, 0, nullptr, &out), 20, 10, 20, 10);
  EXPECT_RECT(out, 20, 10, 20, 10);
  EXPECT_EQ(GeneralMemoryRegistry().HandleCountForTesting(), handles);
  PicHandle picture = reinterpret_cast<PicHandle>(1);
  EXPECT_EQ(GetPictureFromFile(&picture, "picture.pict", nullptr, nullptr), kErrFailed);
  EXPECT_EQ(picture, nullptr);
  EXPECT_EQ(PlacePicture_xxxx(FOUR_CHAR_CODE("PICT"), reinterpret_cast<ConstStr255Param>("\004Logo")), 0);
}

TEST_F(Pictures, PlacingByAPoint) {
  UseFakePicture();
  PicHandle picture = NewHandleBlockClear(16);
  GWorldPtr before = nullptr;
  GetCurrentPort(&before, nullptr);
  Rect out;
  EXPECT_RECT(PlacePicture_Point(picture, pm, 10, 20, 0, nullptr, &out), 20, 10, 40, 50);
  EXPECT_RECT(out, 20, 10, 40, 50);
  // Centred on the 1 x 1 window-manager port: half its size is 0.
  EXPECT_RECT(PlacePicture_Point(picture, pm, 10, 20, 1, nullptr, nullptr), 10, -10, 30, 30);
  EXPECT_EQ(LastPictureHeight, 20);
  EXPECT_EQ(LastPictureWidth, 40);
  ASSERT_EQ(gDraws.size(), 2u);
  for (const Draw& d : gDraws) EXPECT_EQ(d.port, GetPixMapGWorld(pm));
  EXPECT_RECT(gDraws[1].destination, 10, -10, 30, 30);
  GWorldPtr after = nullptr;
  GetCurrentPort(&after, nullptr);
  EXPECT_EQ(after, before);
  EXPECT_FALSE(StackInUse());

  Rect frame;
  EXPECT_RECT(PlacePicture_Rect(picture, pm, 1, 2, 3, 4, 0, &frame), 2, 1, 4, 3);
  EXPECT_RECT(frame, 0, 0, 20, 40);
  DisposeHandleBlock(picture);
}

TEST_F(Pictures, PlacingOnTheBottomOfAnArea) {
  UseFakePicture();
  PicHandle picture = NewHandleBlockClear(16);
  GWorldPtr savedBuild = buildWORLD;
  buildWORLD = GetPixMapGWorld(pm);
  EngineSettings[0] = 1;
  Rect area{0, 0, 100, 200};
  EXPECT_RECT(PlacePicture_Bottom(picture, 0, &area, 0, nullptr), 80, 80, 100, 120);
  EXPECT_RECT(area, 80, 80, 100, 120);
  ASSERT_EQ(gDraws.size(), 1u);
  EXPECT_EQ(gDraws[0].port, buildWORLD);
  buildWORLD = savedBuild;
  DisposeHandleBlock(picture);
}

TEST_F(Pictures, AFilePictureIsDisposedOnce) {
  UseFakePicture();
  gRead.clear();
  Rect area{0, 0, 100, 200};
  testsupport::TempDir dir;
  const std::string name = dir / "logo.pict";
  std::fclose(std::fopen(name.c_str(), "wb"));
  PlacePictureFile_Bottom(name.c_str(), 0, &area, 0, nullptr);
  PlacePictureFile(name.c_str(), pm, &area, 0, nullptr);
  PlacePictureFile_Rect(name.c_str(), pm, 0, 0, 5, 5, 0, nullptr);
  PlacePictureFile_Point(name.c_str(), pm, 0, 0, 0, nullptr, nullptr);
  EXPECT_EQ(gReads, 4);
  EXPECT_EQ(gDraws.size(), 4u);
  // Each read picture is released by the call that read it.
  ASSERT_EQ(gRead.size(), 4u);
  for (PicHandle picture : gRead) EXPECT_LT(GetHandleBlockSize(picture), 0);
}

OSErr gResourceError = 0;
OSErr FakeResourceError() { return gResourceError; }

TEST_F(Pictures, ResourceErrorsAreFatal) {
  auto withError = [](OSErr error) {
    return [error] {
      gResourceError = error;
      FixedResultServices services = GetFixedResultServices();
      services.resourceError = FakeResourceError;
      SetFixedResultServices(&services);
      PlacePicture_xxxx(FOUR_CHAR_CODE("PICT"), reinterpret_cast<ConstStr255Param>("\004Logo"));
    };
  };
  portstest::ExpectFatalBox(withError(-192), "", "Error: PICT    \"Logo\"");
  portstest::ExpectFatalBox(withError(-108), "PlacePicture_xxxx()", "Error: Sorry, a memory error has occured.");
}

TEST_F(Pictures, PictureFromPixMapLeavesThePixels) {
  const Rect r{0, 0, 8, 8};
  PixMap& map = **pm;
  reinterpret_cast<UInt16*>(map.baseAddr)[3] = 0x1234;
  EXPECT_EQ(PictureFromPixMap(pm, &r), nullptr);
  EXPECT_EQ(reinterpret_cast<UInt16*>(map.baseAddr)[3], 0x1234);
  EXPECT_FALSE(StackInUse());
}

}  // namespace
