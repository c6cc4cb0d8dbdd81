// The game's round button, the drop-shadowed image and the two volume
// sliders that the main and pause screens share.
#pragma once

#include <array>

#include "Controls.h"
#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "SystemUI.h"

// A button drawn from a face over its own shadow; labelImage, when set, is
// drawn instead of the face.
class RoundButton : public ButtonGL {
 public:
  RoundButton() = default;
  // The shadow 8 pixels right and down, then the face, sunk by the press depth
  // times pressFactor and darkened to 1 - depth / 10; a quarter alpha when
  // disabled.
  void Draw() override;

  GLImage face;
  GLImage shadow;
  float pressFactor = 1.0f;
};

// The image in black at shadowAlpha moved (dh, dv), then in white at full
// alpha in rect; the image is left at (1, 1, 1, 1).
void DrawShadowedImage(GLImage* image, const Rect* rect, SInt8 dh, SInt8 dv, float shadowAlpha);
// The "Pixel" image in black at alpha over the whole screen: what lies behind
// a modal panel is dimmed.
void DrawScreenShade(float alpha);
// The lamp left of a sound or music button, inside its tracking rect: lit
// while the switch is on, sinking and darkening with the button's press.
void DrawSwitchLamp(const KVButton& button, UInt8 on, float scale);

// 0 the sound volume, 1 the music volume; values 0..8, each step 32 of the
// 0..255 volume.
enum : int { kSoundSlider = 0, kMusicSlider = 1 };
constexpr SInt16 kVolumeNotches = 8;
extern StartupObject<std::array<AudioSlider, 2>> gAudioSliders;
// 1 builds the sliders, 0 takes them down.
void InitGameControls(UInt8 construct);

// Places the sliders right of the two buttons and reads the volumes into them.
void SetupVolumeSliders(ButtonGL* soundButton, ButtonGL* musicButton, float scale);
// Tracks both sliders; a changed sound volume plays "Dink" at its slider, a
// changed music volume reaches every music player.
void UpdateVolumeSliders(MouseState* mouse);
// The slider as eight notches, those below its value lit.
void DrawAudioSlider(AudioSlider* slider, float scale);

// value = (volume + 1) / 32; volume = value x 32, at most 255.
SInt16 VolumeToSliderValue(SInt16 volume);
SInt16 SliderValueToVolume(SInt16 value);
