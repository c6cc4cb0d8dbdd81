#include "ControlInternals.h"

namespace {

constexpr float kShadowAlpha = 1.0f - 0.85f;
constexpr float kArmedGrey = 0.75f;

}  // namespace

// ButtonGL ----------------------------------------------------------------------

ButtonGL::ButtonGL() {
  kind = kControlButton;
  images = mainGUI.buttonImages;
  clickSound = &mainGUI.buttonClickSound;
}

void ButtonGL::RollOver() {
  if (clickSound) PlayControlSound(clickSound, &rect);
}

void ButtonGL::Draw() {
  if (!visible) return;
  SInt8 offset = 0;
  if (images && images[0].textureName && images[1].textureName && images[2].textureName) {
    // Enabled: a shadow pass, then the face; disabled: the face only.
    for (int p = enabled ? 1 : 0; p >= 0; --p) {
      for (int i = 0; i < 3; ++i) {
        if (p == 1) {
          SetImageColor(&images[i], 0.0f, kShadowAlpha);
        } else {
          SetImageColor(&images[i], armed ? kArmedGrey : 1.0f, enabled ? 1.0f : 0.25f);
        }
      }
      const SInt16 shift = p == 1 ? 3 : (armed ? 1 : 0);
      const Rect r = {static_cast<SInt16>(rect.top + shift), static_cast<SInt16>(rect.left + shift),
                      static_cast<SInt16>(rect.bottom + shift), static_cast<SInt16>(rect.right + shift)};
      DrawCapsAndTiles(images, r, r.left + images[0].imageWidth, r.right - images[2].imageWidth, images[1].imageWidth);
      offset = static_cast<SInt8>(shift);
    }
  }
  DrawLabel(offset);
}

void ButtonGL::DrawLabel(SInt8 offset) {
  GLImage* label = labelImage ? labelImage : &titleImage;
  label->alpha = enabled ? 1.0f : 0.25f;
  const SInt32 w = label->imageWidth;
  const SInt32 h = label->imageHeight;
  const SInt32 left = rect.left + (rect.right - rect.left) / 2 - w / 2 + offset;
  const SInt32 top = rect.top + (rect.bottom - rect.top) / 2 - h / 2 - 1 + offset;
  const Rect dest = {static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + h),
                     static_cast<SInt16>(left + w)};
  DrawGLImage(label, &dest);
}

// CheckboxGL and RadioGL ---------------------------------------------------------

CheckboxGL::CheckboxGL() {
  kind = kControlCheckbox;
  images = mainGUI.checkboxImages;
}

RadioGL::RadioGL() {
  kind = kControlRadio;
  images = mainGUI.radioImages;
}

void CheckboxGL::RollOver() { PlayControlSound(&mainGUI.checkClickSound, &rect); }

SInt16 CheckboxGL::FitWidth() {
  rect.right = static_cast<SInt16>(rect.left + images[0].imageWidth + 8 + titleImage.imageWidth);
  return rect.right;
}

void CheckboxGL::Render() {
  RenderTitle();
  FitWidth();
}

void CheckboxGL::Draw() {
  if (!visible) return;
  GLImage* box = value > 0 ? &images[1] : &images[0];
  box->red = box->green = box->blue = armed ? kArmedGrey : 1.0f;
  const Rect dest = {rect.top, rect.left, static_cast<SInt16>(rect.top + box->imageHeight),
                     static_cast<SInt16>(rect.left + box->imageWidth)};
  DrawGLImage(box, &dest);
  DrawLabel();
}

void CheckboxGL::DrawLabel() {
  const SInt32 x0 = rect.left + images[0].imageWidth;
  const SInt32 y0 = rect.top + (rect.bottom - rect.top) / 2 - titleImage.imageHeight / 2;
  const SInt32 w = titleImage.imageWidth;
  const SInt32 h = titleImage.imageHeight;
  auto at = [&](SInt32 top, SInt32 left) {
    const Rect dest = {static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + h),
                       static_cast<SInt16>(left + w)};
    DrawGLImage(&titleImage, &dest);
  };
  SetImageColor(&titleImage, 0.0f, kShadowAlpha);
  at(y0 + 2, x0 + 6);
  if (armed) {
    SetImageColor(&titleImage, kArmedGrey, 1.0f);
    at(y0 + 1, x0 + 5);
  } else {
    SetImageColor(&titleImage, 1.0f, 1.0f);
    at(y0, x0 + 4);
  }
}
