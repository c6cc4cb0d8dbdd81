// The game's entries in the start-up list, registered after the engine's, and
// the program's own start-up and shut-down around the loop.
#pragma once

void RegisterGameStartup();
// Start-up after the list has run: the services, the preferences and scores,
// the audio timer, OpenAL, the display, the resources and the sound field.
void StartKestrova();
// Saves the preferences, closes the displays and ends the process.
[[noreturn]] void ShutDownKestrova();
