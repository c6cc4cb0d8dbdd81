// The seam between the engine and the operating system. Platform/ alone
// includes SDL2 and owns message boxes, the process (exit, environment,
// executable path, thread id), the clocks, the pointer, the window and input
// back ends, the GL context and the external opener (fork/exec).
// Two layers call the system directly, on purpose:
// - Core's file layer (FileSpec, FileClass, FileManager, SafeSave,
//   SafeSaveStream) uses POSIX stat, mkdir, chdir/getcwd, opendir/readdir,
//   open/fsync/rename. Those routines are themselves the engine's file
//   records; a second wrapper here would only repeat them. Elsewhere files
//   go through that layer or the C library's stdio.
// - Audio (the engine's channels and the game's Kestrova/GameSound.cpp) calls
//   OpenAL and libvorbisfile, and Graphics calls OpenGL, libpng and FreeType:
//   portable libraries with no OS-specific code behind them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Message boxes --------------------------------------------------------------

// A sink receives every message box. The default one copies the box to stderr
// and, when SDL video is up and DUVUVU_MESSAGE_BOX is not "stderr", shows it.
using MessageBoxSink = void (*)(const char* caption, const char* text, void* context);

void ShowMessageBox(const char* caption, const char* text);
// Installs a sink (nil restores the default); returns the previous one.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink, void* context);
void DefaultMessageBoxSink(const char* caption, const char* text, void* context);
// The window a box is shown over (an SDL_Window*, nil for none).
void SetMessageBoxOwnerWindow(void* window);
// Asks with OK (Return) and Cancel (Escape); true for OK. The question goes
// through the current sink like any box; the default one shows it when it may
// and answers OK when it cannot ask, so start-up never waits on a missing box.
bool ShowQuestionBox(const char* caption, const char* text);
// What a question answers while a test's sink is installed (OK by default).
void SetQuestionAnswerForTesting(bool ok);

// Process ---------------------------------------------------------------------

// Flushes stdio and leaves through exit(), so atexit handlers run.
[[noreturn]] void ExitProcess(int status);
// BEL on stderr when it is a terminal.
void Beep();
int BeepCount();
std::optional<std::string> GetEnvironment(const char* name);
// The running executable's full path, read once.
const std::string& ExecutablePath();
void SetExecutablePathForTesting(const std::string& path);
uint32_t CurrentThreadId();
// The left mouse button anywhere on the desktop; 0 while video is down.
bool IsLeftMouseButtonDown();
// SIGTERM, SIGINT and SIGHUP ask for the normal shut-down: the first only
// records the signal for the loop to see; a second one ends the process at
// once, as the signal does by default.
void CatchShutdownSignals();
// The signal that asked for the shut-down; 0 while none has.
int ShutdownSignal();
// Asks for the shut-down as a first SIGTERM does (our window destroyed by
// another client, say).
void RequestShutdown();
// What to save when the display connection is lost and no normal shut-down
// can follow: a file operation only, no X or GL call. The program then ends
// with status 0. Nil saves nothing.
void SetDisplayLostSave(void (*save)());

// Clocks ----------------------------------------------------------------------

// What a test puts in place of the system's clocks.
struct ClockSource {
  uint64_t (*monotonicNanoseconds)(void* context);
  int64_t (*wallSeconds)(void* context);       // seconds since 1970, UTC
  int32_t (*localOffsetSeconds)(void* context);  // local time minus UTC
  void (*sleepMilliseconds)(void* context, uint32_t ms);
  void* context;
};

uint64_t MonotonicNanoseconds();
uint32_t MonotonicMilliseconds();
int64_t WallClockSeconds();
int32_t LocalTimeOffsetSeconds();
void SleepMilliseconds(uint32_t ms);
// Nil restores the system's clocks.
void SetClockSource(const ClockSource* source);

// Pointer ---------------------------------------------------------------------

// Records whether the pointer moves with the mouse (1) or is held in place
// (0). Only recorded: nothing confines or grabs the pointer.
void SetPointerAssociated(bool associated);
bool IsPointerAssociated();
int PointerAssociationCallsForTesting();
