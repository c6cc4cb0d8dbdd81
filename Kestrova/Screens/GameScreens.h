// The game's screen objects, built and taken down by the start-up list.
#pragma once

#include "MacTypes.h"

// 1 builds them, 0 takes them down in the opposite order.
void InitGameScreens(UInt8 construct);
