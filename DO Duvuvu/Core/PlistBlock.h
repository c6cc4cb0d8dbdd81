// The data blocks that "data" nodes own (shared by the tree and its reader).
#pragma once

#include "MacTypes.h"

// A memory-manager block whose recorded size is exactly size (0 allowed);
// "Fatal memory error!" at location when none can be had.
Ptr NewPlistBlock(SInt32 size, const char* location);
