// The engine's one ordered start-up list. What would be static initialisers
// elsewhere runs from here, in an order main decides.
#pragma once

struct StartupEntry {
  const char* name;
  void (*init)();  // may be nil
  void (*exit)();  // may be nil
};

// Appends an entry; a full list is a fatal error.
void AddStartupEntry(const StartupEntry& entry);
// Runs every init not yet run, in order.
void RunStartup();
// Called with each entry's name after its init ran (nil: none); lets the
// program time its start-up without the list knowing about clocks.
void SetStartupObserver(void (*observer)(const char* name));
// Runs the exits of the entries that started, last first; once only (also
// installed with atexit by RunStartup).
void RunShutdown();

// Each library's contribution; main calls them in the order Core, Shell,
// Blitter, Graphics, Sprites, Audio, Additions, game.
void RegisterCoreStartup();
void RegisterShellStartup();
void RegisterBlitterStartup();
void RegisterAudioStartup();
void RegisterAdditionsStartup();

// Forgets every entry (tests only).
void ResetStartupListForTesting();
