#include "InputBox.h"

#include <sched.h>

#include "Bundle.h"
#include "DisplayHooks.h"
#include "NibWindows.h"
#include "Strings.h"

namespace {

constexpr uint32_t kOkCommand = 1002;
constexpr uint32_t kCancelCommand = 1003;
constexpr size_t kEditReadLimit = 256;  // bytes, the terminator included

// One box per process.
struct InputBoxState {
  std::string* result = nullptr;
  bool quit = false;
  OSType quitCode = 0;
};
InputBoxState gBoxState;

void PostQuit(OSType code) {
  gBoxState.quit = true;
  gBoxState.quitCode = code;
}

std::string FieldText(uint32_t box, size_t limit) {
  std::string text = GetBackend().InputBoxText(box);
  if (text.size() > limit) text.resize(limit);
  return text;
}

}  // namespace

void InputBoxProc(uint32_t box, const InputBoxMessage& message) {
  switch (message.kind) {
    case InputBoxMessage::Kind::Close:
      PostQuit(0);
      return;
    case InputBoxMessage::Kind::ReturnUp:
      // Return on the box confirms what the field holds, as Ok does.
      if (!message.boxHasFocus) return;
      if (gBoxState.result) *gBoxState.result = FieldText(box, kEditReadLimit - 1);
      PostQuit(kResultOK);
      return;
    case InputBoxMessage::Kind::EditChanged: {
      std::string text = message.text.substr(0, kEditReadLimit - 1);
      const size_t end = text.find_first_of("\r\n");
      if (end == std::string::npos) return;
      text.resize(end);
      if (gBoxState.result) *gBoxState.result = text;
      PostQuit(kResultOK);
      return;
    }
    case InputBoxMessage::Kind::Command:
      if (message.command == kOkCommand) {
        if (gBoxState.result) *gBoxState.result = FieldText(box, 255);
        PostQuit(kResultOK);
      } else if (message.command == kCancelCommand && gBoxState.result) {
        gBoxState.result->clear();
        PostQuit(kResultCancel);
      }
      return;
  }
}

OSType InputBox(ConstStr255Param prompt, StringPtr ioText) {
  const std::string initial(reinterpret_cast<const char*>(ioText + 1), ioText[0]);
  const SInt32 wasInMenuMode = InMenuMode();
  EnterMenuMode();

  Backend& backend = GetBackend();
  int desktopWidth = 0, desktopHeight = 0;
  backend.DisplaySize(desktopWidth, desktopHeight);
  const int width = static_cast<int>(static_cast<float>(desktopWidth) * 0.25f);
  const int x = desktopWidth / 2 - width / 2, y = desktopHeight / 2 - 75;
  const PlatformRect frame{y, x, y + 150, x + width};

  char resources[kPathBufferSize];
  GetBundleResourcesPath(resources, sizeof resources);
  const std::string fontPath = std::string(resources) + "/Fonts/Geneva.ttf";
  const std::string promptText(reinterpret_cast<const char*>(prompt + 1), prompt[0]);

  std::string result;
  gBoxState = InputBoxState{&result, false, 0};
  const uint32_t box = backend.OpenInputBox(frame, promptText.c_str(), initial.c_str(), fontPath.c_str());
  if (!box) {
    // Nothing would ever end the wait.
    gBoxState = InputBoxState{};
    if (!wasInMenuMode) LeaveMenuMode();
    return kResultCancel;
  }
  while (!gBoxState.quit) {
    InputBoxMessage message;
    while (!gBoxState.quit && backend.NextInputBoxMessage(box, message)) InputBoxProc(box, message);
    backend.RunDueTimers();
    sched_yield();
  }
  backend.CloseInputBox(box);
  const OSType answer = gBoxState.quitCode == kResultOK ? kResultOK : kResultCancel;
  gBoxState = InputBoxState{};
  if (!wasInMenuMode) LeaveMenuMode();
  Str255 text;
  CToPStr(result.substr(0, 255).c_str(), text);
  PStrCopy31(text, ioText);
  return answer;
}
