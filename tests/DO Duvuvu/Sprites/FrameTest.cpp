#include "Frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

std::string Text(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

void ClearFrameList() {
  std::memset(frameLIST, 0, sizeof frameLIST);
  std::memset(frameSetCapacity, 0, sizeof frameSetCapacity);
  frameSetCount = 0;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearFrameList(); }
  void TearDown() override { ClearFrameList(); }

  // Gives back records NewFrame had to allocate.
  static void ReleaseAllocated(Layout* layout, const Frame* block, size_t n) {
    for (Frame* f = layout->firstFrame; f;) {
      Frame* next = f->next;
      if (f < block || f >= block + n) {
        DisposeFrame(f);
        RemoveFrame(layout, f);
      }
      f = next;
    }
  }

  testsupport::RecordingMessageBox boxes_;
};

void ExpectAlignPoints(Frame* f, SInt16 h, SInt16 v) {
  ASSERT_EQ(8u, f->alignPoint.count);
  for (UInt32 k = 0; k < 8; ++k) {
    EXPECT_EQ(h, f->alignPoint.data[k].h);
    EXPECT_EQ(v, f->alignPoint.data[k].v);
  }
}

TEST_F(FrameTest, ConstructorBuildsTheArrays) {
  Frame f;
  EXPECT_EQ(1u, f.hotRect.count);
  EXPECT_EQ("hotRect", Text(f.hotRect.name));
  EXPECT_EQ(1u, f.hotPoint.count);
  EXPECT_EQ("hotPoint", Text(f.hotPoint.name));
  EXPECT_EQ(8u, f.alignPoint.count);
  EXPECT_EQ("alignPoint", Text(f.alignPoint.name));
  EXPECT_EQ(0u, f.image.textureName);
  EXPECT_EQ(kGLLinear, f.image.filter);
  EXPECT_EQ(nullptr, f.pixmap);
  DisposeFrame(&f);
  EXPECT_EQ(0u, f.hotRect.count);
  EXPECT_EQ(0u, f.alignPoint.count);
}

TEST_F(FrameTest, NewFrameTakesThePlaceOrAllocates) {
  Frame block[2];
  Layout layout;
  Frame* place = block;
  const Rect bounds = {1, 2, 3, 4};
  Frame* a = Layout::NewFrame(&layout, &bounds, "first", &place);
  EXPECT_EQ(&block[0], a);
  EXPECT_EQ(&block[1], place);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ("first", Text(a->name));
  EXPECT_EQ(4, a->bounds.right);
  EXPECT_EQ("theFrame->alignPoint", Text(a->alignPoint.name));
  ExpectAlignPoints(a, -1, -1);

  // No place, and a place holding nil: one alert each, a zero-filled record,
  // and the nil place does not move.
  Frame* b = Layout::NewFrame(&layout, nullptr, "second", nullptr);
  Frame* nowhere = nullptr;
  Frame* c = Layout::NewFrame(&layout, nullptr, "a name that is longer than 31 chars", &nowhere);
  EXPECT_EQ(nullptr, nowhere);
  ASSERT_EQ(2u, boxes_.boxes().size());
  EXPECT_EQ("Alert: BAD: creating new frame!", boxes_.boxes()[0].text);
  EXPECT_EQ(0, b->bounds.right);
  EXPECT_EQ(0u, b->hotRect.count);
  EXPECT_EQ("second", Text(b->name));
  EXPECT_EQ(0, c->name[0]);
  ExpectAlignPoints(c, -1, -1);

  EXPECT_EQ(3, layout.frameCount);
  EXPECT_EQ(a, layout.firstFrame);
  EXPECT_EQ(c, layout.lastFrame);
  EXPECT_EQ(b, a->next);
  EXPECT_EQ(a, b->previous);
  EXPECT_EQ(b, c->previous);
  ReleaseAllocated(&layout, block, 2);
  EXPECT_EQ(1, layout.frameCount);
}

