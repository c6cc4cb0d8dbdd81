#include "GammaFades.h"

#include "ResultCodes.h"

GammaTableHandle NewGammaTable() { return nullptr; }

SInt32 GetDisplayGammaTable(UInt32, GammaTableHandle) { return kErrFailed; }

void FadeToColorNow(UInt16, UInt16, UInt16) {}

GammaTableHandle GetOrigGammaTable() { return nullptr; }

void ApplyGammaTable(GammaTableHandle, UInt32) {}
