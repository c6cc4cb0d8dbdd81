// A test's view of the SDL input box: told each new box's X11 window id.
#pragma once

#include <cstdint>
#include <string>

using InputBoxOpenedHook = void (*)(uint64_t x11Window, void* context);
// Nil removes the hook.
void SetInputBoxOpenedHook(InputBoxOpenedHook hook, void* context);
