// Toolbox-style modal alerts laid out from DialogDefaults, and their key
// filters.
#pragma once

#include "DialogDefaults.h"
#include "MacTypes.h"
#include "SystemCalls.h"

// Style 0: OK and Cancel; 1: OK, Cancel and the other button; 2: OK and the
// other button; others as 0.
OSType RunAlert(const char* message, UInt8 style);
OSType RunSaveAlert(ConstStr255Param message, ConstStr255Param verb, SInt16 iconID, UInt8 hasCancel, UInt8 hasDont);
// Shows the alert while pending events drain; always 'not!'.
OSType RunTextAlert(ConstStr255Param message, UInt16 delay, UInt16 keyItem, UInt16 timeoutItem);
OSType RunChoiceAlert(ConstStr255Param message, ConstStr255Param secondText);
// Gives an icon-reference item the application's icon of that type; a
// failing icon look-up is fatal.
void SetIconControlFromType(ControlRef control, OSType iconType);

// The parameter alert behind these does nothing here.
void ShowNumberAlert(const char* message, SInt32 number, UInt8 flag);
void ShowNumberAlert(ConstStr255Param message, SInt32 number, UInt8 flag);
void ShowNumberAlert(SInt32 first, SInt32 number, UInt8 flag);

// Fatal here: the standard-alert service is absent.
SInt16 NewFeaturesDialog(void* a, void* b, void* c, void* d, void* e, void* f, void* g, void* h, void* i);
SInt16 NewFeaturesDialogEx(void* a, void* b, void* c, void* d, void* e, void* f, void* g, void* h, void* i);
void DebugNote(const char* message);

Boolean DefaultButtonKeyFilter(void* dialog, EventRec* event, SInt16* outItem);
Boolean AlertKeyFilter(void* dialog, EventRec* event, SInt16* outItem);
