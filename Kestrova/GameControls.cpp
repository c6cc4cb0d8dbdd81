#include "GameControls.h"

#include <algorithm>

#include "GLFrame.h"
#include "AudioPrefs.h"
#include "GameAssets.h"
#include "GameSound.h"
#include "Music.h"

StartupObject<std::array<AudioSlider, 2>> gAudioSliders;

namespace {

void OffsetBy(Rect* r, SInt16 dh, SInt16 dv) {
  r->left = static_cast<SInt16>(r->left + dh);
  r->right = static_cast<SInt16>(r->right + dh);
  r->top = static_cast<SInt16>(r->top + dv);
  r->bottom = static_cast<SInt16>(r->bottom + dv);
}

void SetShade(GLImage* image, float value) { image->red = image->green = image->blue = value; }

SInt16 CentreV(const Rect& r) { return static_cast<SInt16>((r.top + r.bottom) / 2); }

}  // namespace

void RoundButton::Draw() {
  if (!visible) return;
  GLImage* image = labelImage ? labelImage : &face;
  Rect dest = rect;
  Rect shadowRect = rect;
  OffsetBy(&shadowRect, 8, 8);
  DrawGLImage(&shadow, &shadowRect);
  const auto depth = static_cast<SInt8>(pressValue);
  if (armed || depth != 0) {
    const auto offset = static_cast<SInt16>(depth * pressFactor);
    OffsetBy(&dest, offset, offset);
    SetShade(image, 1.0f - depth / 10.0f);
  } else {
    SetShade(image, 1.0f);
  }
  image->alpha = enabled ? 1.0f : 0.25f;
  DrawGLImage(image, &dest);
}

void DrawShadowedImage(GLImage* image, const Rect* rect, SInt8 dh, SInt8 dv, float shadowAlpha) {
  Rect shadowRect = *rect;
  OffsetBy(&shadowRect, dh, dv);
  SetShade(image, 0.0f);
  image->alpha = shadowAlpha;
  DrawGLImage(image, &shadowRect);
  SetShade(image, 1.0f);
  image->alpha = 1.0f;
  DrawGLImage(image, rect);
}

void DrawScreenShade(float alpha) {
  GLImage& shade = gImages->pixel;
  SetShade(&shade, 0.0f);
  shade.alpha = alpha;
  DrawGLImage(&shade, &ScreenRect);
  SetShade(&shade, 1.0f);
  shade.alpha = 1.0f;
}

void DrawSwitchLamp(const KVButton& button, UInt8 on, float scale) {
  GLImage* lamp = on ? &gImages->radioOn : &gImages->radioOff;
  const SInt16 s = static_cast<SInt16>(static_cast<float>(gImages->radioOff.imageWidth) * scale);
  Rect r;
  r.left = button.trackRect.left;
  r.right = static_cast<SInt16>(r.left + s);
  r.top = static_cast<SInt16>(button.rect.top + (button.rect.bottom - button.rect.top) / 2 - s / 2 - 1);
  r.bottom = static_cast<SInt16>(r.top + s);
  float shade = 1.0f;
  const SInt16 c = button.pressValue;
  if (c > 0) {
    r.left = static_cast<SInt16>(r.left + c);
    r.right = static_cast<SInt16>(r.right + c);
    r.top = static_cast<SInt16>(r.top + c);
    r.bottom = static_cast<SInt16>(r.bottom + c);
    shade = 1.0f - c / 6.0f;
  }
  lamp->red = lamp->green = lamp->blue = shade;
  DrawGLImage(lamp, &r);
  lamp->red = lamp->green = lamp->blue = 1.0f;
}

void InitGameControls(UInt8 construct) {
  if (construct)
    gAudioSliders.Construct();
  else
    gAudioSliders.Destroy();
}

SInt16 VolumeToSliderValue(SInt16 volume) { return static_cast<SInt16>((volume + 1) / 32); }

SInt16 SliderValueToVolume(SInt16 value) { return static_cast<SInt16>(std::min(value * 32, 255)); }

