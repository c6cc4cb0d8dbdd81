// A small window of its own asking the user for one line of text; it really
// waits, running timer tasks meanwhile.
#pragma once

#include <string>

#include "Backend.h"
#include "MacTypes.h"

// 'ok  ' or 'not!'. The result is copied into ioText only when it fits 31
// characters. Without a box: 'not!' at once, the text unchanged.
OSType InputBox(ConstStr255Param prompt, StringPtr ioText);
// The box's message handler.
void InputBoxProc(uint32_t box, const InputBoxMessage& message);