TEST_F(FrameTest, RemoveKeepsLinksAndFreesNoRegisteredRecord) {
  Frame block[3];
  const SInt16 slot = 0;
  RegisterFrameSet(block, &slot, 3);
  Layout layout;
  Frame* place = block;
  for (int i = 0; i < 3; ++i) Layout::NewFrame(&layout, nullptr, "x", &place);
  RemoveFrame(&layout, &block[1]);
  EXPECT_EQ(2, layout.frameCount);
  EXPECT_EQ(&block[2], block[0].next);
  EXPECT_EQ(&block[0], block[2].previous);
  RemoveFrame(&layout, &block[0]);
  RemoveFrame(&layout, &block[2]);
  RemoveFrame(&layout, nullptr);
  EXPECT_EQ(0, layout.frameCount);
  EXPECT_EQ(nullptr, layout.firstFrame);
  EXPECT_EQ(nullptr, layout.lastFrame);
  // The records are still there to use (ASan would object otherwise).
  block[1].bounds.right = 7;
  SetFrameHotRect(&block[1], 0, 1, 2, 3, 4);
  place = &block[1];
  Frame* again = Layout::NewFrame(&layout, nullptr, "y", &place);
  EXPECT_EQ(again, layout.firstFrame);
  EXPECT_EQ(again, layout.lastFrame);
}

TEST_F(FrameTest, RemoveFrameArrayTakesEveryMember) {
  Frame block[5];
  Layout layout;
  Frame* place = block;
  for (const char* name : {"ab[0]", "ab[1]", "cd", "ab[2]", "abc[0]"}) Layout::NewFrame(&layout, nullptr, name, &place);
  RemoveFrameArray(&layout, &block[1]);
  ASSERT_EQ(2, layout.frameCount);
  EXPECT_EQ(&block[2], layout.firstFrame);
  EXPECT_EQ(&block[4], layout.lastFrame);
}

struct ExpandCase {
  const char* what;
  const char* first;
  UInt8 sizes[3];
  UInt8 fourCharTag;
  std::vector<std::string> names;
  std::string tag;
};

TEST_F(FrameTest, ExpansionNamesMembersLastIndexFastest) {
  const ExpandCase cases[] = {
      {"one dimension", "zadado[0]", {4, 0, 0}, 0, {"zadado[1]", "zadado[2]", "zadado[3]"}, "FRAME"},
      {"two dimensions", "m[0][0]", {2, 3, 0}, 0, {"m[0][1]", "m[0][2]", "m[1][0]", "m[1][1]", "m[1][2]"}, "FRAME"},
      {"three dimensions",
       "c[0][0][0]",
       {2, 2, 2},
       0,
       {"c[0][0][1]", "c[0][1][0]", "c[0][1][1]", "c[1][0][0]", "c[1][0][1]", "c[1][1][0]", "c[1][1][1]"},
       "FRAME"},
      {"four-character tag", "zadado[0]", {2, 0, 0}, 1, {"zadado[1]"}, "dado"},
      {"short base is the whole tag", "ab[0]", {2, 0, 0}, 1, {"ab[1]"}, "ab"},
      {"pieces past 31 characters are left off",
       "abcdefghijklmnopqrstuvwxyz0[0]",
       {2, 3, 0},
       0,
       {"abcdefghijklmnopqrstuvwxyz0[0]", "abcdefghijklmnopqrstuvwxyz0[0]", "abcdefghijklmnopqrstuvwxyz0[1]",
        "abcdefghijklmnopqrstuvwxyz0[1]", "abcdefghijklmnopqrstuvwxyz0[1]"},
       "FRAME"},
  };
  for (const ExpandCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Frame> block(9);
    Layout layout;
    Frame* place = block.data();
    const Rect bounds = {0, 5, 10, 25};
    Frame* first = Layout::NewFrame(&layout, &bounds, c.first, &place);
    std::memcpy(first->arraySize, c.sizes, 3);
    first->fourCharTag = c.fourCharTag;
    ExpandFrameArray(&layout, first, &place);
    ASSERT_EQ(c.names.size() + 1, layout.frameCount);
    Frame* f = first->next;
    for (size_t n = 0; n < c.names.size(); ++n, f = f->next) {
      EXPECT_EQ(&block[n + 1], f);
      EXPECT_EQ(c.names[n], Text(f->name));
      EXPECT_EQ(c.tag, Text(f->tag));
      EXPECT_EQ(1, f->generated);
      EXPECT_EQ(25, f->bounds.right);
      EXPECT_EQ(0, std::memcmp(f->arraySize, c.sizes, 3));
    }
    EXPECT_TRUE(boxes_.boxes().empty());
  }
  // Indices of the two-dimensional case's last member.
  std::vector<Frame> block(6);
  Layout layout;
  Frame* place = block.data();
  Frame* first = Layout::NewFrame(&layout, nullptr, "m[0][0]", &place);
  first->arraySize[0] = 2;
  first->arraySize[1] = 3;
  ExpandFrameArray(&layout, first, &place);
  EXPECT_EQ(1, layout.lastFrame->arrayIndex[0]);
  EXPECT_EQ(2, layout.lastFrame->arrayIndex[1]);
  EXPECT_EQ(0, layout.lastFrame->arrayIndex[2]);
}

