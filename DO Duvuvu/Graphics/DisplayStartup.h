// What the display layer hands the shell and the start-up list: its members
// of the shell's display-services record, and its tables made and torn down
// in order.
#pragma once

// Puts the display layer's routines into the shell's record, keeping the
// members others filled.
void InstallDisplayLayerServices();
// The entries: port stack, pixmap list, display list and its keys, text
// parameter stack, font tables, the services and the font-folder hook.
void RegisterDisplayStartup();
