// The backend over SDL2's video, events and mouse.
#pragma once

#include "Backend.h"

// A new SDL backend; video starts with its InitVideo.
Backend* NewSdlBackend();
