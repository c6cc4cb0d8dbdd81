#include "GameStartup.h"

#include <cstdlib>

#include "AppCallbacks.h"
#include "AppEvents.h"
#include "AppGlobals.h"
#include "Bundle.h"
#include "Clocks.h"
#include "FileClass.h"
#include "FileSpec.h"
#include "FixedResults.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "GammaFades.h"
#include "InputDevices.h"
#include "InterfaceFrames.h"
#include "KVButton.h"
#include "MainLoop.h"
#include "MainPrefs.h"
#include "MainWindow.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "Ports.h"
#include "Screens/GameScreens.h"
#include "Screens/KeyPanel.h"
#include "ShellServices.h"
#include "SourcePool.h"
#include "Startup.h"
#include "StartupPhases.h"
#include "Strings.h"
#include "Sys.h"
#include "SystemUI.h"
#include "EventPoll.h"

namespace {

void InitGlobalsEntry() { InitGameGlobals(kGameGlobalsConstruct); }
void ExitGlobalsEntry() { InitGameGlobals(kGameGlobalsDestroy); }
void InitButtonEntry() {
  FullScreenButton.Construct();
  FullScreenButtonAlpha = 0;
}
void ExitButtonEntry() {
  if (FullScreenButton.IsBuilt()) DeleteGLImageTexture(&FullScreenButton->titleImage);
  FullScreenButton.Destroy();
}
void InitScreensEntry() { InitGameScreens(1); }
void ExitScreensEntry() { InitGameScreens(0); }
void InitKeyPanelEntry() { InitKeyPanel(1); }
void ExitKeyPanelEntry() { InitKeyPanel(0); }
void InitLoopEntry() {
  QuitRequested = 0;
  NextStepTime = 0;
  AnimationPhase = 0;
  PauseLatch = 0;
  AudioTimer = TimerTask{};
}
void ExitLoopEntry() {
  StopTimerTask(&AudioTimer);
  CloseGameTrace();
}

}  // namespace

void RegisterGameStartup() {
  AddStartupEntry({"game loop", InitLoopEntry, ExitLoopEntry});
  AddStartupEntry({"game globals", InitGlobalsEntry, ExitGlobalsEntry});
  AddStartupEntry({"game frame sets", InitGameFrameSets, ExitGameFrameSets});
  AddStartupEntry({"game sounds", InitGameSounds, ExitGameSounds});
  AddStartupEntry({"game images", InitGameImages, ExitGameImages});
  AddStartupEntry({"interface frames", nullptr, ExitInterfaceFrames});
  AddStartupEntry({"full-screen button", InitButtonEntry, ExitButtonEntry});
  AddStartupEntry({"game screens", InitScreensEntry, ExitScreensEntry});
  AddStartupEntry({"game prefs", InitGamePrefsGlobals, nullptr});
  AddStartupEntry({"key panel", InitKeyPanelEntry, ExitKeyPanelEntry});
}

void StartKestrova() {
  InitDefaultDirectory();
  InitFontLibrary();
  InitPerformanceClock();
  InitDirectInputMouse();
  InitDirectInputKeyboard();
  InitStartupServices();
  MarkStartupPhase("devices");

  CToPStr("Kestrova", ApplicationName);
  ApplicationCreator = FOUR_CHAR_CODE("KSTV");
  CodeToPStr(ApplicationCreatorText, ApplicationCreator);

  gMainPrefs.SetFileName("Kestrova Preferences");
  gScores->SetFileName("Kestrova Scores");
  gScores->SetSize(15, 2);

  AppCallbacks.menuSetup = SetupEditMenu;
  AppCallbacks.menuUpdate = UpdateGameMenus;
  AppCallbacks.handleEvent = HandleAppEvent;
  AppCallbacks.about = HandleAboutCommand;
  EngineSettings[kSettingGameOwnsScreen] = 1;
  EngineSettings[kSettingDepth] = 16;
  EngineSettings[kSettingSecondDepth] = 16;
  EngineSettings[kSettingThirdDepth] = 16;

  CalibrateClock();
  MarkStartupPhase("clock calibration");
  BindSystemUIFunctions();
  StartURLService();
  InitApplicationFolders();
  OpenEngineNib();
  MarkStartupPhase("folders");
  GetApplicationVersion(&gApplicationVersion, gApplicationVersionLong, 0);
  VersionToString(gApplicationVersion, gApplicationVersionShort, 0);
  InitEngineGraphics();
  MarkStartupPhase("engine graphics");
  ApplySeedFromEnvironment();
  OpenGameTrace();

  LoadGamePrefs();
  // Only once they are loaded: saving the defaults would lose the file.
  SetDisplayLostSave(SaveGamePrefs);
  LoadScoresFile();
  MarkStartupPhase("prefs and scores");
  InstallTimerTask(&AudioTimer, AudioTimerTask, 30, 0);

  StartOpenAL();
  if (CreateSourcePool() == 0) ShowOpenALRequired();
  MarkStartupPhase("OpenAL");

  ClearDisplaysReady();
  StartDisplaySystem();
  MarkStartupPhase("display system");
  EnableVSync();
  ApplyGammaTable(GetOrigGammaTable(), 0);
  MarkStartupPhase("vsync and gamma");

  LoadGameResources();
  MarkStartupPhase("game resources");
  LoadInterfaceFrames();
  MarkStartupPhase("interface frames");
  LoadGameAssets();
  MarkStartupPhase("game assets");
  SetSoundFieldRect(&ScreenRect);
}

void ShutDownKestrova() {
  SaveGamePrefs();
  CloseDisplays();
  ShutdownApplication(0);
  // ShutdownApplication(0) ends the process; this is never reached.
  std::exit(0);
}
