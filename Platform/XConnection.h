// The X connection under SDL's video. Xlib's own handlers end the program
// with status 1 and nothing saved when another client destroys our window or
// the connection dies; these turn the first into the normal shut-down and
// save the preferences before the second ends the program.
#pragma once

struct SDL_Window;

// Puts the handlers in (once SDL's video is up, after its own) and counts the
// window as ours. Nothing when the window is not on X.
void WatchXWindow(SDL_Window* window);
// Before the program destroys a window of its own.
void UnwatchXWindow(SDL_Window* window);
// Before SDL's video goes down: the I/O handler goes back to the one it
// replaced (SDL puts its error handler back itself).
void StopWatchingXConnection();
