// What the graphics layer hands the shell at start-up.
#pragma once

// Puts the graphics members into the shell's display-services record, keeping
// the members others filled.
void InstallGraphicsDisplayServices();
// The graphics library's start-up entries.
void RegisterGraphicsStartup();
