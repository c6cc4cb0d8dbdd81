#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "DialogLayout.h"
#include "DialogTestSupport.h"
#include "InputBox.h"
#include "Memory.h"
#include "RecordingDisplay.h"
#include "StyledTextEditor.h"
#include "SystemCalls.h"
#include "TimerTasks.h"

namespace {

// One scripted step: an action, or a condition (a lambda answering bool)
// that holds the script until it is met.
struct Step {
  template <typename F>
  Step(F f) {  // NOLINT: steps are written as bare lambdas
    if constexpr (std::is_same_v<std::invoke_result_t<F>, bool>)
      ready = f;
    else
      ready = [f] {
        f();
        return true;
      };
  }
  std::function<bool()> ready;
};

// Runs one scripted step each time a 10 ms timer fires while a dialog polls.
class Script {
 public:
  // The rescue steps run in turn, one every second, once the script is done
  // and its dialog still runs: a faulty run fails rather than hangs.
  explicit Script(std::vector<Step> steps, std::vector<std::function<void()>> rescue = {})
      : steps_(std::move(steps)), rescue_(std::move(rescue)) {
    StartTimerTask(&task_, Run, 10, reinterpret_cast<uintptr_t>(this));
  }
  ~Script() { StopTimerTask(&task_); }
  size_t done() const { return next_; }

