#include "Controls.h"

#include <algorithm>

#include "ControlInternals.h"
#include "ImageBuff.h"
#include "SourcePool.h"

ControlGL* captureControl = nullptr;
ControlGL* pressControl = nullptr;
bool pressInProgress = false;
ControlGL* focusedField = nullptr;

namespace {

ControlSoundRecorder gSoundRecorder = nullptr;
void* gSoundRecorderContext = nullptr;

}  // namespace

// Tracking helpers ------------------------------------------------------------

void UseRectWhenTrackRectEmpty(ControlGL* control) {
  const Rect& t = control->trackRect;
  if (t.right <= t.left || t.bottom <= t.top) control->trackRect = control->rect;
}

bool PointInHalfOpen(const Rect& r, SInt16 v, SInt16 h) {
  return r.top <= v && v < r.bottom && r.left <= h && h < r.right;
}

Point RectCentre(const Rect& r) {
  return Point{static_cast<SInt16>(r.top + (r.bottom - r.top) / 2),
               static_cast<SInt16>(r.left + (r.right - r.left) / 2)};
}

Rect ClampToBuffer(Rect r, const ImageBuff* buffer) {
  r.right = std::min<SInt16>(std::max<SInt16>(r.right, 0), buffer->width);
  r.bottom = std::min<SInt16>(std::max<SInt16>(r.bottom, 0), buffer->height);
  return r;
}

// ControlGL -------------------------------------------------------------------

ControlGL::ControlGL() : clickSound(nullptr) {}

ControlGL* ControlGL::TrackMouse(MouseState* state, UInt8 pressValueArg, UInt8 latch) {
  if (!visible || !enabled) return nullptr;
  UseRectWhenTrackRectEmpty(this);
  if (clickPending) {
    // A click made by the program: the controls tracked after this one see it too.
    state->button = 1;
    state->where = RectCentre(trackRect);
    clickPending = 0;
    pressInProgress = true;
  }
  ControlGL* result = nullptr;
  if (state->button == 0) {
    if (!latched) {
      if (captureControl == this) {
        if (armed) result = this;
        armed = 0;
        captureControl = nullptr;
      }
      pressControl = nullptr;
      pressInProgress = false;
    }
  } else if (state->button == 1) {
    const bool inside =
        PointInHalfOpen(trackRect, state->where.v, state->where.h) && (pressInProgress || state->mouseDown);
    if (inside) {
      if (!captureControl) {
        RollOver();
        pressInProgress = true;
      }
      if (!captureControl || captureControl == this) {
        captureControl = this;
        armed = 1;
        latched = latch;
        pressValue = pressValueArg;
      }
    } else {
      armed = 0;
      if (pressControl == this && !captureControl) pressInProgress = false;
    }
  }
  if (state->button && !pressControl) pressControl = this;
  return result;
}

void ControlGL::RenderTitle() {
  const SInt32 pad = static_cast<SInt32>(mainGUI.titleSize * 0.125f);
  ImageBuff* buffer = mainGUI.imageBuff;
  if (!buffer) return;
  char text[32];
  std::copy(title + 1, title + 1 + title[0], text);
  text[title[0]] = 0;
  const SInt32 width = MeasureText(text, mainGUI.titleFont, mainGUI.titleSize);
  const SInt32 height = rect.bottom - rect.top;
  const Rect image =
      ClampToBuffer(Rect{0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width + 3 * pad)}, buffer);
  ReadyImageBuff(buffer);
  ClearImageBuff(buffer);
  buffer->red = buffer->green = buffer->blue = 0.0f;
  buffer->alpha = 1.0f;
  DrawTextToImage(buffer, text, mainGUI.titleFont, mainGUI.titleSize, static_cast<float>(pad),
                  static_cast<float>(height / 2 + 4 * pad), 0);
  MakeGLImageFromBuffer(&titleImage, buffer, &image);
  titleImage.forceBlend = 1;
}

void ControlGL::ToggleValue() { value = value == 0 ? 1 : 0; }

void ResetControlTrackingForTesting() {
  captureControl = nullptr;
  pressControl = nullptr;
  pressInProgress = false;
  focusedField = nullptr;
  SliderGL::pressControl = nullptr;
  SliderGL::pressInProgress = true;
  ResetTextFieldTracking();
}

// Sounds ----------------------------------------------------------------------

void PlayControlSoundAt(const ALSound* sound, Point where) {
  if (!sound) return;
  const UInt32 source = PickSoundSource(1);
  const UInt32 buffer = ALSound::GetBuffer(sound, 0);
  if (gSoundRecorder) {
    gSoundRecorder(ControlSoundRecord{buffer, source, where}, gSoundRecorderContext);
    return;
  }
  PlaySoundAtPoint(buffer, source, &where, 1.0f, 1.0f, 0);
}

void PlayControlSound(const ALSound* sound, const Rect* rect) { PlayControlSoundAt(sound, RectCentre(*rect)); }

void SetControlSoundRecorder(ControlSoundRecorder recorder, void* context) {
  gSoundRecorder = recorder;
  gSoundRecorderContext = context;
}

void PlayControlSoundInRect(const ALSound* sound, const Rect* rect) {
  if (!sound) return;
  if (gSoundRecorder) {
    PlayControlSoundAt(sound, RectCentre(*rect));
    return;
  }
  PlaySoundInRect(ALSound::GetBuffer(sound, 0), PickSoundSource(1), rect, 1.0f, 1.0f, 0);
}
