// Runs one blit request on test maps three ways: through the real dispatcher,
// through the real set-up step followed by a chosen table slot, and through
// the reference model on copies of the maps, so that the results can be
// compared byte for byte.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "BlitMaps.h"
#include "BlitReference.h"

namespace blitref {

enum class Family { COPY8, COPY16, COPY32, SCALE8, SCALE16, SCALE32 };

int DepthOf(Family f);
Walk WalkOf(Family f);
const char* NameOf(Family f);
// The family of the other walk at the same depth (COPY16 <-> SCALE16).
Family Twin(Family f);

struct Blit {
  Family family = Family::COPY16;
  TestMap* src = nullptr;  // may be the destination
  TestMap* dst = nullptr;
  TestMap* mask = nullptr;
  Rect srcRect{};
  Rect dstRect{};
  std::optional<Rect> clip;
  std::optional<Rect> maskRect;
  uint32_t mode = 0;
  uint32_t color = kNoColor;
  const void* lookup = nullptr;
  const void* trans = nullptr;
  uint8_t flipH = 0;
  uint8_t flipV = 0;
  int8_t rotation = 0;

  std::string Describe() const;
};

// The slot and folded arguments the real set-up step chose, or nothing.
std::optional<SlotCall> RealSelect(const Blit& b);

// Through COPYn / SCALEn.
void RunDispatcher(const Blit& b);
// Through COPY16AllFlags (16 bits, COPY only).
void RunAllFlagsDispatcher(const Blit& b);
// The real set-up for b's geometry (with b's mask only when the slot has the
// mask flag), then slot call.slot with call's mode, colour and tables. False
// when the set-up had nothing to draw.
bool RunSlot(const Blit& b, const SlotCall& call);
// The same set-up (with b's mask), then COPY16AllFlagsBlit.
bool RunAllFlagsSlot(const Blit& b, const SlotCall& call);

// Copies of the maps a blit touches, for the model to draw into.
class ModelWorld {
 public:
  explicit ModelWorld(const Blit& b);
  // b's request, addressed to the copies.
  Request request(const Blit& b) const;
  void Dispatch(const Blit& b) const;
  void Slot(const Blit& b, const SlotCall& call, Rules rules = Rules::Plain) const;
  // "" when b's real maps equal the copies byte for byte, guards included.
  std::string Diff(const Blit& b) const;

 private:
  std::unique_ptr<TestMap> src_, dst_, mask_;
};

}  // namespace blitref
