#include <algorithm>

#include "ControlInternals.h"

ControlGL* SliderGL::pressControl = nullptr;
bool SliderGL::pressInProgress = true;

namespace {

constexpr float kShadowAlpha = 1.0f - 0.85f;

}  // namespace

SliderGL::SliderGL() {
  kind = kControlSlider;
  images = mainGUI.sliderTrackImages;
  thumbImage = &mainGUI.sliderThumbImage;
  sound = &mainGUI.sliderSound;
}

void SliderGL::Draw() {
  const float alpha = enabled ? 1.0f : 0.33f;
  for (int i = 0; i < 3; ++i) SetImageColor(&images[i], 1.0f, alpha);
  // Caps and tiles overlap by 2 pixels.
  DrawCapsAndTiles(images, rect, rect.left + images[0].imageWidth - 2, rect.right - images[2].imageWidth + 2,
                   images[1].imageWidth - 2);
  UseRectWhenTrackRectEmpty(this);

  const SInt32 w = thumbImage->imageWidth;
  const SInt32 h = thumbImage->imageHeight;
  const SInt32 range = static_cast<SInt32>(maximum) - minimum;
  // A range of 0 would divide by zero: the thumb then sits at the start.
  const SInt32 along =
      range > 0 ? (static_cast<SInt32>(value) - minimum) * (trackRect.right - trackRect.left) / range : 0;
  const auto left = static_cast<SInt16>(along + trackRect.left - w / 2);
  const auto top = static_cast<SInt16>(trackRect.top + (trackRect.bottom - trackRect.top) / 2 - h / 2);
  thumbRect = Rect{top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w)};
  if (enabled) {
    SetImageColor(thumbImage, 0.0f, kShadowAlpha);
    const Rect shadow = {static_cast<SInt16>(top + 2), static_cast<SInt16>(left + 2), static_cast<SInt16>(top + h + 2),
                         static_cast<SInt16>(left + w + 2)};
    DrawGLImage(thumbImage, &shadow);
  }
  SetImageColor(thumbImage, armed ? 0.75f : 1.0f, alpha);
  DrawGLImage(thumbImage, &thumbRect);
}

SliderGL* SliderGL::TrackThumb(MouseState* state) {
  if (!enabled) return nullptr;
  UseRectWhenTrackRectEmpty(this);
  SliderGL* result = nullptr;
  if (state->button == 0) {
    if (captureControl == this) {
      if (armed) result = this;
      armed = 0;
      captureControl = nullptr;
    }
    SliderGL::pressInProgress = true;
    SliderGL::pressControl = nullptr;
  } else if (state->button == 1) {
    const bool inside = PointInHalfOpen(rect, state->where.v, state->where.h) && SliderGL::pressInProgress;
    if (inside) {
      if (!captureControl) captureControl = this;
    } else {
      armed = 0;
      if (SliderGL::pressControl == this && !captureControl) SliderGL::pressInProgress = false;
    }
    if (captureControl == this && SliderGL::pressInProgress) {
      // A captured thumb follows the mouse even outside, pinned at the ends.
      const SInt16 old = value;
      const SInt32 width = trackRect.right - trackRect.left;
      SInt32 v = minimum;
      if (width > 0) v = minimum + (state->where.h - trackRect.left) * (static_cast<SInt32>(maximum) - minimum) / width;
      value = static_cast<SInt16>(std::clamp<SInt32>(v, minimum, std::max<SInt32>(minimum, maximum)));
      armed = 1;
      result = this;
      if (value != old && sound) PlayControlSound(sound, &rect);
    }
  }
  if (state->button && !SliderGL::pressControl) SliderGL::pressControl = this;
  return result;
}
