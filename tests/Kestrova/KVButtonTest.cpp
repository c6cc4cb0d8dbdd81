#include <gtest/gtest.h>

#include <vector>

#include "GLImage.h"
#include "GUIState.h"
#include "KVButton.h"

namespace {

// The button's image has no texture, so nothing reaches GL: the recorder
// sees what would be drawn.
class KVButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGUIState();
    SetGLImageDrawRecorder(
        [](const GLImageDrawRecord& record, void* self) {
          static_cast<KVButtonTest*>(self)->draws_.push_back(record);
        },
        this);
    button_.rect = Rect{100, 200, 140, 260};
    button_.titleImage.alpha = 0.8f;
  }
  void TearDown() override { SetGLImageDrawRecorder(nullptr, nullptr); }

  KVButton button_;
  std::vector<GLImageDrawRecord> draws_;
};

TEST_F(KVButtonTest, PressDepthMovesAndDarkensTheImage) {
  const struct {
    UInt8 armed;
    UInt8 depth;
    float factor;
    SInt16 offset;
    float shade;
  } cases[] = {
      {0, 0, 1.0f, 0, 1.0f},    {1, 0, 1.0f, 0, 1.0f},     {1, 4, 1.0f, 4, 1.0f - 4 / 6.0f},
      {0, 2, 1.0f, 2, 1.0f - 2 / 6.0f}, {1, 4, 0.75f, 3, 1.0f - 4 / 6.0f}, {0, 3, 0.75f, 2, 0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "armed " << int(c.armed) << " depth " << int(c.depth) << " factor "
                                    << c.factor);
    draws_.clear();
    button_.armed = c.armed;
    button_.pressValue = c.depth;
    button_.pressFactor = c.factor;
    button_.Draw();
    ASSERT_EQ(draws_.size(), 1u);
    const GLImageDrawRecord& d = draws_[0];
    EXPECT_EQ(d.image, &button_.titleImage);
    EXPECT_EQ(d.dest.top, 100 + c.offset);
    EXPECT_EQ(d.dest.left, 200 + c.offset);
    EXPECT_EQ(d.dest.bottom, 140 + c.offset);
    EXPECT_EQ(d.dest.right, 260 + c.offset);
    EXPECT_FLOAT_EQ(d.red, c.shade);
    EXPECT_FLOAT_EQ(d.green, c.shade);
    EXPECT_FLOAT_EQ(d.blue, c.shade);
    EXPECT_FLOAT_EQ(d.alpha, 0.8f);
  }
  // The rect itself never moves.
  EXPECT_EQ(button_.rect.left, 200);
}

TEST_F(KVButtonTest, ADisabledButtonDrawsAtAQuarterOfItsAlphaInPlace) {
  button_.enabled = 0;
  button_.Draw();
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_FLOAT_EQ(draws_[0].alpha, 0.2f);
  EXPECT_EQ(draws_[0].dest.left, 200);
  EXPECT_EQ(draws_[0].dest.top, 100);
  EXPECT_FLOAT_EQ(button_.titleImage.alpha, 0.8f);  // for this drawing only
}

TEST_F(KVButtonTest, AnInvisibleButtonDrawsNothing) {
  button_.visible = 0;
  button_.pressValue = 4;
  button_.Draw();
  EXPECT_TRUE(draws_.empty());
}

}  // namespace
