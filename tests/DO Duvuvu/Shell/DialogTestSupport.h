// In-memory controls and a watched modal loop for the dialog tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DialogDefaults.h"
#include "NibWindows.h"
#include "ShellTestSupport.h"
#include "Strings.h"
#include "SystemCalls.h"

struct FakeControl {
  WindowRef window = nullptr;
  Rect bounds{};
  SInt16 kind = 0;
  std::string title;
  SInt32 value = 0, minimum = 0, maximum = 0;
  bool visible = true;
  bool enabled = true;
  UInt32 command = 0;
  SInt32 reference = 0;
  std::map<OSType, std::string> data;  // tag -> bytes
  int draws = 0;
};

// Installs itself into the system-call table; the table is reset afterwards.
class FakeControls {
 public:
  FakeControls() {
    current_ = this;
    SystemCallTable& t = gSystemCalls;
    t.newControl = [](WindowRef window, const Rect* bounds, ConstStr255Param title, Boolean visible, SInt16 value,
                      SInt16 minimum, SInt16 maximum, SInt16 kind, SInt32 reference) -> ControlRef {
      auto c = std::make_unique<FakeControl>();
      c->window = window;
      c->bounds = *bounds;
      c->kind = kind;
      c->title.assign(reinterpret_cast<const char*>(title + 1), title[0]);
      c->visible = visible;
      c->value = value;
      c->minimum = minimum;
      c->maximum = maximum;
      c->reference = reference;
      current_->controls.push_back(std::move(c));
      return current_->controls.back().get();
    };
    t.setControlData = [](ControlRef c, SInt16, OSType tag, SInt32 size, const void* data) -> OSErr {
      if (current_->failSetData && tag == current_->failSetDataTag) return current_->failSetData;
      if (!c) return 0;
      Fake(c)->data[tag].assign(static_cast<const char*>(data), size);
      return 0;
    };
    t.getControlData = [](ControlRef c, SInt16, OSType tag, SInt32 bufferSize, void* buffer, SInt32* outSize) -> OSErr {
      if (!c) return 0;
      const std::string& bytes = Fake(c)->data[tag];
      const SInt32 n = std::min<SInt32>(bufferSize, static_cast<SInt32>(bytes.size()));
      std::memcpy(buffer, bytes.data(), n);
      *outSize = static_cast<SInt32>(bytes.size());
      return 0;
    };
    t.setControlCommandID = [](ControlRef c, UInt32 command) -> OSErr {
      if (c) Fake(c)->command = command;
      return 0;
    };
    t.getControlCommandID = [](ControlRef c, UInt32* out) -> OSErr {
      if (c) *out = Fake(c)->command;
      return 0;
    };
    t.getControlValue = [](ControlRef c) -> SInt32 { return c ? Fake(c)->value : 0; };
    t.getControlMinimum = [](ControlRef c) -> SInt32 { return c ? Fake(c)->minimum : 0; };
    t.getControlMaximum = [](ControlRef c) -> SInt32 { return c ? Fake(c)->maximum : 0; };
    t.setControlValue = [](ControlRef c, SInt32 v) {
      if (c) Fake(c)->value = v;
    };
    t.hideControl = [](ControlRef c) {
      if (c) Fake(c)->visible = false;
    };
    t.enableControl = [](ControlRef c) -> OSErr {
      if (c) Fake(c)->enabled = true;
      return 0;
    };
    t.disableControl = [](ControlRef c) -> OSErr {
      if (c) Fake(c)->enabled = false;
      return 0;
    };
    t.drawControl = [](ControlRef c) {
      if (c) ++Fake(c)->draws;
    };
    t.runAppModalLoop = [](WindowRef window) -> OSStatus {
      if (current_->onModalLoop) current_->onModalLoop(window);
      ++current_->modalRuns;
      return 0;
    };
  }
  ~FakeControls() {
    ResetSystemCalls();
    current_ = nullptr;
  }
  FakeControls(const FakeControls&) = delete;
  FakeControls& operator=(const FakeControls&) = delete;

  static FakeControl* Fake(ControlRef c) { return static_cast<FakeControl*>(c); }

  // The controls made, in order.
  std::vector<std::unique_ptr<FakeControl>> controls;
  std::function<void(WindowRef)> onModalLoop;
  int modalRuns = 0;
  OSErr failSetData = 0;
  OSType failSetDataTag = 0;

  std::vector<const FakeControl*> OfKind(SInt16 kind) const {
    std::vector<const FakeControl*> out;
    for (const auto& c : controls)
      if (c->kind == kind) out.push_back(c.get());
    return out;
  }

 private:
  static inline FakeControls* current_ = nullptr;
};

inline bool SameRect(const Rect& r, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
  return r.top == top && r.left == left && r.bottom == bottom && r.right == right;
}

inline std::string RectText(const Rect& r) {
  return "{" + std::to_string(r.top) + ", " + std::to_string(r.left) + ", " + std::to_string(r.bottom) + ", " +
         std::to_string(r.right) + "}";
}

// The alert part of DialogDefaults holds its initial values.
inline bool AlertPartIsInitial() {
  const DialogDefaultsRecord& d = DialogDefaults;
  return d.extraWidth == 0 && d.extraHeight == 0 && d.extraButtonWidth == 0 && d.iconID == 65535 &&
         d.reservedFlag == 0 && d.iconType == FOUR_CHAR_CODE("????") && d.cancelAllowed == 1 &&
         PStrEqualsCStr(d.defaultText, "OK") && PStrEqualsCStr(d.cancelText, "Cancel") && d.otherText[0] == 0 &&
         d.reserved[0] == 0 && d.reserved[1] == 0 && d.reserved[2] == 0 && d.parent == nullptr && d.sheet == 0 &&
         d.dialogHandlerFlag == 1;
}

// The dialog suites' common start: defaults and Nib handlers in, the
// system-call table back to its own entries afterwards.
class DialogShellTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    InitDialogDefaults();
    InitNibHandlers();
  }
  void TearDown() override {
    ResetSystemCalls();
    ShellTest::TearDown();
  }
};
