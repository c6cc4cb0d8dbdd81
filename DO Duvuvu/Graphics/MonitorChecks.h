// Asking before a resolution change, telling the user the monitor cannot run
// the application, and a routine called once per vertical blank of a display.
#pragma once

#include "DisplayList.h"
#include "MacTypes.h"

// The shell's dialog calls these routines need. The defaults give this
// platform's answers (the alert is not answered OK, the modal run returns at
// once); tests replace them.
struct MonitorDialogSeam {
  OSType (*runAlert)(const char* message, SInt16 style);
  Rect (*centerDialogRect)(SInt16 width, SInt16 height, SInt16 extraHeight);
  void (*addDialogItem)(WindowRef window, const Rect* rect, SInt16 kind, ConstStr255Param text);
  void (*runModalWindow)(WindowRef window);
};
// Nil restores the defaults.
void SetMonitorDialogSeam(const MonitorDialogSeam* seam);
// The shell's text alert: the clicked button's code ('not!' here). Tests set
// their own; nil restores it.
typedef OSType (*TextAlertProc)(ConstStr255Param message, SInt16 width, SInt16 option1, SInt16 option2);
void SetTextAlertSeam(TextAlertProc alert);
OSType RunDialogTextAlert(ConstStr255Param message, SInt16 width, SInt16 option1, SInt16 option2);

constexpr SInt16 kDialogItemStaticText = 272;
constexpr SInt16 kDialogItemIcon = 320;
constexpr SInt16 kDialogItemButton = 368;

// By "Monitor Mode": 1 asks, 0 answers 1, 2 or more (and negatives) answer 0.
UInt8 AskToChangeResolution(SInt16 width, SInt16 height);
// Shows the requirement, runs the shut-down steps and ends with status 1.
[[noreturn]] void ShowMonitorRequirement(SInt16 width, SInt16 height, SInt16 depth);

// Installs once; an unprimable task is fatal.
void InstallVBLTask(DisplayRecord* record, void (*client)());
void RemoveVBLTask(DisplayRecord* record);
void VBLTimeTaskProc(TimeTaskRecord* task);
// The beam-timed loop until the stop word is set; returns the mode read's
// status, or the stop word that ended it (-1 for a nil record). A refresh of
// 0 runs at 60 Hz.
SInt32 RunVBLTimer(DisplayRecord* record);

double UpTimeToSeconds(UInt64 upTime);
UInt64 SecondsToUpTime(double seconds);

// Only the first display record; no callers.
void InstallDisplayVBLTasks();
void RemoveDisplayVBLTasks();
void DisplayVBLTask();
