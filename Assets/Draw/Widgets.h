// The interface look shared by the single images: glass panels, pill buttons
// and glowing lettering in the game's palette.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "Canvas.h"
#include "Lettering.h"
#include "Masks.h"

namespace art {

inline constexpr Color kNavy{0.0196f, 0.0275f, 0.0588f, 1.0f};    // #05070F
inline constexpr Color kIndigo{0.102f, 0.0824f, 0.251f, 1.0f};    // #1A1540
inline constexpr Color kLavender{0.85f, 0.77f, 0.96f, 1.0f};
inline constexpr Color kMint{0.0f, 1.0f, 0.682353f, 1.0f};
inline constexpr Color kCyan{0.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Color kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Coverage of a rounded rectangle's rim, width pixels wide, inside its edge.
Mask RoundRectRing(int width, int height, float left, float top, float right, float bottom, float radius,
                   float rim);
// Dark translucent glass: navy body at alpha with a faint sheen from the top
// and a lavender rim of rim pixels (none when rim is 0).
void GlassPanel(Canvas& canvas, float left, float top, float right, float bottom, float radius, float alpha,
                float rim, Color rimColor = kLavender);
// Text whose ink is centred on (cx, cy), moved by whole pixels.
Mask CentredTextMask(int width, int height, FT_Face face, const char* text, float size, float cx, float cy);
// The text mask painted with a paint over a soft glow of glowColor.
void GlowText(Canvas& canvas, const Mask& text, const Paint& paint, Color glowColor, float sigma, float strength);
// A pill button filling the canvas: glass body, lavender rim, a centred label
// (shifted left by labelShift to make room for an icon).
Canvas PillButton(int width, int height, FT_Face face, const char* label, float size, float labelShift = 0.0f);
// Largest size, at most maxSize, at which text measures at most width.
float FitTextSize(FT_Face face, const char* text, float maxSize, float width);

}  // namespace art
