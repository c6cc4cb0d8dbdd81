#include "BrightnessLevels.h"

void BuildBrightGammaTables(GammaTableHandle) {}
