// The application's optional hooks into the engine. Every member is nil until
// the application stores it, and every caller tests it before the call.
#pragma once

struct GWorld;
typedef GWorld* GWorldPtr;

struct AppCallbackTable {
  void (*menuSetup)();             // builds the application's menus
  void (*menuUpdate)();            // stored by the game, never called
  void (*handleEvent)();           // after each dispatched event and menu command
  void (*about)();                 // item 1 of the application menu
  void (*displayStartup)();        // during the display system's start-up
  void (*replayStart)();           // when a replay recording starts
  void (*replayEnd)();             // when a replay ends
  void (*appleEventsInstalled)();  // once the Apple-event handlers are in
  GWorldPtr (*flushSource)();      // the world to present instead of the build world
  void (*fadeOverlay)();           // before the fade overlay is drawn
  void (*presentationOverlay)();   // before a flushed frame ends
  void (*displayCleanup)();        // when the displays close
};

extern AppCallbackTable AppCallbacks;
