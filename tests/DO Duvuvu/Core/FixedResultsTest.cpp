#include "FixedResults.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "System.h"

namespace {

TEST(SystemAttributeTest, AnswersOnlySysvAndSnd) {
  struct Case {
    const char* selector;
    OSErr result;
    SInt32 value;
  };
  const Case cases[] = {
      {"sysv", 0, 0x0A00}, {"snd ", 0, 8},  {"evnt", -1, -7}, {"fold", -1, -7},
      {"powr", -1, -7},    {"dply", -1, -7}, {"menu", -1, -7},
  };
  for (const Case& c : cases) {
    const char code[5] = {c.selector[0], c.selector[1], c.selector[2], c.selector[3], 0};
    SInt32 value = -7;  // left as it was on failure
    EXPECT_EQ(GetSystemAttribute(FOUR_CHAR_CODE(code), &value), c.result) << c.selector;
    EXPECT_EQ(value, c.value) << c.selector;
  }
}

TEST(SystemAttributeTest, SystemQueries) {
  EXPECT_TRUE(IsOSXOrLater());
  EXPECT_TRUE(IsOSXOrLater());
  EXPECT_EQ(IsTranslatedProcess(), 0);
  EXPECT_EQ(InitProcessorServices(), 0);
  EXPECT_EQ(PointInRegionAt(5, 5, nullptr), 0);
}

// Every out pointer below points at this sentinel, which must survive.
struct Outputs {
  static constexpr intptr_t kMark = 0x5A5A;
  intptr_t word = kMark;
  void* pointer = reinterpret_cast<void*>(kMark);
  void** pp() { return &pointer; }
  template <typename T>
  T* as() {
    return reinterpret_cast<T*>(&word);
  }
  bool Untouched() const { return word == kMark && pointer == reinterpret_cast<void*>(kMark); }
};

struct Row {
  const char* name;
  std::function<intptr_t(Outputs&)> call;
  intptr_t expected;
};

intptr_t P(const void* pointer) { return reinterpret_cast<intptr_t>(pointer); }

TEST(FixedResultsTest, NamedRoutinesGiveTheirFixedAnswersAndWriteNothing) {
  const OSType t = FOUR_CHAR_CODE("abcd");
  Rect r{0, 0, 10, 10};
  Point p{1, 2};
  Str255 s = {1, 'x'};
  const Row rows[] = {
      {"LockPixMapPixels", [](Outputs&) { return intptr_t{LockPixMapPixels(nullptr)}; }, 1},
      {"CloseComponentInstance", [](Outputs&) { return intptr_t{CloseComponentInstance(nullptr)}; }, -3000},
      {"CreateNibReference", [](Outputs& o) { return intptr_t{CreateNibReference("DO Duvuvu", o.pp())}; }, -10960},
      {"CreateWindowFromNib", [](Outputs& o) { return intptr_t{CreateWindowFromNib(nullptr, "w", o.pp())}; },
       -10962},
      {"GetKeyboardLayoutPtr", [](Outputs&) { return P(GetKeyboardLayoutPtr(38)); }, 0},
      {"GetPowerManagerSelectorCount", [](Outputs&) { return intptr_t{GetPowerManagerSelectorCount()}; }, 0},
      {"SetStandardCursor", [](Outputs&) { return intptr_t{SetStandardCursor(0)}; }, 0},
      {"QueryMouseState", [](Outputs&) { return intptr_t{QueryMouseState()}; }, 0},
      {"GetNextProcessSerial",
       [](Outputs& o) { return intptr_t{GetNextProcessSerial(o.as<ProcessSerialNumber>())}; }, 0},
      {"GetAppleEventHandler",
       [t](Outputs& o) {
         return intptr_t{GetAppleEventHandler(t, t, reinterpret_cast<AppleEventHandlerProc*>(&o.word), o.pp(), 0)};
       },
       0},
      {"InstallAppleEventHandler", [t](Outputs&) { return intptr_t{InstallAppleEventHandler(t, t, nullptr, 0, 0)}; },
       0},
      {"AECountItems", [](Outputs& o) { return intptr_t{AECountItems(nullptr, o.as<SInt32>())}; }, 0},
      {"AEGetParamDesc", [t](Outputs& o) { return intptr_t{AEGetParamDesc(nullptr, t, t, &o.word)}; }, 0},
      {"RequestUserInteraction",
       [](Outputs&) { return intptr_t{RequestUserInteraction(-1, nullptr, AppleEventIdleCallback)}; }, 0},
      {"OpenSharedLibrary",
       [&s](Outputs& o) { return intptr_t{OpenSharedLibrary(s, FOUR_CHAR_CODE("pwpc"), 1, o.pp(), o.pp(), nullptr)}; },
       0},
      {"FindSharedLibrarySymbol",
       [&s](Outputs& o) { return intptr_t{FindSharedLibrarySymbol(nullptr, s, o.pp(), nullptr)}; }, 0},
      {"OpenComponentByType",
       [](Outputs&) { return P(OpenComponentByType(FOUR_CHAR_CODE("osa "), FOUR_CHAR_CODE("ascr"))); }, 0},
      {"IsControlDisabled", [](Outputs&) { return intptr_t{IsControlDisabled(nullptr)}; }, 0},
      {"GetControlValue", [](Outputs&) { return intptr_t{GetControlValue(nullptr)}; }, 0},
      {"FindControlAtPoint", [p](Outputs& o) { return P(FindControlAtPoint(p, nullptr, o.as<SInt16>())); }, 0},
      {"CountChildControls", [](Outputs& o) { return intptr_t{CountChildControls(nullptr, o.as<UInt16>())}; }, 0},
      {"GetControlBoundsRect", [&r](Outputs&) { return P(GetControlBoundsRect(nullptr, &r)); }, 0},
      {"GetStandardFilterProc", [](Outputs& o) { return intptr_t{GetStandardFilterProc(o.pp())}; }, 0},
      {"GetWindowOfDialog", [](Outputs&) { return P(GetWindowOfDialog(nullptr)); }, 0},
      {"GetFirstDisplayDevice", [](Outputs&) { return P(GetFirstDisplayDevice(1)); }, 0},
      {"SetDisplayModeOfDevice", [](Outputs& o) { return intptr_t{SetDisplayModeOfDevice(nullptr, 1, o.as<UInt32>())}; },
       0},
      {"GetCurrentDisplayMode", [](Outputs& o) { return intptr_t{GetCurrentDisplayMode(nullptr, &o.word)}; }, 0},
      {"GetInternetPref",
       [&s](Outputs& o) { return intptr_t{GetInternetPref(nullptr, s, nullptr, &o.word, o.as<SInt32>())}; }, 0},
      {"GetTextViewObject", [](Outputs&) { return P(GetTextViewObject(nullptr)); }, 0},
      {"CreateBundlesInDirectory", [](Outputs&) { return P(CreateBundlesInDirectory(nullptr, nullptr, nullptr)); },
       0},
      {"NavChooseFile",
       [](Outputs& o) {
         return intptr_t{NavChooseFile(nullptr, &o.word, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)};
       },
       0},
      {"GetIconRef", [t](Outputs& o) { return intptr_t{GetIconRef(-32768, t, t, o.pp())}; }, 0},
      {"AllocPalette", [](Outputs&) { return P(AllocPalette(16, nullptr, 0, 0)); }, 0},
      {"NewTextEdit", [&r](Outputs&) { return P(NewTextEdit(&r, &r)); }, 0},
      {"QuerySystemControl",
       [](Outputs& o) {
         size_t size = sizeof o.word;
         return intptr_t{QuerySystemControl("sysctl.proc_native", &o.word, &size, nullptr, 0)};
       },
       0},
      {"ShowDebuggerMessage", [&s](Outputs&) { return intptr_t{ShowDebuggerMessage(s)}; }, 0},
  };
  for (const Row& row : rows) {
    Outputs outputs;
    EXPECT_EQ(row.call(outputs), row.expected) << row.name;
    EXPECT_TRUE(outputs.Untouched()) << row.name;
  }
}

TEST(FixedResultsTest, RoutinesWithoutEffectLeaveTheirOutputs) {
  SInt32 dx = 3, dy = 4;
  CGGetLastMouseDelta(&dx, &dy);
  EXPECT_EQ(dx, 3);
  EXPECT_EQ(dy, 4);

  Str255 title = {2, 'o', 'k'};
  GetControlTitleText(nullptr, title);
  EXPECT_EQ(title[0], 2);

  UInt32 colour[3] = {1, 2, 3};
  RGBToHSLColor(colour, colour);
  HSLToRGBColor(colour, colour);
  SaveForeColor(colour);
  EXPECT_EQ(colour[0], 1u);
  EXPECT_EQ(colour[2], 3u);

  int task = 0;
  InstallTimeTask(&task);
  PrimeTimeTask(&task, 10);
  RemoveTimeTask(&task);
  UnlockPixMapPixels(nullptr);
  InitStartupServices();
  EXPECT_EQ(task, 0);
}

}  // namespace
