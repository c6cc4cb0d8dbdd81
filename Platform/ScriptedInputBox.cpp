// The scripted backend's input box: played messages and a field text.
#include "ScriptedBackend.h"
#include "Sys.h"

namespace {
constexpr uint32_t kBoxIdBase = 0x10000;
}

void ScriptedBackend::ScriptInputBox(std::vector<TimedInputBoxMessage> messages, std::string fieldText) {
  boxScript_ = std::move(messages);
  boxField_ = std::move(fieldText);
}

uint32_t ScriptedBackend::OpenInputBox(const PlatformRect& frame, const char* prompt, const char* initial,
                                       const char* fontPath) {
  if (failInputBox || boxOpen_) return 0;
  inputBoxes_.push_back({frame, prompt ? prompt : "", initial ? initial : "", fontPath ? fontPath : "", false});
  boxOpen_ = true;
  boxOpenedMs_ = MonotonicMilliseconds();
  return kBoxIdBase + static_cast<uint32_t>(inputBoxes_.size());
}

bool ScriptedBackend::NextInputBoxMessage(uint32_t box, InputBoxMessage& out) {
  if (!boxOpen_ || box != kBoxIdBase + inputBoxes_.size() || boxScript_.empty()) return false;
  if (MonotonicMilliseconds() - boxOpenedMs_ < boxScript_.front().afterMs) return false;
  out = boxScript_.front().message;
  boxScript_.erase(boxScript_.begin());
  if (out.kind == InputBoxMessage::Kind::EditChanged) boxField_ = out.text;
  return true;
}

std::string ScriptedBackend::InputBoxText(uint32_t box) {
  return boxOpen_ && box == kBoxIdBase + inputBoxes_.size() ? boxField_ : std::string();
}

void ScriptedBackend::CloseInputBox(uint32_t box) {
  if (!boxOpen_ || box != kBoxIdBase + inputBoxes_.size()) return;
  boxOpen_ = false;
  inputBoxes_.back().closed = true;
}
