// The main screen: the menu between games, with the key panel, the volume
// sliders and the high-score table.
#pragma once

#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "Music.h"
#include "NamedArray.h"
#include "ScreenList.h"

// The buttons in their order down the left side.
enum : UInt8 { kMainPlay = 0, kMainHelp = 1, kMainSound = 2, kMainMusic = 3, kMainQuit = 4, kMainButtonCount = 5 };
// Fade directions and pending actions.
enum : UInt8 { kMainFadingIn = 1, kMainFadingOut = 255 };
enum : UInt8 { kMainActionPlay = 0, kMainActionQuit = 4, kMainActionNone = 255 };

class MainScreen : public ScreenGL {
 public:
  MainScreen();
  // Deletes the textures, unregisters the music (its own destructor).
  ~MainScreen() override;
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  static void Open(MainScreen* screen);
  // Start a game once the picture has faded out.
  static void RequestPlay(MainScreen* screen);
  void Process() override;
  void Draw() override;

  GLImage backdrop;
  GLImage nebula;
  GLImage scoreTableImage;
  GLImage creditsImage;
  MusicPlayer music;
  Rect nebulaRect = {0, 0, 0, 0};
  Rect scoreTableRect = {142, 379, 460, 620};
  Rect creditsRect = {0, 0, 0, 0};
  NamedArray<KVButton> buttons;
  KVButton scorePanel;  // the table's header; a click asks to clear the table
  UInt8 fadeDirection = kMainFadingIn;
  UInt8 pendingAction = kMainActionNone;
  float scale = 0.75f;
};

extern StartupObject<MainScreen> gMainScreen;

// Opens the one main screen. The game does not call it.
void OpenMainScreen();
// The version and notice line, right-aligned in the top right.
void BuildCreditsLine(MainScreen* screen);