TEST_F(FrameTest, ExpansionStopsAtTheRegisteredCount) {
  for (UInt8 asked : {UInt8{10}, UInt8{255}}) {
    SCOPED_TRACE(asked);
    ClearFrameList();
    testsupport::RecordingMessageBox boxes;
    std::vector<Frame> block(5);  // four records and a sentinel
    SetFrameArrayName(&block[4], reinterpret_cast<const unsigned char*>("\x08sentinel"));
    const SInt16 slot = 3;
    RegisterFrameSet(&block[0], &slot, 4);
    Layout layout;
    Frame* place = &block[0];
    Frame* first = Layout::NewFrame(&layout, nullptr, "set[0]", &place);
    first->arraySize[0] = asked;
    ExpandFrameArray(&layout, first, &place);
    EXPECT_EQ(4, layout.frameCount);
    EXPECT_EQ(4, first->arraySize[0]);
    EXPECT_EQ(&block[4], place);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ("Alert: LoadLayout(): the frame array set[0] is larger than its frame set.", boxes.boxes()[0].text);
    EXPECT_EQ("sentinel", Text(block[4].setName));
    EXPECT_EQ(0, block[4].name[0]);
    EXPECT_EQ("alignPoint", Text(block[4].alignPoint.name));
  }
}

TEST_F(FrameTest, Registration) {
  Frame block[6];
  const SInt16 slot = 39;
  RegisterFrameSet(block, &slot, 6);
  EXPECT_EQ(block, frameLIST[39]);
  EXPECT_EQ(6, GetFrameArraySize(block));
  EXPECT_EQ(0, frameSetCount);
  SetFrameArraySize(block, 3);
  EXPECT_EQ(3, frameSetCapacity[39]);
  RegisterFrameSet(block, &slot);
  EXPECT_EQ(0, GetFrameArraySize(block));

  SetFrameArrayName(block, reinterpret_cast<const unsigned char*>("\x0bzadadoFRAME"));
  Str31 name;
  GetFrameArrayName(block, name);
  EXPECT_EQ("zadadoFRAME", Text(name));
  Str255 tooLong;
  tooLong[0] = 32;
  std::memset(tooLong + 1, 'x', 32);
  SetFrameArrayName(block, tooLong);
  GetFrameArrayName(block, name);
  EXPECT_EQ("zadadoFRAME", Text(name));

  // Sizes (3, 2): first index fastest.
  block[0].arraySize[0] = 3;
  block[0].arraySize[1] = 2;
  EXPECT_EQ(&block[4], GetFrameOfSet(39, 1, 1, 0));
  EXPECT_EQ(&block[2], GetFrameOfSet(39, 2, 0, 0));
  EXPECT_EQ(nullptr, GetFrameOfSet(38, 0, 0, 0));
  EXPECT_EQ(nullptr, GetFrameOfSet(40, 0, 0, 0));
}

// Outside the fixture: its message-box recorder would swallow the fatal box.
TEST(FrameSets, RegisteringOutsideTheTableIsFatal) {
  for (SInt16 bad : {SInt16{40}, SInt16{-1}}) {
    auto child = testsupport::RunInChild([&] {
      Frame f;
      RegisterFrameSet(&f, &bad, 1);
    });
    EXPECT_EQ(1, child.exitStatus);
    EXPECT_NE(std::string::npos, child.stderrText.find("Error: Frame set index " + std::to_string(bad)));
  }
}

