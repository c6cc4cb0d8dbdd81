#include "Sprite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

// The global list outlives every test, so each test starts it afresh.
class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    spriteLIST = SpriteList{};
    std::memset(frameLIST, 0, sizeof frameLIST);
  }
  void TearDown() override {
    spriteLIST = SpriteList{};
    std::memset(frameLIST, 0, sizeof frameLIST);
  }
};

TEST_F(SpriteTest, ConstructionAndTheGlobalList) {
  auto a = std::make_unique<SpriteClass>();
  auto b = std::make_unique<SpriteClass>();
  auto c = std::make_unique<SpriteClass>();
  EXPECT_EQ(3, spriteLIST.count);
  EXPECT_EQ(a.get(), spriteLIST.head);
  EXPECT_EQ(c.get(), spriteLIST.tail);
  EXPECT_EQ(c.get(), spriteLIST.current);
  EXPECT_EQ(nullptr, a->links.previous);
  EXPECT_EQ(b.get(), a->links.next);
  EXPECT_EQ(a.get(), b->links.previous);
  EXPECT_EQ(c.get(), b->links.next);
  EXPECT_EQ(nullptr, c->links.next);

  // Assignment copies the record but leaves the list as it was.
  a->rect = Rect{1, 2, 3, 4};
  a->part.data[2].rect = Rect{5, 6, 7, 8};
  *c = *a;
  EXPECT_TRUE(SameRect(c->rect, a->rect));
  EXPECT_EQ(8, c->part.data[2].rect.right);
  EXPECT_EQ(b.get(), c->links.previous);
  EXPECT_EQ(nullptr, c->links.next);
  EXPECT_EQ(b.get(), a->links.next);
}

TEST_F(SpriteTest, SavePositionOnlyForSpritesInUse) {
  SpriteClass s;
  s.rect = Rect{10, 10, 20, 20};
  s.fourthRect = Rect{1, 1, 2, 2};
  for (UInt32 i = 0; i < 4; ++i) {
    s.part.data[i].rect = Rect{30, 30, 40, 40};
    s.part.data[i].active = 1;
  }
  s.SavePosition();
  EXPECT_TRUE(SameRect(Rect{0, 0, 0, 0}, s.previousRect));
  EXPECT_TRUE(SameRect(Rect{0, 0, 0, 0}, s.previousFourthRect));
  for (UInt32 i = 0; i < 4; ++i) EXPECT_TRUE(SameRect(Rect{0, 0, 0, 0}, s.part.data[i].previousRect));

  s.active = 1;
  s.part.data[1].active = 0;
  s.SavePosition();
  EXPECT_TRUE(SameRect(s.rect, s.previousRect));
  EXPECT_TRUE(SameRect(s.fourthRect, s.previousFourthRect));
  EXPECT_EQ(40, s.part.data[0].previousRect.right);
  EXPECT_EQ(0, s.part.data[1].previousRect.right);

  s.DeactivateParts();
  for (UInt32 i = 0; i < 4; ++i) EXPECT_EQ(0, s.part.data[i].active);
}

TEST_F(SpriteTest, SetFrameSetTakesOnlyNonZeroPixmaps) {
  Frame set[3];
  set[0].arraySize[0] = 3;
  SpriteClass s;
  PixMapHandle mine = reinterpret_cast<PixMapHandle>(0x1000);
  PixMapHandle theirs = reinterpret_cast<PixMapHandle>(0x2000);
  s.pixmap = mine;
  s.alphaPixmap = mine;
  set[0].alphaPixmap = theirs;
  SpriteClass::SetFrameSet(&s, set);
  EXPECT_EQ(set, s.frameSet);
  EXPECT_EQ(3, s.frameArray.count);
  EXPECT_EQ(set, s.frameArray.frame);
  EXPECT_EQ(mine, s.pixmap);
  EXPECT_EQ(theirs, s.alphaPixmap);
  SpriteClass::SetFrameSet(&s, nullptr);
  EXPECT_EQ(set, s.frameSet);

  // A part's frame array is its own.
  SpritePart* part = &s.part.data[2];
  SpriteClass::SetFrameSet(part, &set[1]);
  EXPECT_EQ(&set[1], part->frameArray.frame);
  EXPECT_EQ(set, s.frameArray.frame);
  EXPECT_EQ(&set[2], GetFrameAt(&s.frameArray, 2));
  EXPECT_EQ(&set[2], GetCurrentFrame(&s, 2));
  EXPECT_EQ(nullptr, GetCurrentFrame(&s, 3));
}

