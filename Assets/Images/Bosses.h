// The two boss warships, drawn at their own size (the boss rect is the picture).
#pragma once

#include "Canvas.h"

namespace art {

// 192 x 128, nose down: core at x 84-108, turrets and nacelles at x 68 and 124.
Canvas DrawBoomerang();
// 88 x 216, nose down: core strip x 32-56 along the spine.
Canvas DrawBlimp();

}  // namespace art
