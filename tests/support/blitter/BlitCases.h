// Seeded random blit requests: maps, rectangles, orientation, clip, mask,
// mode, colour and tables, with pixel values kept within what the tables
// cover (at 32 bits lookups and translucency need small values).
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "BlitHarness.h"

namespace blitref {

// The modes every randomised test draws from.
extern const uint32_t kTestModes[13];

// Which options a case uses. For a direct slot call these are the slot's own
// flags (plus a lookup table for a colour slot in modes 3 and 19).
struct CaseFlags {
  bool mask = false;
  bool color = false;
  bool lookup = false;
  bool trans = false;
  // At 16 and 32 bits: pass a tiny table the dispatcher must ignore instead
  // of a real one (the slot calls need the real one).
  bool dummyTrans = false;
};

// How a scaled case's destination width relates to its source width: the
// fast row walks (halving, same width, doubling) need these exact forms.
enum class Across { Random, Half, Double, Same };

struct CaseShape {
  // -1: random; else the orientation index 0..15 (rotation, flipH, flipV).
  int orientation = -1;
  // COPY-sized geometry even for a SCALE family (oriented source = destination).
  bool equalSizes = false;
  // Allow the source map to be the destination map.
  bool allowSameMap = true;
  int maxSide = 24;
  // Map widths up to this (0: maxSide), so that rows can outrun vector loops.
  int maxWidth = 0;
  // Scaled widths only. Half makes an odd source width now and then, halved
  // rounding down or up (just over and just under 2:1).
  Across across = Across::Random;
  // Chance of source = destination, in percent.
  int sameMapPercent = 15;
  // With source = destination: the destination a few pixels off the source,
  // so that the two overlap in every direction.
  bool nearOverlap = false;
  // Clips that often cut the first and last few columns and rows.
  bool edgeClips = false;
};

// One random request with the maps and tables it owns.
struct RandomCase {
  std::unique_ptr<TestMap> src;  // null when the source is the destination
  std::unique_ptr<TestMap> dst;
  std::unique_ptr<TestMap> mask;
  std::unique_ptr<PixelTable> lookup;
  std::vector<uint8_t> dummyTrans;  // a tiny table the 16/32-bit dispatchers must ignore
  Blit blit;
};

// mode is the mode the kernel will see (before the dispatcher's rewrite it is
// the same choice); it decides whether key pixels may be drawn values.
RandomCase MakeCase(Family family, std::mt19937& rng, const CaseFlags& flags, uint32_t mode,
                    const CaseShape& shape = {});

// Fills `rect`-style relative geometry for an existing blit: picks a mask
// rectangle that keeps every mask read inside the mask map (nothing when the
// request draws nothing).
void PickMaskRect(Blit& b, std::mt19937& rng);

}  // namespace blitref