// Three frames of different sizes, align point 0 at a known spot in each.
class AlignTest : public SpriteTest {
 protected:
  void SetUp() override {
    SpriteTest::SetUp();
    frames_[0].bounds = Rect{0, 0, 10, 20};
    frames_[1].bounds = Rect{0, 20, 16, 50};
    frames_[2].bounds = Rect{0, 50, 8, 58};
    SetFrameAlignPoint(&frames_[0], 0, 3, 4);
    SetFrameAlignPoint(&frames_[1], 0, 25, 10);
    SetFrameAlignPoint(&frames_[2], 0, 54, 2);
    frames_[0].arraySize[0] = 3;
    sprite_ = std::make_unique<SpriteClass>();
    SpriteClass::SetFrameSet(sprite_.get(), frames_);
    sprite_->rect = Rect{100, 100, 110, 120};
  }
  Frame frames_[3];
  std::unique_ptr<SpriteClass> sprite_;
};

TEST_F(AlignTest, NextStepKeepsTheAlignPointInPlace) {
  struct Case {
    const char* what;
    SInt8 startFrame;
    SInt8 direction;
    SInt8 step;
    SInt16 flipH, flipV;
    SInt8 wantFrame;
    Rect want;
  } cases[] = {
      // Point (103, 104) on screen; frame 1's point is 5 right, 10 down.
      {"forward", 0, 1, -1, 0, 0, 1, {94, 98, 110, 128}},
      {"backward", 2, -1, -1, 0, 0, 1, {100 + 2 - 10, 100 + 4 - 5, 100 + 2 - 10 + 16, 100 + 4 - 5 + 30}},
      {"explicit step", 0, 1, 2, 0, 0, 2, {102, 99, 110, 107}},
      // Flipped: distances from the right and bottom edges.
      {"flipped", 0, 1, -1, 1, 1, 1, {100 + 6 - 6, 100 + 17 - 25, 100 + 6 - 6 + 16, 100 + 17 - 25 + 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sprite_->frameIndex = c.startFrame;
    sprite_->animationDirection = c.direction;
    sprite_->flipHorizontal = c.flipH;
    sprite_->flipVertical = c.flipV;
    sprite_->rect = Rect{100, 100, 110, 120};
    AlignNextStep(sprite_.get(), 0, c.step);
    EXPECT_EQ(c.wantFrame, sprite_->frameIndex);
    EXPECT_EQ(c.want.top, sprite_->rect.top);
    EXPECT_EQ(c.want.left, sprite_->rect.left);
    EXPECT_EQ(c.want.bottom, sprite_->rect.bottom);
    EXPECT_EQ(c.want.right, sprite_->rect.right);
  }
}

TEST_F(AlignTest, DirectionZeroIsFatal) {
  auto child = testsupport::RunInChild([this] {
    sprite_->animationDirection = 0;
    AlignNextStep(sprite_.get(), 0, 1);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(1, child.exitStatus);
  EXPECT_NE(std::string::npos, child.stderrText.find("Error: The sprite has an animation direction value of 0."));
}

TEST_F(AlignTest, PointsOnTheScreen) {
  // Frame 0 is 20 wide and sits in a rect of the same size.
  Point p = GetSpriteAlignPoint(sprite_.get(), 0);
  EXPECT_EQ(103, p.h);
  EXPECT_EQ(104, p.v);
  sprite_->flipHorizontal = 1;
  p = GetSpriteAlignPoint(sprite_.get(), 0);
  EXPECT_EQ(120 - 3, p.h);
  sprite_->flipVertical = 1;
  EXPECT_EQ(104, GetSpriteAlignPoint(sprite_.get(), 0).v);  // vertical flips are not applied
  EXPECT_EQ(1, HasAlignPoint(sprite_.get(), 0));
  EXPECT_EQ(0, HasAlignPoint(sprite_.get(), 1));
  EXPECT_EQ(0, GetSpriteAlignPoint(sprite_.get(), 1).h);

  // Hot rects scale with the rect and mirror with the flip.
  SetFrameHotRect(&frames_[0], 0, 2, 1, 6, 5);
  sprite_->rect = Rect{100, 100, 120, 140};  // twice the frame
  Rect r = GetSpriteHotRect(sprite_.get(), 0);
  EXPECT_EQ(140 + 100 - 112, r.left);
  EXPECT_EQ(140 + 100 - 104, r.right);
  EXPECT_EQ(102, r.top);
  EXPECT_EQ(110, r.bottom);
  EXPECT_EQ(0, GetSpriteHotRect(sprite_.get(), 1).right);

  sprite_->flipHorizontal = 0;
  SetFrameHotPoint(&frames_[0], 0, 5, 5);
  GetSpriteHotPoint(sprite_.get(), 0, &p);
  EXPECT_EQ(110, p.h);
  EXPECT_EQ(110, p.v);

  ResizeFrameHotRects(&frames_[0], 0);
  SetSpriteCollisionRect(sprite_.get(), 0);
  EXPECT_EQ(0, sprite_->collisionRect.right);
  SetSpriteCollisionRect(sprite_.get(), 1);
  EXPECT_TRUE(SameRect(sprite_->rect, sprite_->collisionRect));
}

TEST_F(AlignTest, ChangeFrameSetAttachesTheNewSet) {
  Frame other[2];
  other[0].bounds = Rect{0, 0, 6, 6};
  other[1].bounds = Rect{0, 6, 12, 18};
  SetFrameAlignPoint(&other[1], 0, 8, 1);
  other[0].arraySize[0] = 2;
  frameLIST[5] = other;
  sprite_->setIndex = 2;
  sprite_->part.data[0].active = 1;
  ChangeFrameSet(sprite_.get(), 5, 1, 0, -1);
  EXPECT_EQ(other, sprite_->frameSet);
  EXPECT_EQ(1, sprite_->frameIndex);
  EXPECT_EQ(5, sprite_->setIndex);
  EXPECT_EQ(2, sprite_->previousSetIndex);
  EXPECT_EQ(0, sprite_->part.data[0].active);
  // (103, 104) stays put: the new point is 2 right, 1 down in its frame.
  EXPECT_EQ(101, sprite_->rect.left);
  EXPECT_EQ(103, sprite_->rect.top);
  EXPECT_EQ(113, sprite_->rect.right);
  EXPECT_EQ(115, sprite_->rect.bottom);
}

TEST_F(AlignTest, PartsFollowOrientation) {
  SpritePart* part = &sprite_->part.data[0];
  SpriteClass::SetFrameSet(part, frames_);
  PlacePartAt(part, 0, 200, 300);
  EXPECT_EQ(197, part->rect.left);
  EXPECT_EQ(296, part->rect.top);
  EXPECT_EQ(217, part->rect.right);
  EXPECT_EQ(306, part->rect.bottom);
  // A half turn mirrors the point through the centre.
  part->orientation = 2;
  PlacePartAt(part, 0, 200, 300);
  EXPECT_EQ(200 - 17, part->rect.left);
  EXPECT_EQ(300 - 6, part->rect.top);
  // A quarter turn exchanges the sides.
  part->orientation = 1;
  PlacePartAt(part, 0, 200, 300);
  EXPECT_EQ(10, part->rect.right - part->rect.left);
  EXPECT_EQ(20, part->rect.bottom - part->rect.top);

  SpritePart* follower = &sprite_->part.data[1];
  SpriteClass::SetFrameSet(follower, frames_);
  AlignPartToPartWithFlips(follower, 0, part, 0);
  EXPECT_EQ(1, follower->orientation);
  EXPECT_TRUE(SameRect(part->rect, follower->rect));
  AlignPartToPart(nullptr, 0, part, 0);
  AlignPartToSpritePart(follower, 0, sprite_.get(), 9, 0);
}

TEST(SpriteGeometry, CenterRectInRectTransposes) {
  const Rect size = {0, 0, 10, 4};  // 4 wide, 10 tall
  struct Case {
    SInt8 h, v;
    Rect want;
  } cases[] = {
      {0, 0, {13, 10, 17, 20}},
      {-1, -1, {26, 20, 30, 30}},
      {1, 1, {0, 0, 4, 10}},
  };
  for (const Case& c : cases) {
    Rect r = {0, 0, 30, 30};
    CenterRectInRect(&r, &size, c.h, c.v);
    EXPECT_TRUE(SameRect(c.want, r)) << int(c.h) << ": " << r.top << "," << r.left << "," << r.bottom << ","
                                     << r.right;
  }
}

TEST_F(SpriteTest, UpdateRects) {
  SpriteClass s;
  s.rect = Rect{10, 20, 30, 40};
  s.secondRect = Rect{5, 25, 35, 38};
  MakeUpdateRect(&s);
  EXPECT_TRUE(SameRect(Rect{5, 20, 35, 40}, GetSpriteUpdateRect(&s)));
  s.updateRectValid = 1;
  s.active = 1;
  ClearUpdateRectIfIdle(&s);
  EXPECT_EQ(1, IsUpdateRectValid(&s));
  s.active = 0;
  ClearUpdateRectIfIdle(&s);
  EXPECT_EQ(0, IsUpdateRectValid(&s));
}

// The list read head to tail, checked against the back links and the count.
std::vector<SpriteClass*> Walk() {
  std::vector<SpriteClass*> seen;
  SpriteClass* previous = nullptr;
  for (SpriteClass* s = spriteLIST.head; s && seen.size() < 100; s = s->links.next) {
    EXPECT_EQ(previous, s->links.previous);
    seen.push_back(s);
    previous = s;
  }
  EXPECT_EQ(previous, spriteLIST.tail);
  EXPECT_EQ(static_cast<SInt16>(seen.size()), spriteLIST.count);
  return seen;
}

TEST_F(SpriteTest, ADestroyedSpriteLeavesTheList) {
  struct Case {
    const char* what;
    int destroyed;
  } cases[] = {{"head", 0}, {"middle", 1}, {"tail", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    spriteLIST = SpriteList{};
    std::unique_ptr<SpriteClass> s[3] = {std::make_unique<SpriteClass>(), std::make_unique<SpriteClass>(),
                                         std::make_unique<SpriteClass>()};
    spriteLIST.current = s[c.destroyed].get();
    SpriteClass* gone = s[c.destroyed].get();
    s[c.destroyed].reset();
    std::vector<SpriteClass*> left = Walk();
    ASSERT_EQ(2u, left.size());
    for (SpriteClass* p : left) EXPECT_NE(gone, p);
    EXPECT_NE(gone, spriteLIST.current);

    // A sprite made afterwards links to live sprites only.
    auto later = std::make_unique<SpriteClass>();
    EXPECT_EQ(3u, Walk().size());
    EXPECT_EQ(later.get(), spriteLIST.tail);
    for (auto& p : s) p.reset();
    later.reset();
    EXPECT_TRUE(Walk().empty());
    EXPECT_EQ(nullptr, spriteLIST.head);
  }
}

// The game keeps its sprites in arrays that grow, shrink and go; each of
// those must leave the list whole.
TEST_F(SpriteTest, SpriteArraysKeepTheListWhole) {
  SpriteClass before;
  {
    NamedArray<SpriteClass> sprites(3);
    EXPECT_EQ(4u, Walk().size());
    sprites.Resize(9, 0);
    EXPECT_EQ(10u, Walk().size());
    sprites.Resize(2, 1);
    EXPECT_EQ(3u, Walk().size());
    sprites.RemoveEntries(0, 1);
    EXPECT_EQ(2u, Walk().size());
  }
  std::vector<SpriteClass*> left = Walk();
  ASSERT_EQ(1u, left.size());
  EXPECT_EQ(&before, left[0]);
  SpriteClass after;
  EXPECT_EQ(2u, Walk().size());
}

}  // namespace