void SetupVolumeSliders(ButtonGL* soundButton, ButtonGL* musicButton, float scale) {
  const GLImage& notch = gImages->volume;
  const auto notchWidth = static_cast<SInt16>(notch.imageWidth * scale);
  const auto width = static_cast<SInt16>(kVolumeNotches * notch.imageWidth * scale);
  const auto height = static_cast<SInt16>(notch.imageHeight * scale);
  const ButtonGL* beside[2] = {soundButton, musicButton};
  const SInt16 volumes[2] = {gAudioPrefs.soundVolume, gAudioPrefs.musicVolume};
  const auto left = static_cast<SInt16>(soundButton->rect.right + 8);
  for (int i = 0; i < 2; ++i) {
    AudioSlider& slider = gAudioSliders[i];
    slider.rect.left = left;
    slider.rect.top = static_cast<SInt16>(CentreV(beside[i]->rect) - height / 2);
    slider.rect.right = static_cast<SInt16>(left + width);
    slider.rect.bottom = static_cast<SInt16>(slider.rect.top + height);
    OffsetBy(&slider.rect, 0, -1);
    // One notch to the left, so that the value follows the notch under the mouse.
    slider.trackRect = slider.rect;
    OffsetBy(&slider.trackRect, static_cast<SInt16>(-notchWidth), 0);
    slider.minimum = 0;
    slider.maximum = kVolumeNotches;
    slider.value = VolumeToSliderValue(volumes[i]);
  }
}

void UpdateVolumeSliders(MouseState* mouse) {
  for (int i = 0; i < 2; ++i) {
    AudioSlider& slider = gAudioSliders[i];
    if (!slider.TrackThumb(mouse)) continue;
    const SInt16 volume = SliderValueToVolume(slider.value);
    if (i == kSoundSlider) {
      if (gAudioPrefs.soundVolume == volume) continue;
      gAudioPrefs.soundVolume = volume;
      // Played at the new volume, so the player hears it.
      PlayGameSound(&gSounds->dink, GetGameSource(), &slider.rect, 1.0f, 1.0f, 0);
    } else {
      if (gAudioPrefs.musicVolume == volume) continue;
      gAudioPrefs.musicVolume = volume;
      ApplyMusicVolumes();
    }
  }
}

void DrawAudioSlider(AudioSlider* slider, float scale) {
  GLImage& notch = gImages->volume;
  const auto w = static_cast<SInt8>(notch.imageWidth * scale);
  const auto h = static_cast<SInt8>(notch.imageHeight * scale);
  const auto top = static_cast<SInt16>(CentreV(slider->rect) - h / 2);
  for (SInt16 k = 0; k < kVolumeNotches; ++k) {
    const auto left = static_cast<SInt16>(slider->rect.left + k * w);
    const Rect dest = {top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w)};
    SetShade(&notch, k < slider->value ? 1.0f : 0.25f);
    DrawGLImage(&notch, &dest);
  }
  SetShade(&notch, 1.0f);

  Rect& track = slider->trackRect;
  if (track.right <= track.left || track.bottom <= track.top) track = slider->rect;
  const SInt32 range = static_cast<SInt32>(slider->maximum) - slider->minimum;
  const SInt32 along =
      range > 0 ? (static_cast<SInt32>(slider->value) - slider->minimum) * (track.right - track.left) / range : 0;
  const SInt16 tw = slider->thumbImage ? slider->thumbImage->imageWidth : 0;
  const SInt16 th = slider->thumbImage ? slider->thumbImage->imageHeight : 0;
  const auto centreH = static_cast<SInt16>(track.left + along);
  const SInt16 centreV = CentreV(track);
  slider->thumbRect = Rect{static_cast<SInt16>(centreV - th / 2), static_cast<SInt16>(centreH - tw / 2),
                           static_cast<SInt16>(centreV - th / 2 + th), static_cast<SInt16>(centreH - tw / 2 + tw)};
}
