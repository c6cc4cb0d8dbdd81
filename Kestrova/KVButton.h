// The game's push button: one image that sinks and darkens while pressed.
#pragma once

#include "Controls.h"
#include "MacTypes.h"

class KVButton : public ButtonGL {
 public:
  KVButton() = default;
  // Draws titleImage in rect: moved by the press depth times pressFactor and
  // darkened to 1 - depth / 6 while pressed; a quarter of its alpha when
  // disabled.
  void Draw() override;

  float pressFactor = 1.0f;  // the smaller screens use 0.75
};
