// Seeded random requests for the extended 16-bit families, and the harness
// that runs one through the real dispatcher, the real set-up and a chosen
// slot, or the extended reference on copies of its maps.
#pragma once

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "BlitCases.h"
#include "BlitExtended.h"
#include "BlitReferenceX.h"

namespace blitref {

struct BlitX {
  Blit base;  // family COPY16 or SCALE16; lookup and colour as the caller passes them
  TestMap* alpha = nullptr;  // an 8-bit map, or base.src itself
  std::optional<Rect> alphaRect;
  std::optional<BlitTint> tint;

  bool scale() const { return base.family == Family::SCALE16; }
  std::string Describe() const;
};

struct RandomCaseX {
  RandomCase base;
  std::unique_ptr<TestMap> alphaMap;
  // A table (or nil) for direct calls of colour slots in modes 3 and 19.
  const uint16_t* testTable = nullptr;
  BlitX blit;
};

// One of a few full 65,536-entry tables (about 30 % key entries, some with
// bit 15), made once: a table per request would cost more than the blit.
const uint16_t* SharedLookupX(std::mt19937& rng);

// Which options a request asks for: the seven slot flags as wishes. The
// dispatcher folds some (a colour through a table, a colour's tint) and a
// bright wish wins over a mapping one, so a wish of a stub slot still makes a
// request that reaches a real one.
struct WishX {
  unsigned flags = 0;
  // Colour wishes: sometimes a tint that recolours the colour.
  bool tintColor = true;
};

// A request for COPY16X or SCALE16X. A wish of a real slot's flags makes the
// dispatcher pick that slot (a colour slot whose wish has no tint aside).
RandomCaseX MakeCaseX(bool scale, std::mt19937& rng, const WishX& wish, uint32_t mode,
                      const CaseShape& shape = {});

// The real set-up of b, or nothing.
std::optional<BlitSetupX> RealSetupX(const BlitX& b);
// Through COPY16X / SCALE16X.
void RunDispatcherX(const BlitX& b);
// The other family's dispatcher on the same request (COPY16X <-> SCALE16X).
void RunTwinDispatcherX(const BlitX& b);
// The real set-up of b, then slot call.slot with call's mode and table in
// place of the set-up's. False when the set-up had nothing to draw.
bool RunSlotX(const BlitX& b, const SlotCallX& call);

// Copies of every map a request touches, for the reference to draw into.
class WorldX {
 public:
  explicit WorldX(const BlitX& b);
  RequestX request(const BlitX& b) const;
  void Dispatch(const BlitX& b) const { ReferenceDispatchX(request(b)); }
  void Slot(const BlitX& b, const SlotCallX& call) const { ReferenceSlotX(request(b), call); }
  // "" when b's real maps equal the copies byte for byte, guards included.
  std::string Diff(const BlitX& b) const;

 private:
  TestMap* CopyOf(const BlitX& b, const TestMap* m) const;
  std::unique_ptr<TestMap> src_, dst_, mask_, alpha_;
};

// Alpha bytes: mostly 0..40, some 0 and 32, some up to 255.
uint8_t RandomAlpha(std::mt19937& rng);

}  // namespace blitref
