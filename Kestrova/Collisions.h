// Bodily contact between the things on the field.
#pragma once

#include "MacTypes.h"

void DoCollisions();
// 1 when the rects meet top to bottom, 0 side by side.
UInt8 RectsCollide(const Rect* a, const Rect* b);
