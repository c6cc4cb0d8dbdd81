// The players' key bindings: their defaults, the display names of key codes
// and the main screen's panel of ten boxes that rebinds them.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "MacTypes.h"
#include "NamedArray.h"
#include "SoundEffects.h"
#include "SystemUI.h"

// One player's five boxes in key order (left, right, up, down, fire).
struct KeyBox {
  NamedArray<GLImage> image;      // the rendered key names
  NamedArray<Rect> rect;          // the boxes
  NamedArray<UInt8> conflicted;   // conflict countdowns in ticks, from 5
};

struct KeyPanel {
  KeyPanel();
  // Deletes the frame pieces' textures.
  ~KeyPanel();
  KeyPanel(const KeyPanel&) = delete;
  KeyPanel& operator=(const KeyPanel&) = delete;

  GLImage framePieces[3];  // left, middle, right slice of the box frame
  ALSound* selectSound = nullptr;
  ALSound* setSound = nullptr;
  ALSound* conflictSound = nullptr;
  SInt8 playerCount = 0;
  SInt8 keyCount = 0;
  SInt8 selectedPlayer = -1;  // -1: no box selected
  SInt8 selectedKey = -1;
  SInt8 blinkCounter = 0;  // 0..10 on the 20 Hz tick
  UInt8 conflictFlag = 0;
  NamedArray<KeyBox> boxes;  // one per player
};

extern StartupObject<KeyPanel> gKeyPanel;
// TrackKeyBoxes' memory across steps: 1 while the button is up (a press then
// acts once), and the code last taken by the key scan (65535: none).
extern UInt8 KeyBoxMouseLatch;
extern UInt16 LastKeyTaken;

// The start-up entry's work: builds the panel and resets the two values above;
// 0 takes it down.
void InitKeyPanel(UInt8 construct);

void SetDefaultKeys();
// The code SetDefaultKeys gives a player's key (0..1, 0..4).
UInt8 DefaultKeyCode(int player, int key);
// The key's name into name, in brackets when asked; 0 for a single character
// (upper-cased), 1 for a word or "???".
UInt8 GetKeyDisplayName(UInt8 code, StringPtr name, UInt8 bracket);
// 1 for the keys that have no character of their own. Nothing calls it.
UInt8 IsSpecialKey(SInt16 code);
// Answers 95. Nothing calls it.
SInt32 KeyPanelConstant();

// The main screen's set-up of the panel: counts, arrays, rects and images.
void SetupKeyPanel(KeyPanel* panel);
void BuildKeyImage(KeyPanel* panel, SInt8 player, SInt8 key);
// Once a step while the main screen takes input: clicks select a box, keys
// bind the selected one.
void TrackKeyBoxes(KeyPanel* panel, const MouseState* state);
// Once a 20 Hz tick.
void StepKeyBoxBlink(KeyPanel* panel);
void DrawKeyBoxes(KeyPanel* panel);
void DrawKeyBoxFrame(KeyPanel* panel, const Rect* rect, UInt8 red);
