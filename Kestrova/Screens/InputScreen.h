// The name-entry box of a new high score, one per player.
#pragma once

#include <array>
#include <bitset>
#include <string>

#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "ScreenList.h"
#include "TextField.h"

// A name holds at most this many bytes.
constexpr UInt16 kPlayerNameLimit = 31;

class InputScreen : public ScreenGL {
 public:
  // name: the default name (length-prefixed; nil or empty leaves OK disabled).
  // Player 2's box stands 96 pixels lower while player 1's is shown.
  static void Open(InputScreen* screen, SInt8 player, ConstStr255Param name);
  void Process() override;
  void Draw() override;

  GLImage panel;
  GLImage prompt;
  KVButton okButton;
  TextFieldGL nameField;
  Rect promptRect = {0, 0, 0, 0};
  SInt8 player = 0;
  // Key codes already down when the box took the keys: fire still held from
  // the game types nothing until it is let go.
  std::bitset<256> heldKeys;
};

// A name of spaces alone is no name.
bool IsBlankName(const std::string& name);

// Player 1's box first.
extern StartupObject<std::array<InputScreen, 2>> gInputScreens;
