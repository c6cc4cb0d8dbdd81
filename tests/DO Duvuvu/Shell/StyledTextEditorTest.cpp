#include <functional>
#include <vector>

#include "DialogTestSupport.h"
#include "RecordingDisplay.h"
#include "StyledTextEditor.h"
#include "TimerTasks.h"

namespace {

// Runs one scripted step each time a 10 ms timer fires while a dialog polls.
class Script {
 public:
  explicit Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    StartTimerTask(&task_, Step, 10, reinterpret_cast<uintptr_t>(this));
  }
  ~Script() { StopTimerTask(&task_); }
  size_t done() const { return next_; }

 private:
  static SInt32 Step(TimerTask* task) {
    auto* self = reinterpret_cast<Script*>(GetTimerTaskUserValue(task));
    if (self->next_ < self->steps_.size()) self->steps_[self->next_++]();
    return 0;
  }
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
  TimerTask task_{};
};

class StyledTextEditorTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InitDialogDefaults();
    clock.stepPerRead = 200000;  // 0.2 ms per read
  }
  // The palette window is 388 x 124 at {320, 446} on the 1280 x 1024 display.
  void MouseOverCell(SInt16 cell) {
    const Rect r = PaletteCellRect(cell);
    backend.SetGlobalMouse(446 + r.left + 3, 320 + r.top + 3);
  }
};

TEST_F(StyledTextEditorTest, PaletteCellsAndGradients) {
  EXPECT_EQ(FindPaletteCell(Point{2, 14}), 1);  // Point is {v, h}
  EXPECT_EQ(FindPaletteCell(Point{14, 2}), 32);
  EXPECT_EQ(FindPaletteCell(Point{1, 1}), -1);
  EXPECT_EQ(FindPaletteCell(Point{100, 100}), -1);
  const UInt16 up[] = {0, 16383, 32767, 49151}, down[] = {65535, 49152, 32768, 16384};
  for (SInt32 i = 0; i < 4; ++i) {
    EXPECT_EQ(GradientComponent(0, 65535, i, 0, 4), up[i]) << i;
    EXPECT_EQ(GradientComponent(65535, 0, i, 0, 4), down[i]) << i;
  }
}

TEST_F(StyledTextEditorTest, PaletteAnswersTheCellPressedOrMinusOneOnEscape) {
  {
    Script script({[&] { MouseOverCell(37); }, [&] { backend.SetLeftButton(true); },
                   [&] { backend.SetLeftButton(false); }});
    EXPECT_EQ(ColorPaletteDialog(3), 37);
    EXPECT_EQ(backend.windowCount(), 0u);
  }
  {
    Script script({[&] { backend.SetGlobalMouse(0, 0); }, [&] { backend.TapKey(sc::Escape); }});
    EXPECT_EQ(ColorPaletteDialog(3), -1);
  }
}

std::string Cell(SInt16 index) { return RecordingDisplay::RectOf(PaletteCellRect(index)); }
std::string Inset(SInt16 index) {
  const Rect r = PaletteCellRect(index);
  return RecordingDisplay::RectOf(Rect{static_cast<SInt16>(r.top + 1), static_cast<SInt16>(r.left + 1),
                                       static_cast<SInt16>(r.bottom - 1), static_cast<SInt16>(r.right - 1)});
}
std::string Entry(SInt16 index) {
  return std::to_string(1000 + index) + "," + std::to_string(2000 + index) + "," + std::to_string(3000 + index);
}

TEST_F(StyledTextEditorTest, PaletteDrawsCellsHoverAndBlink) {
  RecordingDisplay display;
  Script script({[&] { MouseOverCell(37); }, [&] { MouseOverCell(38); }, [&] { backend.SetLeftButton(true); },
                 [&] { backend.SetLeftButton(false); }});
  EXPECT_EQ(ColorPaletteDialog(3), 38);

  std::vector<std::string> expected;
  for (SInt16 i = 0; i < 256; ++i) expected.push_back("paint " + Cell(i) + " " + Entry(i));
  // The current cell marked, then the grid framed.
  expected.insert(expected.end(), {"frame " + Cell(3) + " 1,2,3", "frame " + Inset(3) + " " + Entry(0),
                                   "frame {0,0,100,388} 1,2,3"});
  // Hovering marks the cell and shows its number with flushing held off.
  const auto hover = [&](SInt16 cell) {
    expected.insert(expected.end(), {"frame " + Cell(cell) + " 1,2,3", "frame " + Inset(cell) + " " + Entry(0),
                                     "erase {100,0,124,48}", "fore 1,2,3", "pen 4,116",
                                     "text " + std::to_string(cell), "hold 0"});
  };
  expected.push_back("hold 1");
  hover(37);
  expected.insert(expected.end(), {"hold 1", "paint " + Cell(37) + " " + Entry(37)});
  hover(38);
  for (int blink = 0; blink < 3; ++blink)
    expected.insert(expected.end(), {"frame " + Cell(38) + " " + Entry(0), "frame " + Cell(38) + " 1,2,3"});
  EXPECT_EQ(RecordingDisplay::lines(), expected);
}

TEST_F(StyledTextEditorTest, EnterEndsTheEditorOnlyWithoutTheCommandKey) {
  EXPECT_TRUE(EditorKeyEndsEditing(3, 0));
  EXPECT_FALSE(EditorKeyEndsEditing(3, 0x100));
  EXPECT_FALSE(EditorKeyEndsEditing('a', 0));
  const Rect r{0, 0, 100, 100};
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  (void)window;
  // Character 3 is typed as Control-C here.
  constexpr int kC = 6;
  Script script({[&] {
                   backend.PressKey(sc::LGui);
                   backend.PressKey(sc::LCtrl);
                   backend.TapKey(kC);
                 },
                 [&] { backend.ReleaseKey(sc::LGui); }, [&] { backend.TapKey(kC); }});
  StyledTextEditor(r);
  EXPECT_EQ(script.done(), 3u);  // still running after the command-Enter
}

}  // namespace
