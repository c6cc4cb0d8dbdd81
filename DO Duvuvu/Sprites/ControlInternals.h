// Helpers the control classes share (not for the controls' users).
#pragma once

#include "Controls.h"

struct ImageBuff;

void UseRectWhenTrackRectEmpty(ControlGL* control);
// Top and left inside, bottom and right outside.
bool PointInHalfOpen(const Rect& r, SInt16 v, SInt16 h);
// Integer halves, toward zero.
Point RectCentre(const Rect& r);
// Keeps an image rectangle inside the buffer, so no texture reads past it.
Rect ClampToBuffer(Rect r, const ImageBuff* buffer);
void PlayControlSoundAt(const ALSound* sound, Point where);
void ResetTextFieldTracking();

// Three images stretched over r: the left cap up to leftCapRight, the right
// cap from rightCapLeft, and the middle tiled between them in steps of step,
// the last tile squeezed to end at the right cap (skipped below 1 px).
void DrawCapsAndTiles(GLImage* images, const Rect& r, SInt32 leftCapRight, SInt32 rightCapLeft, SInt32 step);
void SetImageColor(GLImage* image, float grey, float alpha);
// The same as PlayControlSoundAt, placed at the rect's centre by the audio
// layer (text fields, with their caret rect).
void PlayControlSoundInRect(const ALSound* sound, const Rect* rect);