 private:
  // A condition unmet for 10 s of fake time fails the test and moves on, so
  // that a script ending in Enter still ends its editor.
  static SInt32 Run(TimerTask* task) {
    auto* self = reinterpret_cast<Script*>(GetTimerTaskUserValue(task));
    if (self->next_ >= self->steps_.size()) {
      if (!self->rescue_.empty() && ++self->waited_ % 100 == 0)
        self->rescue_[self->waited_ / 100 % self->rescue_.size()]();
      return 0;
    }
    if (self->steps_[self->next_].ready()) {
      ++self->next_;
      self->waited_ = 0;
    } else if (++self->waited_ == 1000) {
      ADD_FAILURE() << "step " << self->next_ << " never came";
      ++self->next_;
      self->waited_ = 0;
    }
    return 0;
  }
  std::vector<Step> steps_;
  std::vector<std::function<void()>> rescue_;
  size_t next_ = 0;
  int waited_ = 0;
  TimerTask task_{};
};

class StyledTextEditorTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InitDialogDefaults();
    clock.stepPerRead = 200000;  // 0.2 ms per read
  }
  // The palette window is 388 x 124, at {320, 446} on the 1280 x 1024 display
  // when there is no main window.
  void MouseOverCell(SInt16 cell) {
    const Rect window = CenterDialogRect(388, 124, 0), r = PaletteCellRect(cell);
    backend.SetGlobalMouse(window.left + r.left + 3, window.top + r.top + 3);
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
    Script script(
        {[&] { MouseOverCell(37); }, [&] { backend.SetLeftButton(true); }, [&] { backend.SetLeftButton(false); }});
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
  expected.insert(expected.end(),
                  {"frame " + Cell(3) + " 1,2,3", "frame " + Inset(3) + " " + Entry(0), "frame {0,0,100,388} 1,2,3"});
  // Hovering marks the cell and shows its number with flushing held off.
  const auto hover = [&](SInt16 cell) {
    expected.insert(expected.end(),
                    {"frame " + Cell(cell) + " 1,2,3", "frame " + Inset(cell) + " " + Entry(0), "erase {100,0,124,48}",
                     "fore 1,2,3", "pen 4,116", "text " + std::to_string(cell), "hold 0"});
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

// An in-memory record behind the table's text-edit entries: its text, its
// selection and a line for every call. With nilRecord none is made, and any
// later call is a fault.
class FakeTextEdit {
 public:
  FakeTextEdit(std::string initialText, SInt16 selStart, SInt16 selEnd, bool nilRecord = false)
      : text(std::move(initialText)), start(selStart), end(selEnd), nil_(nilRecord) {
    current_ = this;
    SystemCallTable& t = gSystemCalls;
    t.newTextEdit = [](const Rect* destination, const Rect* view) -> void* {
      Self().log.push_back("new " + RecordingDisplay::RectOf(*destination) + " " + RecordingDisplay::RectOf(*view));
      return Self().nil_ ? nullptr : &Self();
    };
    t.disposeTextEdit = [](void* e) { Add(e, "dispose"); };
    t.activateTextEdit = [](void* e) { Add(e, "activate"); };
    t.deactivateTextEdit = [](void* e) { Add(e, "deactivate"); };
    t.textEditIdle = [](void* e) { Of(e); };  // too many to log
    t.textEditClick = [](void* e, Point, Boolean) { Add(e, "click"); };
    t.textEditKeyPress = [](void* e, SInt16 key) { Add(e, "key " + std::to_string(key)); };
    t.setTextEditText = [](void* e, const void* text, SInt32 length) {
      Of(e).text.assign(static_cast<const char*>(text), length);
      Add(e, "text " + Of(e).text);
    };
    t.setTextEditSelection = [](void* e, SInt32 s, SInt32 n) {
      const auto size = static_cast<SInt32>(Of(e).text.size());
      Of(e).start = static_cast<SInt16>(std::min(s, size));
      Of(e).end = static_cast<SInt16>(std::min(n, size));
    };
    t.getTextEditSelection = [](void* e, SInt16* s, SInt16* n) {
      *s = Of(e).start;
      *n = Of(e).end;
    };
    t.getTextEditBytes = [](void* e, SInt32* length) {
      *length = static_cast<SInt32>(Of(e).text.size());
      return reinterpret_cast<const UInt8*>(Of(e).text.data());
    };
    t.setTextEditAlignment = [](void* e, SInt16 alignment) { Add(e, "align " + std::to_string(alignment)); };
    t.setTextEditStyle = [](void* e, SInt16 mode, const void* style, Boolean redraw) {
      FakeTextEdit& self = Of(e);
      self.styles.push_back(StyleLine(mode, self.start, self.end, *static_cast<const TextStyleRecord*>(style), redraw));
      self.log.push_back("style");
      if (self.onStyle) self.onStyle();
    };
    t.applyTextEditStyleScrap = [](void* e, SInt32 s, SInt32 n, Handle scrap, Boolean redraw) {
      Add(e, "scrap " + std::to_string(s) + "-" + std::to_string(n) + (scrap == Self().scrap ? " styl" : " other") +
                 (redraw ? " redraw" : ""));
    };
    t.getTextEditTextHandle = [](void* e) -> Handle {
      Add(e, "text handle");
      return nullptr;
    };
    t.getTextEditStyleScrap = [](void* e) -> Handle {
      Add(e, "style scrap");
      return nullptr;
    };
    t.cutTextEditSelection = [](void* e) { Add(e, "cut"); };
    t.copyTextEditSelection = [](void* e) { Add(e, "copy"); };
    t.pasteIntoTextEdit = [](void* e) { Add(e, "paste"); };
    t.recalcTextEditLines = [](void* e) { Add(e, "recalc"); };
    t.updateTextEdit = [](void* e, const Rect* r) { Add(e, "update " + RecordingDisplay::RectOf(*r)); };
  }
  ~FakeTextEdit() {
    ResetSystemCalls();
    current_ = nullptr;
  }
  FakeTextEdit(const FakeTextEdit&) = delete;
  FakeTextEdit& operator=(const FakeTextEdit&) = delete;

  static std::string StyleLine(SInt16 mode, SInt16 s, SInt16 e, const TextStyleRecord& style, bool redraw) {
    return std::to_string(mode) + " @" + std::to_string(s) + "-" + std::to_string(e) + " font " +
           std::to_string(style.font) + " face " + std::to_string(style.face) + " size " + std::to_string(style.size) +
           " rgb " + RecordingDisplay::Rgb(style.color) + (redraw ? "" : " quiet");
  }

  std::string text;
  SInt16 start, end;
  std::vector<std::string> log;     // every call but idle and selection, in order
  std::vector<std::string> styles;  // the set-style calls
  std::function<void()> onStyle;
  Handle scrap = nullptr;  // the resource's handle the scrap should come from

 private:
  static FakeTextEdit& Self() { return *current_; }
  static FakeTextEdit& Of(void* e) {
    if (e != current_) Self().log.push_back("call on a nil or stray record");
    return Self();
  }
  static void Add(void* e, std::string line) { Of(e).log.push_back(std::move(line)); }
  static inline FakeTextEdit* current_ = nullptr;
  bool nil_;
};

std::string ColorLine(SInt16 s, SInt16 e, UInt16 red, UInt16 green = 0, UInt16 blue = 0, bool redraw = true) {
  TextStyleRecord style{};
  style.color[0] = red;
  style.color[1] = green;
  style.color[2] = blue;
  return FakeTextEdit::StyleLine(8, s, e, style, redraw);
}

ScriptedBackend::TimedInputBoxMessage BoxEdit(const std::string& text) {
  InputBoxMessage m;
  m.kind = InputBoxMessage::Kind::EditChanged;
  m.text = text;
  return {m, 0};
}

ScriptedBackend::TimedInputBoxMessage BoxCancel() {
  InputBoxMessage m;
  m.kind = InputBoxMessage::Kind::Command;
  m.command = 1003;
  return {m, 0};
}

// SDL scancodes of the command keys.
constexpr int kKeyR = 21, kKeyF = 9, kKeyT = 23, kKey1 = 30, kKey2 = 31, kKeyB = 5, kKeyS = 22, kKeyL = 15, kKeyC = 6,
              kKeyX = 27, kKeyV = 25, kKeyQ = 20;
constexpr SInt16 kBlack = 5, kRed = 6;  // entries of the editor tests' colour table

// The editor in a main window, its colours from a table where entry 5 is
// black, 6 red and every other i (1000 + i, 2000 + i, 3000 + i).
class StyledTextCommandTest : public StyledTextEditorTest {
 protected:
  void SetUp() override {
    StyledTextEditorTest::SetUp();
    MakeMainWindow(Rect{100, 100, 580, 740});
    windows_ = backend.windowCount();
    fonts().clear();
    backs().clear();
    DisplayServices s{};
    // Full screen: dialogs centred on the display, not on the window.
    s.fullScreenFlag = [] { return UInt8{1}; };
    s.mainDeviceColor = [](SInt32 i, UInt16* rgb) {
      const UInt16 black[3] = {0, 0, 0}, red[3] = {65535, 0, 0};
      const UInt16 other[3] = {static_cast<UInt16>(1000 + i), static_cast<UInt16>(2000 + i),
                               static_cast<UInt16>(3000 + i)};
      const UInt16* c = i == kBlack ? black : i == kRed ? red : other;
      std::copy(c, c + 3, rgb);
      return true;
    };
    s.backColor = [](UInt16* rgb) { std::fill(rgb, rgb + 3, UInt16{7}); };
    s.setBackColor = [](const UInt16* rgb) { backs().push_back(RecordingDisplay::Rgb(rgb)); };
    s.openFontByName = [](ConstStr255Param name) -> SInt16 {
      fonts().emplace_back(reinterpret_cast<const char*>(name + 1), name[0]);
      return 77;
    };
    RegisterDisplayServices(&s);
  }

  static std::vector<std::string>& fonts() {
    static std::vector<std::string> opened;
    return opened;
  }
  static std::vector<std::string>& backs() {
    static std::vector<std::string> set;
    return set;
  }

  // The steps of a command key, of a palette pick (-1 cancels) and of Enter.
  // A modifier is read when the key's event is taken, so it is released a
  // step later.
  std::vector<Step> Command(int scancode) {
    return {[this, scancode] {
              backend.PressKey(sc::LGui);
              backend.TapKey(scancode);
            },
            [this] { backend.ReleaseKey(sc::LGui); }};
  }
  std::vector<Step> Pick(SInt16 cell) {
    std::vector<Step> steps{[this] { return backend.windowCount() > windows_; }};
    if (cell < 0) {
      steps.insert(steps.end(), {[this] { backend.SetGlobalMouse(0, 0); }, [this] { backend.TapKey(sc::Escape); }});
    } else {
      steps.insert(steps.end(), {[this, cell] { MouseOverCell(cell); }, [this] { backend.SetLeftButton(true); },
                                 [this] { backend.SetLeftButton(false); }});
    }
    steps.insert(steps.end(), {[this] { return backend.windowCount() == windows_; }, [] {}, [] {}, [] {}});
    return steps;
  }
  // The user's selection, made once the editor has selected everything.
  static std::vector<Step> Selecting(FakeTextEdit& edit, SInt16 start, SInt16 end) {
    return {[&edit, start, end] {
      edit.start = start;
      edit.end = end;
    }};
  }
  std::vector<Step> BoxClosed() {
    return {[this] { return !backend.inputBoxes().empty() && backend.inputBoxes().back().closed; }, [] {}, [] {}};
  }
  std::vector<Step> Enter() {
    return {[this] {
              backend.PressKey(sc::LCtrl);
              backend.TapKey(kKeyC);
            },
            [this] { backend.ReleaseKey(sc::LCtrl); }};
  }
  // Runs the editor over the steps, then Enter.
  void Run(std::vector<std::vector<Step>> parts) {
    std::vector<Step> steps;
    parts.push_back(Enter());
    for (auto& part : parts) steps.insert(steps.end(), part.begin(), part.end());
    const size_t count = steps.size() - 1;  // it ends before Enter's release
    Script script(std::move(steps), {[this] { backend.TapKey(sc::Escape); },
                                     [this] {
                                       backend.PressKey(sc::LCtrl);
                                       backend.TapKey(kKeyC);
                                     },
                                     [this] { backend.ReleaseKey(sc::LCtrl); }});
    StyledTextEditor(kRect);
    EXPECT_EQ(script.done(), count);
    backend.ReleaseKey(sc::LCtrl);
  }

  static constexpr Rect kRect{0, 0, 100, 100};

 private:
  size_t windows_ = 0;
};

struct PaletteCase {
  const char* name;
  int key;
  std::vector<SInt16> picks;
  std::string text;
  SInt16 start, end;
  std::vector<std::string> styles;
};

TEST_F(StyledTextCommandTest, PaletteCommandsColourTheSelection) {
  const std::vector<PaletteCase> cases = {
      {"colour", kKeyR, {37}, "abcd", 1, 3, {ColorLine(1, 3, 1037, 2037, 3037)}},
      {"colour cancelled", kKeyR, {-1}, "abcd", 1, 3, {}},
      {"characters from black to red",
       kKey1,
       {kBlack, kRed},
       "abcd",
       0,
       4,
       {ColorLine(0, 1, 0), ColorLine(1, 2, 16383), ColorLine(2, 3, 32767), ColorLine(3, 4, 49151)}},
      {"characters from red to black",
       kKey1,
       {kRed, kBlack},
       "xabx",
       1,
       3,
       {ColorLine(1, 2, 65535), ColorLine(2, 3, 32768)}},
      {"characters, start cancelled", kKey1, {-1}, "abcd", 0, 4, {}},
      {"characters, end cancelled", kKey1, {kBlack, -1}, "abcd", 0, 4, {}},
      {"words restart at each word",
       kKey2,
       {kBlack, kRed},
       "  ab cde",
       0,
       8,
       {ColorLine(2, 3, 0, 0, 0, false), ColorLine(3, 4, 32767, 0, 0, false), ColorLine(5, 6, 0, 0, 0, false),
        ColorLine(6, 7, 21845, 0, 0, false), ColorLine(7, 8, 43690, 0, 0, false)}},
      {"words end at the selection",
       kKey2,
       {kBlack, kRed},
       "ab cd",
       1,
       4,
       {ColorLine(1, 2, 0, 0, 0, false), ColorLine(3, 4, 0, 0, 0, false)}},
      {"words, end cancelled", kKey2, {kBlack, -1}, "  ab cde", 0, 8, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTextEdit edit(c.text, c.start, c.end);
    std::vector<std::vector<Step>> parts{Selecting(edit, c.start, c.end), Command(c.key)};
    for (SInt16 pick : c.picks) parts.push_back(Pick(pick));
    backs().clear();
    Run(parts);
    EXPECT_EQ(edit.styles, c.styles);
    // The selection is the one the command found.
    EXPECT_EQ(edit.start, c.start);
    EXPECT_EQ(edit.end, c.end);
    if (c.key == kKeyR) {
      EXPECT_EQ(backs(), (std::vector<std::string>{"65535,65535,65535", "7,7,7"}));
    }
  }
}

TEST_F(StyledTextCommandTest, TheWordGradientStopsAfterAWordWhileTheButtonIsDown) {
  FakeTextEdit edit("  ab cde fg", 0, 11);
  // The button goes down while the first word is coloured and comes up again
  // in the wait after the command.
  edit.onStyle = [&] {
    if (edit.styles.size() == 1) backend.SetLeftButton(true);
  };
  Run({Command(kKey2), Pick(kBlack), Pick(kRed), {[&] { backend.SetLeftButton(false); }}});
  EXPECT_EQ(edit.styles,
            (std::vector<std::string>{ColorLine(2, 3, 0, 0, 0, false), ColorLine(3, 4, 32767, 0, 0, false)}));
  EXPECT_EQ(edit.start, 0);
  EXPECT_EQ(edit.end, 11);
  EXPECT_EQ(std::count(edit.log.begin(), edit.log.end(), "update {0,0,100,100}"), 2);  // at the start and after
}

struct BoxCase {
  const char* name;
  int key;
  std::vector<ScriptedBackend::TimedInputBoxMessage> box;
  std::vector<std::string> styles;
  std::vector<std::string> fonts;
};

TEST_F(StyledTextCommandTest, FontAndSizeApplyWhatTheBoxAnswersOnOk) {
  TextStyleRecord font{}, size{};
  font.font = 77;
  size.size = 18;
  const std::vector<BoxCase> cases = {
      {"font", kKeyF, {BoxEdit("Monaco\r\n")}, {FakeTextEdit::StyleLine(1, 0, 2, font, true)}, {"Monaco"}},
      {"font cancelled", kKeyF, {BoxEdit("Monaco"), BoxCancel()}, {}, {}},
      {"size", kKeyT, {BoxEdit("18\r\n")}, {FakeTextEdit::StyleLine(4, 0, 2, size, true)}, {}},
      {"size cancelled", kKeyT, {BoxEdit("18"), BoxCancel()}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTextEdit edit("abc", 0, 2);
    fonts().clear();
    backend.ScriptInputBox(c.box, "");
    Run({Selecting(edit, 0, 2), Command(c.key), BoxClosed()});
    EXPECT_EQ(edit.styles, c.styles);
    EXPECT_EQ(fonts(), c.fonts);
    EXPECT_EQ(backend.inputBoxes().back().prompt, c.key == kKeyF ? "Set text font to:" : "Set font size to:");
  }
}

TEST_F(StyledTextCommandTest, WithoutARecordEveryCommandDoesNothing) {
  FakeTextEdit edit("", 0, 0, true);
  backend.ScriptInputBox({BoxEdit("Monaco\r\n")}, "");
  std::vector<std::vector<Step>> parts;
  for (int key : {kKeyB, sc::A, kKeyS, kKeyL, kKeyC, kKeyX, kKeyV}) parts.push_back(Command(key));
  parts.insert(parts.end(), {Command(kKeyR), Pick(37), Command(kKey1), Pick(kBlack), Pick(kRed), Command(kKey2),
                             Pick(kBlack), Pick(kRed), Command(kKeyF), BoxClosed()});
  parts.push_back({[&] { backend.ScriptInputBox({BoxEdit("18\r\n")}, ""); }});
  parts.insert(parts.end(), {Command(kKeyT), BoxClosed()});
  parts.push_back(
      {[&] { backend.TapKey(kKeyQ); }, [&] { backend.PressButton(10, 10); }, [&] { backend.ReleaseButton(10, 10); }});
  Run(parts);
  EXPECT_EQ(edit.log, (std::vector<std::string>{"new {0,0,100,100} {0,0,100,100}"}));
  EXPECT_EQ(fonts(), (std::vector<std::string>{"Monaco"}));
}

TEST_F(StyledTextCommandTest, PlaceTextDrawsTheStyledResource) {
  FakeTextEdit edit("", 0, 0);
  static Handle text, style;
  text = NewHandleBlock(5);
  std::memcpy(*text, "Hello", 5);
  style = NewHandleBlockClear(20);
  edit.scrap = style;
  gSystemCalls.getResource = [](OSType type, SInt16 id) {
    EXPECT_EQ(id, 128);
    return type == FOUR_CHAR_CODE("TEXT") ? text : type == FOUR_CHAR_CODE("styl") ? style : nullptr;
  };
  const Rect r{10, 20, 110, 220};
  PlaceText(128, r);
  EXPECT_EQ(edit.log, (std::vector<std::string>{"new {10,20,110,220} {10,20,110,220}", "text Hello",
                                                "scrap 0-32767 styl", "recalc", "update {10,20,110,220}", "dispose"}));
  DisposeHandleBlock(text);
  DisposeHandleBlock(style);
}

TEST_F(StyledTextCommandTest, PlaceTextWithoutItsStyleResourceIsFatal) {
  auto child = testsupport::RunInChild([] {
    testsupport::RecordingMessageBox boxes;
    boxes.onBox = [](const testsupport::RecordingMessageBox::Box& box) {
      if (box.caption == "PlaceText()" && box.text == "Error: Failed to load 'styl' resource.")
        std::fputs("[box ok]\n", stderr);
    };
    PlaceText(128, Rect{0, 0, 10, 10});
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_NE(child.stderrText.find("[box ok]"), std::string::npos) << child.stderrText;
}

// The port's procedures as the fake table hands them over, and a line for
// each set the port is given.
struct PortProcs {
  static inline PortDrawingProcs own{};
  static inline bool hasOwn = false;
  static inline std::vector<std::string> installed;
  static void Line() {}
  static void Standard() {}
  static void Install() {
    installed.clear();
    own = PortDrawingProcs{};
    own.textProc = Line;
    own.lineProc = Line;
    gSystemCalls.getPortDrawingProcs = [] { return hasOwn ? &own : nullptr; };
    gSystemCalls.standardDrawingProcs = [](PortDrawingProcs* out) {
      *out = PortDrawingProcs{};
      out->textProc = Standard;
      out->lineProc = Standard;
    };
    gSystemCalls.setPortDrawingProcs = [](PortDrawingProcs* procs) {
      if (!procs) return installed.push_back("none");
      if (procs == &own) return installed.push_back("own");
      const auto name = [](DrawingProc p) -> std::string {
        return p == Line ? "line" : p == Standard ? "standard" : p == EmptyTextDrawingProc ? "empty" : "?";
      };
      installed.push_back("copy text " + name(procs->textProc) + " line " + name(procs->lineProc));
    };
  }
};

struct ProcsCase {
  const char* name;
  bool portHasProcs;
  UInt8 keepTextDrawing;
  std::vector<std::string> installed;
};

TEST_F(StyledTextCommandTest, NewStyledTextEditDrawsNoTextUnlessAskedAndPutsTheProcsBack) {
  const std::vector<ProcsCase> cases = {
      {"own procedures", true, 0, {"copy text empty line line", "own"}},
      {"own procedures, text kept", true, 1, {"copy text line line line", "own"}},
      {"standard procedures", false, 0, {"copy text empty line standard", "none"}},
      {"standard procedures, text kept", false, 1, {"copy text standard line standard", "none"}},
  };
  TextStyleRecord record{};
  record.size = 9;
  TextStyleRecord* pointer = &record;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTextEdit edit("", 0, 0);
    PortProcs::hasOwn = c.portHasProcs;
    PortProcs::Install();
    // The style is applied while the copy is installed.
    edit.onStyle = [&] { EXPECT_EQ(PortProcs::installed.size(), 1u); };
    const Rect r{0, 0, 50, 60};
    void* made = NewStyledTextEdit(PStr("Hi").GetPtr(), r, reinterpret_cast<Handle>(&pointer), 1, c.keepTextDrawing);
    EXPECT_EQ(made, &edit);
    EXPECT_EQ(PortProcs::installed, c.installed);
    EXPECT_EQ(edit.log, (std::vector<std::string>{"new {0,0,50,60} {0,0,50,60}", "text Hi", "align 1", "style"}));
    EXPECT_EQ(edit.styles, (std::vector<std::string>{FakeTextEdit::StyleLine(15, 0, 2, record, true)}));
  }
  // Without a style handle nothing is applied.
  FakeTextEdit edit("", 0, 0);
  NewStyledTextEdit(PStr("Hi").GetPtr(), Rect{0, 0, 50, 60}, nullptr, 0, 0);
  EXPECT_TRUE(edit.styles.empty());
  EmptyStyledTextProc();
  EmptyStyledTextHook();
}

}  // namespace
