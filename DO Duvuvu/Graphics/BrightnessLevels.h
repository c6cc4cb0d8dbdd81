// The screen's brightness levels: 49 prepared tables from black through
// normal to white.
#pragma once

#include "GammaFades.h"

// The 49 gamma levels from the base table; nothing while the fades are off.
void BuildBrightGammaTables(GammaTableHandle base);
