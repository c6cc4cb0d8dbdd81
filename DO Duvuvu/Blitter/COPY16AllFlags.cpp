// The run-time-flag 16-bit copy: it picks the walk of the flags it is given.
#include "BlitVariants.h"
#include "BlitWalk.h"

namespace {

// No destination test in modes 3 and 19, unlike the plain families.
struct AllFlagsFamily : blitwalk::Family<UInt16, false, false> {
  static constexpr const char* kName = "COPY16AllFlags";
};

constexpr BlitVariantTable<UInt16> kWalks = blitwalk::MakeVariantTable<AllFlagsFamily>();

constexpr BlitVariantTable<UInt16> MakeAllFlagsTable() {
  BlitVariantTable<UInt16> table{};
  for (auto& entry : table) entry = &COPY16AllFlagsBlit;
  return table;
}

}  // namespace

void COPY16AllFlagsBlit(const BlitVariantArgs<UInt16>& args) {
  BlitVariantArgs<UInt16> a = args;
  const bool mask = a.maskStart != nullptr;
  if (!mask && a.mode >= 16 && a.mode <= 19) a.mode -= 16;
  if (!(a.mode <= 3 || (a.mode >= 16 && a.mode <= 19))) return;
  const bool mode3 = (a.mode & 3) == 3;
  if (mode3 && !a.lookupTable) return;  // nothing to test the source against

  const bool color = a.color != kBlitNoColor;
  bool lookup = a.lookupTable != nullptr;
  if (color && lookup) {
    // Modes 0-2 draw the looked-up colour; mode 3 tests lookup[source] and
    // draws the colour, as a colour walk given the table does.
    if (!mode3) {
      a.color = a.lookupTable[a.color];
      a.lookupTable = nullptr;
    }
    lookup = false;
  }
  const BlitFlags slot = (lookup ? kBlitFlagLookup : 0) | (color ? kBlitFlagColor : 0) |
                         (a.transTable ? kBlitFlagTrans : 0) | (mask ? kBlitFlagMask : 0);
  kWalks[slot](a);
}

constexpr BlitVariantTable<UInt16> COPY16AllFlagsVariants = MakeAllFlagsTable();
