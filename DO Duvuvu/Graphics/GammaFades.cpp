#include "GammaFades.h"

GammaTableHandle NewGammaTable() { return nullptr; }

SInt32 GetDisplayGammaTable(UInt32, GammaTableHandle) { return -1; }

void FadeToColorNow(UInt16, UInt16, UInt16) {}

GammaTableHandle GetOrigGammaTable() { return nullptr; }

void ApplyGammaTable(GammaTableHandle, UInt32) {}
