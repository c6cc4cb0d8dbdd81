// The variant tables of the plain families: slots 0-11 are kernels, 12-15
// stubs that raise an alert naming themselves and draw nothing.
#pragma once

#include "BlitTypes.h"

extern const BlitVariantTable<UInt8> COPY8Variants;
extern const BlitVariantTable<UInt16> COPY16Variants;
extern const BlitVariantTable<UInt32> COPY32Variants;
extern const BlitVariantTable<UInt8> SCALE8Variants;
extern const BlitVariantTable<UInt16> SCALE16Variants;
extern const BlitVariantTable<UInt32> SCALE32Variants;

// One 16-bit copy that reads its flags from the arguments: mask = maskStart,
// trans = transTable, color = color != kBlitNoColor, lookup = lookupTable.
// Without a mask, modes 16-19 draw as 0-3; it never tests the destination in
// modes 3 and 19; lookup + colour draws lookup[colour] in modes 0-2.
void COPY16AllFlagsBlit(const BlitVariantArgs<UInt16>& args);
// Every slot holds COPY16AllFlagsBlit.
extern const BlitVariantTable<UInt16> COPY16AllFlagsVariants;
