// The game's whole frame: the play field in its fixed layers, the status
// display, the screens, the full-screen button, the cursor and the overlays.
#pragma once

#include "GLImage.h"
#include "GameTypes.h"
#include "MacTypes.h"

void DrawGameFrame();
// The play field and the status display; nothing while no game is on.
void DrawGameObjects();

// Helpers the screens share.
// Draws through DrawGLImageTinted in the colour, then restores the image's own.
void DrawImageTintedWith(GLImage* image, const Rect* rect, const float* colour);
void DrawEngineFlame(const Rect* rect, const GameColor& colour, float alpha);
// rect: top, left, bottom, right.
void DrawEngineFlameF(const float* rect, const GameColor& colour, float alpha);
void DrawExplosion(const Rect* rect, SInt8 frame);
void DrawStatusBar(const StatusBar* bar, GLImage* image);
void DrawPlayerScore(SInt8 player);
// The meteors, also behind the main screen.
void DrawZadados();

// Drawn by nothing in the game.
void DrawSprite(KVSprite* sprite);
void DrawPauseButtons();
void ResetSpareRect();
extern Rect SpareRect;