TEST_F(FrameTest, AccessorsIgnoreIndicesOutsideTheArrays) {
  Frame f;
  ResizeFrameHotAreas(&f, 2, 3);
  EXPECT_EQ(2, GetFrameHotRectCount(&f));
  EXPECT_EQ(3, GetFrameHotPointCount(&f));
  SetFrameHotRect(&f, 1, 10, 20, 30, 40);
  const Rect r = {5, 6, 7, 8};
  SetFrameHotRectFrom(&f, 0, &r);
  SetFrameHotRect(&f, 2, 1, 1, 1, 1);
  SetFrameHotRect(&f, -1, 1, 1, 1, 1);
  EXPECT_EQ(10, GetFrameHotRect(&f, 1).left);
  EXPECT_EQ(40, GetFrameHotRect(&f, 1).bottom);
  EXPECT_EQ(8, GetFrameHotRect(&f, 0).right);
  EXPECT_EQ(0, GetFrameHotRect(&f, 2).right);
  EXPECT_EQ(0, GetFrameHotRect(&f, -5).left);

  SetFrameHotPoint(&f, 2, 4, 5);
  SetFrameHotPoint(&f, 3, 9, 9);
  EXPECT_EQ(4, GetFrameHotPoint(&f, 2).h);
  EXPECT_EQ(0, GetFrameHotPoint(&f, 3).h);

  SetFrameAlignPoint(&f, 7, 11, 12);
  SetFrameAlignPoint(&f, 8, 99, 99);
  EXPECT_EQ(12, GetFrameAlignPoint(&f, 7).v);
  for (SInt8 bad : {SInt8{8}, SInt8{-1}, SInt8{127}}) {
    EXPECT_EQ(0, GetFrameAlignPoint(&f, bad).h);
    EXPECT_EQ(0, GetFrameAlignPoint(&f, bad).v);
  }
  EXPECT_EQ(0, GetFrameAlignPoint(nullptr, 0).h);

  ResizeFrameHotRects(&f, 0);
  EXPECT_EQ(0, GetFrameHotRectCount(&f));
  EXPECT_EQ(0, GetFrameHotRect(&f, 0).right);
}

TEST_F(FrameTest, MirrorDoublesHotRectsAndTheFrame) {
  Frame f;
  f.bounds = Rect{0, 10, 20, 30};  // 20 wide, 20 tall
  ResizeFrameHotRects(&f, 2);
  SetFrameHotRect(&f, 0, 12, 2, 18, 6);
  SetFrameHotRect(&f, 1, 20, 10, 30, 20);
  MirrorFrameHotRects(&f, 1, 1);
  ASSERT_EQ(8, GetFrameHotRectCount(&f));
  EXPECT_EQ("this->hotRect", Text(f.hotRect.name));
  EXPECT_EQ(10, f.bounds.left);
  EXPECT_EQ(50, f.bounds.right);
  EXPECT_EQ(40, f.bounds.bottom);
  // Horizontal copy of rect 0 about the old right edge 30.
  Rect h = GetFrameHotRect(&f, 2);
  EXPECT_EQ(42, h.left);
  EXPECT_EQ(48, h.right);
  EXPECT_EQ(2, h.top);
  // Vertical copy of that one about the old bottom 20.
  Rect v = GetFrameHotRect(&f, 6);
  EXPECT_EQ(34, v.top);
  EXPECT_EQ(38, v.bottom);
  EXPECT_EQ(42, v.left);
}

TEST_F(FrameTest, CenterRectOnPoint) {
  struct Case {
    Rect size;
    SInt16 h, v;
    Rect want;
  } cases[] = {
      {{0, 0, 4, 5}, 10, 20, {18, 8, 22, 13}},
      {{0, 0, 3, 3}, -10, 0, {-1, -11, 2, -8}},
      {{5, 5, 5, 5}, 1, 1, {1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    Rect out;
    EXPECT_EQ(&out, CenterRectOnPoint(&out, c.h, c.v, &c.size));
    EXPECT_EQ(c.want.left, out.left);
    EXPECT_EQ(c.want.top, out.top);
    EXPECT_EQ(c.want.right, out.right);
    EXPECT_EQ(c.want.bottom, out.bottom);
  }
}

}  // namespace
